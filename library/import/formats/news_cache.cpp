#include "import/formats/news_cache.h"

#include "import/formats/header_search.h"
#include "import/formats/line_reader.h"
#include "import/internet/text_case.h"

namespace pm::formats {

namespace {

constexpr unsigned char CacheMarker = 0xBC;
constexpr std::int64_t MarkerIdentifierOffset = 22;
constexpr std::int64_t CacheRecordHeaderSpan = 512;

bool isCacheMarker(ByteWindow& window, std::int64_t pos) {
    return window.at(pos) == CacheMarker && window.at(pos + MarkerIdentifierOffset) == '<';
}

class NewsCacheSplitter final : public MessageSplitter {
public:
    bool cutsApart() const override { return true; }
    bool begin(ByteWindow& window, const ParserCall&) override {
        window_ = &window;
        reader_ = std::make_unique<LineReader>(window);
        reader_->setStop(CacheMarker, isCacheMarker);
        return true;
    }

    Cut next(inet::LineQueue& queue, std::size_t& headerStart, std::int64_t budget) override {
        headerStart = 1;
        const std::int64_t scanStart = reader_->position();
        while (!havePending_) {
            if (reader_->position() - scanStart > budget) return finish(queue, Cut::Paused);
            if (isCacheMarker(*window_, reader_->position())) {
                const std::int64_t record = reader_->position() + 1;
                const std::int64_t header =
                    findHeaderStart(*window_, record, CacheRecordHeaderSpan, isArticleStartLine);
                reader_->seek(header > 0 ? header : record);
                if (header == 0) continue;
            }
            if (!reader_->read(line_)) return finish(queue, Cut::End);
            dropNulBytes(line_.text);
            if (isArticleStartLine(line_.text)) {
                std::swap(pending_, line_);
                havePending_ = true;
            }
        }

        MessageLines lines(queue);
        havePending_ = false;
        bool stopped = pending_.stopped;
        long bodyLines = linesFieldCount(pending_.text);
        lines.add(pending_.text);
        // The header, to its blank line.
        while (!stopped && reader_->read(line_)) {
            stopped = line_.stopped;
            dropNulBytes(line_.text);
            if (line_.text.empty() && stopped) break;
            lines.add(line_.text);
            if (line_.blank()) break;
            if (long count = linesFieldCount(line_.text); count >= 0) bodyLines = count;
        }
        // The body: the counted lines, or up to the next article start.
        for (long n = 0; !stopped && (bodyLines < 0 || n < bodyLines) && reader_->read(line_); ++n) {
            stopped = line_.stopped;
            dropNulBytes(line_.text);
            if (line_.text.empty() && stopped) break;
            if (bodyLines < 0 && isArticleStartLine(line_.text)) {
                std::swap(pending_, line_);
                havePending_ = true;
                break;
            }
            lines.add(line_.text);
        }
        return finish(queue, Cut::Message);
    }

    std::int64_t position() const override { return position_; }

private:
    Cut finish(inet::LineQueue& queue, Cut cut) {
        position_ = reader_->position();
        if (cut != Cut::Message) queue.clear();
        return cut;
    }

    ByteWindow* window_ = nullptr;
    std::unique_ptr<LineReader> reader_;
    RawLine line_;
    RawLine pending_;
    bool havePending_ = false;
    std::int64_t position_ = 1;
};

}  // namespace

bool isArticleStartLine(std::string_view line) {
    if (startsWith(line, "From:") || startsWith(line, "Date:")) return true;
    if (startsWith(line, "Newsg") || startsWith(line, "Subje") || startsWith(line, "Messa"))
        return line.substr(0, 50).find(':') != std::string_view::npos;
    return false;
}

long linesFieldCount(std::string_view line) {
    if (!inet::startsWithNoCase(line, "LINES:")) return -1;
    std::size_t i = 6;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    long count = 0;
    std::size_t digits = 0;
    while (i < line.size() && digits < 9 && inet::isAsciiDigit(line[i])) {
        count = count * 10 + (line[i++] - '0');
        ++digits;
    }
    return digits == 0 ? -1 : count;
}

std::unique_ptr<MessageSplitter> makeNewsCacheSplitter() { return std::make_unique<NewsCacheSplitter>(); }

}  // namespace pm::formats
