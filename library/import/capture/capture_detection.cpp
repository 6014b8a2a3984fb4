// Telling the capture files apart: forum messages, mail, or no message file
// at all. Blank lines are passed over throughout.
#include "import/capture/capture_fields.h"
#include "import/capture/capture_parsers.h"
#include "import/capture/line_source.h"
#include "import/driver/import_request.h"

namespace pm::capture {

namespace {

// The text lines of a file with blank lines left out.
class NonBlankLines {
public:
    explicit NonBlankLines(const std::string& fileName) { source_.open(fileName, LineEnds::Text); }
    bool next(std::string& line) {
        if (!source_.isOpen()) return false;
        while (source_.next(line))
            if (!trimmed(line).empty()) return true;
        return false;
    }

private:
    LineSource source_;
};

}  // namespace

int detectTapcisVariant(const ImportRequest& request, const std::string& fileName) {
    NonBlankLines lines(fileName);
    std::string line;
    while (lines.next(line))
        if (line.starts_with("#:")) return request.variant == 2 ? 2 : 1;
    return 0;
}

int detectOzVariant(const ImportRequest&, const std::string& fileName) {
    NonBlankLines lines(fileName);
    std::string line;
    while (lines.next(line)) {
        if (line.starts_with("Date:  ")) {
            if (!lines.next(line)) return 0;
            return line.starts_with("MgTo:") || line.starts_with("From:") ? 2 : 0;
        }
        if (line.starts_with("#:")) {
            if (!lines.next(line) || !lines.next(line)) return 0;
            return line.starts_with("Sb:") ? 1 : 0;
        }
    }
    return 0;
}

int detectNavCisSaveVariant(const ImportRequest&, const std::string& fileName) {
    NonBlankLines lines(fileName);
    static constexpr std::string_view kSequence[] = {"Subject:  ", "   From:  ", "     To:  "};
    std::string line;
    std::size_t matched = 0;
    while (lines.next(line)) {
        if (matched == 3) {
            if (line.starts_with("   Date:  ")) return 2;
            if (line.starts_with("  Forum:  ")) return 1;
            matched = 0;
        }
        // A broken run starts again at this line.
        if (line.starts_with(kSequence[matched])) ++matched;
        else matched = line.starts_with(kSequence[0]) ? 1 : 0;
    }
    return 0;
}

}  // namespace pm::capture
