#include "import/formats/header_splitter.h"

#include "import/formats/header_search.h"
#include "import/formats/line_reader.h"
#include "import/internet/header_fields.h"

namespace pm::formats {

namespace {

bool isControl(unsigned char c) { return (c < 0x20 && c != '\t') || c == 0x7F; }

class HeaderSplitter final : public MessageSplitter {
public:
    explicit HeaderSplitter(bool afterBlankLine) : afterBlankLine_(afterBlankLine) {}

    bool begin(ByteWindow& window, const ParserCall&) override {
        reader_ = std::make_unique<LineReader>(window);
        reader_->skipByteOrderMark();
        return true;
    }

    Cut next(inet::LineQueue& queue, std::size_t& headerStart, std::int64_t budget) override {
        headerStart = 1;
        const std::int64_t scanStart = reader_->position();
        while (!havePending_) {
            if (reader_->position() - scanStart > budget) return finish(queue, Cut::Paused);
            if (!reader_->read(line_)) return finish(queue, Cut::End);
            if (startsMessage(line_, afterBlank_)) {
                std::swap(pending_, line_);
                havePending_ = true;
            } else {
                afterBlank_ = line_.blank();
            }
        }

        MessageLines lines(queue);
        havePending_ = false;
        std::size_t removed = 0;
        lines.add(withoutLeadingControls(pending_.text, removed));
        bool inHeader = true;
        afterBlank_ = false;
        while (reader_->read(line_)) {
            if (inHeader) {
                lines.add(line_.text);
                if (line_.blank()) inHeader = false;
                afterBlank_ = line_.blank();
                continue;
            }
            if (startsMessage(line_, afterBlank_)) {
                std::swap(pending_, line_);
                havePending_ = true;
                break;
            }
            afterBlank_ = line_.blank();
            lines.add(line_.text);
        }
        return finish(queue, Cut::Message);
    }

    std::int64_t position() const override { return position_; }

private:
    // Whether `line` opens a header block (the reader stands after it).
    bool startsMessage(const RawLine& line, bool afterBlank) {
        std::size_t removed = 0;
        const std::string_view text = withoutLeadingControls(line.text, removed);
        if (afterBlankLine_ && !afterBlank && removed == 0 && line.start != 1) return false;
        const inet::HeaderField field = inet::classifyHeaderLine(text);
        return field != inet::NotHeaderLine && confirmHeaderBlock(mainField(field));
    }

    // Looks ahead from the reader's position for the rest of a header block
    // and goes back there.
    bool confirmHeaderBlock(bool mainSeen) {
        int recognised = 1;  // the line that opens it
        const std::int64_t back = reader_->position();
        bool header = true;
        while (reader_->position() - back < HeaderLookahead && reader_->read(peek_)) {
            if (peek_.blank()) break;
            if (!headerShaped(peek_.text)) {
                header = false;
                break;
            }
            const inet::HeaderField field = inet::classifyHeaderLine(peek_.text);
            if (field != inet::NotHeaderLine) ++recognised;
            mainSeen = mainSeen || mainField(field);
        }
        reader_->seek(back);
        return header && recognised >= 2 && mainSeen;
    }

    // The fields of a message's own header; a MIME part's header has none.
    static bool mainField(inet::HeaderField field) {
        return field != inet::NotHeaderLine && field != inet::OtherKnownField;
    }

    Cut finish(inet::LineQueue& queue, Cut cut) {
        position_ = reader_->position();
        if (cut != Cut::Message) queue.clear();
        return cut;
    }

    const bool afterBlankLine_;
    std::unique_ptr<LineReader> reader_;
    RawLine line_, pending_, peek_;
    bool havePending_ = false;
    bool afterBlank_ = true;
    std::int64_t position_ = 1;
};

}  // namespace

bool headerShaped(std::string_view line) {
    if (line.empty()) return false;
    if (line[0] == ' ' || line[0] == '\t') return true;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(line[i]);
        if (c == ':') return i > 0;
        if (c <= 0x20 || c >= 0x7F) return false;
    }
    return false;
}

std::string_view withoutLeadingControls(std::string_view line, std::size_t& removed) {
    std::size_t i = 0;
    while (i < line.size() && isControl(static_cast<unsigned char>(line[i]))) ++i;
    removed = i;
    return line.substr(i);
}

std::unique_ptr<MessageSplitter> makeHeaderSplitter(bool afterBlankLine) {
    return std::make_unique<HeaderSplitter>(afterBlankLine);
}

}  // namespace pm::formats
