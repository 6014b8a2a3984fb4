#include "import/capture/capture_format.h"

namespace pm::capture {

const char* codePageOf(CaptureFormat format) {
    switch (format) {
        case CaptureFormat::Tapcis5:
        case CaptureFormat::Tapcis6:
        case CaptureFormat::Autosig:
        case CaptureFormat::OzCis:
            return "ibm-850";
        default:
            return "windows-1252";
    }
}

bool isOzFamily(CaptureFormat format) {
    return format == CaptureFormat::OzCis || format == CaptureFormat::OzWin1 || format == CaptureFormat::OzWin2;
}

bool hasTapcis5Layout(CaptureFormat format) {
    return format == CaptureFormat::Tapcis5 || format == CaptureFormat::GoldenCompass;
}

}  // namespace pm::capture
