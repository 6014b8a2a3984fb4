// The GoldenCompass parser: the message file is a byte stream whose lines
// end in CR LF; headers are laid out as in TAPCIS 5.x, and body lines carry
// the navigator's layout codes.
#include "import/capture/capture_headers.h"
#include "import/capture/capture_parsers.h"
#include "import/capture/layout_codes.h"
#include "import/capture/queue_parser.h"

namespace pm::capture {

namespace {

// Mail bodies are larger and may be Internet messages: fewer per call.
constexpr int kMailQuota = 3;

class GoldenCompassParser final : public QueueParser {
public:
    GoldenCompassParser() : QueueParser(CaptureFormat::GoldenCompass, LineEnds::CrLf) {}

private:
    bool startsMessage(std::string_view line, std::string_view, int) const override {
        return line.starts_with("#:");
    }

    HeaderResult parseHeader(ParserCall& call, std::size_t start, WorkRecord& record) override {
        if (call.variant == 2) return parseCaptureMailHeader(call, record, queue(), start, format());
        return parseCaptureForumHeader(call, record, queue(), start, format(), importRegister());
    }

    int quotaOf(const ParserCall& call) const override { return call.variant == 2 ? kMailQuota : call.quota; }

    std::string bodyText(ParserCall& call, std::size_t first, std::size_t last) override {
        const inet::LineQueue& stored = queue();
        body_.clear();
        std::string scratch;
        for (std::size_t pos = first; pos >= 1 && pos <= last && pos <= stored.size();
             pos = stored.nextSourceLine(pos)) {
            for (const std::string& line : splitStoredLine(stored.sourceLine(pos, scratch))) body_.push(line);
        }
        return captureBodyText(body_, 1, body_.size(), call.variant == 2, codePage());
    }

    inet::LineQueue body_;
};

}  // namespace

std::unique_ptr<FormatParser> makeGoldenCompassParser() { return std::make_unique<GoldenCompassParser>(); }

}  // namespace pm::capture
