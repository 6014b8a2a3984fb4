// The capture parser: TAPCIS 5.x, TAPCIS 6.x, AUTOSIG, OzCIS, OzWin I and
// OzWin II files, read as text lines.
#include "import/capture/capture_headers.h"
#include "import/capture/capture_parsers.h"
#include "import/capture/queue_parser.h"

namespace pm::capture {

namespace {

class CaptureParser final : public QueueParser {
public:
    explicit CaptureParser(CaptureFormat format) : QueueParser(format, LineEnds::Text) {}

private:
    bool startsMessage(std::string_view line, std::string_view, int variant) const override {
        if (variant == 2 && isOzFamily(format())) return line.starts_with("Date:  ");
        return line.starts_with("#:");
    }

    HeaderResult parseHeader(ParserCall& call, std::size_t start, WorkRecord& record) override {
        if (call.variant == 2) return parseCaptureMailHeader(call, record, queue(), start, format());
        return parseCaptureForumHeader(call, record, queue(), start, format(), importRegister());
    }
};

}  // namespace

std::unique_ptr<FormatParser> makeAutosigParser() { return std::make_unique<CaptureParser>(CaptureFormat::Autosig); }
std::unique_ptr<FormatParser> makeTapcis5Parser() { return std::make_unique<CaptureParser>(CaptureFormat::Tapcis5); }
std::unique_ptr<FormatParser> makeTapcis6Parser() { return std::make_unique<CaptureParser>(CaptureFormat::Tapcis6); }
std::unique_ptr<FormatParser> makeOzCisParser() { return std::make_unique<CaptureParser>(CaptureFormat::OzCis); }
std::unique_ptr<FormatParser> makeOzWin1Parser() { return std::make_unique<CaptureParser>(CaptureFormat::OzWin1); }
std::unique_ptr<FormatParser> makeOzWin2Parser() { return std::make_unique<CaptureParser>(CaptureFormat::OzWin2); }

}  // namespace pm::capture
