#include "import/capture/capture_format.h"

#include <string_view>

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

bool applyCaptureMapping(std::string& bytes, const char* codePage) {
    if (!codePage || std::string_view(codePage) != codePageOf(CaptureFormat::OzCis)) return false;
    bool changed = false;
    for (char& c : bytes) {
        switch (static_cast<unsigned char>(c)) {
            case 0xF2: c = '='; changed = true; break;
            case 0xF7: case 0xF8: case 0xFF: c = ' '; changed = true; break;
            default: break;
        }
    }
    return changed;
}

bool isOzFamily(CaptureFormat format) {
    return format == CaptureFormat::OzCis || format == CaptureFormat::OzWin1 || format == CaptureFormat::OzWin2;
}

bool hasTapcis5Layout(CaptureFormat format) {
    return format == CaptureFormat::Tapcis5 || format == CaptureFormat::GoldenCompass;
}

}  // namespace pm::capture
