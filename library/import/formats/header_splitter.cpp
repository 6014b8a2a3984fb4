#include "import/formats/header_splitter.h"

#include <vector>

#include "import/formats/header_search.h"
#include "import/formats/line_reader.h"
#include "import/internet/header_fields.h"
#include "import/internet/mime_header.h"
#include "import/internet/text_case.h"

namespace pm::formats {

namespace {

bool isControl(unsigned char c) { return (c < 0x20 && c != '\t') || c == 0x7F; }

class HeaderSplitter final : public MessageSplitter {
public:
    explicit HeaderSplitter(bool afterBlankLine) : afterBlankLine_(afterBlankLine) {}

    bool cutsApart() const override { return true; }
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
            if (startsMessage(line_)) {
                std::swap(pending_, line_);
                havePending_ = true;
            } else {
                notePrevious(line_);
            }
            atFileStart_ = false;
        }

        MessageLines lines(queue);
        havePending_ = false;
        std::size_t removed = 0;
        const std::string_view first = withoutLeadingControls(pending_.text, removed);
        lines.add(first);
        // The header blocks inside a message are its own: the header of a
        // MIME part, and the block that opens a part's content or the body
        // of an attached message (message/*). A message goes on past them.
        enum class Inside { Header, PartStart, Text } inside = Inside::Header;
        bool partHeader = false;             // the header being read is a MIME part's
        std::vector<std::string> boundaries;  // of the message and its nested parts
        inet::MimeHeaderReader mime;
        mime.feed(first);
        notePrevious(pending_);
        while (reader_->read(line_)) {
            if (const Delimiter delimiter = delimiterOf(line_.text, boundaries); delimiter != Delimiter::None) {
                // A part's header follows an opening delimiter; text (the
                // epilogue) the closing one.
                inside = delimiter == Delimiter::Opening ? Inside::Header : Inside::Text;
                partHeader = true;
                mime = inet::MimeHeaderReader{};
            } else if (inside == Inside::Header) {
                if (!line_.text.empty()) {
                    mime.feed(line_.text);
                } else {
                    if (mime.mediaType().starts_with("multipart/") && !mime.boundary().empty())
                        boundaries.push_back(mime.boundary());
                    const bool opensContent = partHeader || mime.mediaType().starts_with("message/");
                    inside = opensContent ? Inside::PartStart : Inside::Text;
                }
            } else if (inside == Inside::PartStart) {
                // An attached message may begin with its envelope line
                // ("From sender date"), as a patch file does.
                if (!line_.blank() && !startsWith(line_.text, "From ")) {
                    const bool header = headerShaped(line_.text) || inet::classifyHeaderLine(line_.text) != inet::NotHeaderLine;
                    inside = header ? Inside::Header : Inside::Text;
                    partHeader = false;
                    mime = inet::MimeHeaderReader{};
                    if (header) mime.feed(line_.text);
                }
            } else if (startsMessage(line_)) {
                std::swap(pending_, line_);
                havePending_ = true;
                break;
            }
            notePrevious(line_);
            lines.add(line_.text);
        }
        return finish(queue, Cut::Message);
    }

    std::int64_t position() const override { return position_; }

private:
    // Whether `line` opens a header block (the reader stands after it).
    // Below the file's start the line must begin a block of its own: not
    // follow another header-shaped line (the block began there), nor the
    // marker a mail program puts above a quoted or forwarded header.
    bool startsMessage(const RawLine& line) {
        std::size_t removed = 0;
        const std::string_view text = withoutLeadingControls(line.text, removed);
        if (!atFileStart_ && removed == 0) {
            if (afterBlankLine_ && !afterBlank_) return false;
            if (afterHeaderLine_ || afterQuoteMarker_) return false;
        }
        const inet::HeaderField field = inet::classifyHeaderLine(text);
        if (atFileStart_) return (field != inet::NotHeaderLine || headerShaped(text)) && confirmHeaderBlock(field);
        return field != inet::NotHeaderLine && confirmHeaderBlock(field);
    }

    // Looks ahead from the reader's position for the rest of a header block
    // opened by a line of kind `opening` and goes back there. At the start
    // of the file a message file begins: a block with any recognised field
    // opens it, and a damaged line does not matter.
    bool confirmHeaderBlock(inet::HeaderField opening) {
        int recognised = opening != inet::NotHeaderLine ? 1 : 0;
        bool mainSeen = mainField(opening);
        const std::int64_t back = reader_->position();
        bool header = true;
        while (reader_->position() - back < HeaderLookahead && reader_->read(peek_)) {
            if (peek_.text.empty()) break;
            if (!headerShaped(peek_.text)) {
                header = false;
                if (atFileStart_) continue;
                break;
            }
            const inet::HeaderField field = inet::classifyHeaderLine(peek_.text);
            if (field != inet::NotHeaderLine) ++recognised;
            mainSeen = mainSeen || mainField(field);
        }
        reader_->seek(back);
        if (atFileStart_) return recognised >= 1;
        return header && recognised >= 2 && mainSeen;
    }

    // Remembers what the line before the next one was.
    void notePrevious(const RawLine& line) {
        afterBlank_ = line.blank();
        afterHeaderLine_ = !afterBlank_ && headerShaped(line.text);
        afterQuoteMarker_ = isQuoteMarker(line.text);
    }

    enum class Delimiter { None, Opening, Closing };

    // Whether `text` is a delimiter line of one of `boundaries`: "--"
    // boundary, "--" after it for the closing one, blanks allowed.
    static Delimiter delimiterOf(std::string_view text, const std::vector<std::string>& boundaries) {
        if (!text.starts_with("--")) return Delimiter::None;
        for (const std::string& boundary : boundaries) {
            if (text.compare(2, boundary.size(), boundary) != 0) continue;
            std::string_view rest = text.substr(2 + boundary.size());
            const bool closing = rest.starts_with("--");
            if (closing) rest.remove_prefix(2);
            if (rest.find_first_not_of(" \t") == std::string_view::npos)
                return closing ? Delimiter::Closing : Delimiter::Opening;
        }
        return Delimiter::None;
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
    bool afterHeaderLine_ = false;
    bool afterQuoteMarker_ = false;
    bool atFileStart_ = true;  // no line of the file has been judged yet
    std::int64_t position_ = 1;
};

}  // namespace

bool isQuoteMarker(std::string_view line) {
    std::string_view text = inet::trim(line);
    if (inet::startsWithNoCase(text, "BEGIN FORWARDED MESSAGE")) return true;
    if (!text.starts_with("--") || !text.ends_with("--")) return false;
    while (!text.empty() && (text.front() == '-' || text.front() == ' ')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == '-' || text.back() == ' ')) text.remove_suffix(1);
    return inet::equalsNoCase(text, "ORIGINAL MESSAGE") || inet::equalsNoCase(text, "FORWARDED MESSAGE");
}

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
