#include "import/capture/capture_format.h"

namespace pm::capture {

CaptureFormat captureFormatOf(int formatNumber) {
    switch (formatNumber) {
        case 1: return CaptureFormat::Autosig;
        case 7: return CaptureFormat::GoldenCompass;
        case 12: return CaptureFormat::OzCis;
        case 13: return CaptureFormat::OzWin1;
        case 14: return CaptureFormat::OzWin2;
        case 15: return CaptureFormat::Tapcis5;
        case 25: return CaptureFormat::NavCisSave;
        default: return CaptureFormat::Tapcis6;
    }
}

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
