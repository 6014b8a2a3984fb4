#include "import/formats/marker_splitter.h"

#include "import/formats/header_search.h"
#include "import/formats/line_reader.h"

namespace pm::formats {

namespace {

bool isRecordMarker(ByteWindow& window, std::int64_t pos) {
    return window.at(pos) == 0x7F && window.at(pos + 1) == 0x00 && window.at(pos + 2) == 0x7F;
}

class MarkerSplitter final : public MessageSplitter {
public:
    bool cutsApart() const override { return true; }
    bool begin(ByteWindow& window, const ParserCall&) override {
        window_ = &window;
        reader_ = std::make_unique<LineReader>(window);
        reader_->setStop(0x7F, isRecordMarker);
        return true;
    }

    Cut next(inet::LineQueue& queue, std::size_t& headerStart, std::int64_t budget) override {
        headerStart = 1;
        const std::int64_t scanStart = reader_->position();
        // To the next marker: bytes before the first one, and after a
        // message whose marker was already met, are no message.
        while (!isRecordMarker(*window_, reader_->position())) {
            if (reader_->position() - scanStart > budget) return pause(queue);
            if (!reader_->read(line_)) {
                position_ = reader_->position();
                queue.clear();
                return Cut::End;
            }
        }
        const std::int64_t record = reader_->position() + 3;
        const std::int64_t header = findHeaderStart(*window_, record, RecordHeaderSpan, recognisedHeaderLine);
        reader_->seek(header > 0 ? header : record);

        MessageLines lines(queue);
        while (reader_->read(line_)) {
            dropNulBytes(line_.text);
            if (!line_.text.empty() || line_.ended) lines.add(line_.text);
            if (line_.stopped) break;
        }
        position_ = reader_->position();
        return Cut::Message;
    }

    std::int64_t position() const override { return position_; }

private:
    Cut pause(inet::LineQueue& queue) {
        position_ = reader_->position();
        queue.clear();
        return Cut::Paused;
    }

    ByteWindow* window_ = nullptr;
    std::unique_ptr<LineReader> reader_;
    RawLine line_;
    std::int64_t position_ = 1;
};

}  // namespace

std::unique_ptr<MessageSplitter> makeMarkerSplitter() { return std::make_unique<MarkerSplitter>(); }

}  // namespace pm::formats
