#pragma once
// The splitters whose messages are separated by lines: the mailbox layouts
// ("From " lines), Netscape's "From - ", Eudora's "From ???@???", the Unix
// and Agent news files, VirtualAccess's "==========" lines and Pegasus's
// Ctrl-Z after a line end.
//
// A message runs from the line after its separator to the line before the
// next separator (or the end of the file). Bytes before the first separator
// are no message. The separator line itself is not part of the message,
// except what a format keeps of it (Pegasus: the text after the Ctrl-Z).
#include <cstdint>
#include <memory>
#include <string>

#include "import/formats/line_reader.h"
#include "import/formats/splitter.h"

namespace pm::formats {

class SeparatorSplitter : public MessageSplitter {
public:
    bool begin(ByteWindow& window, const ParserCall& call) override;
    Cut next(inet::LineQueue& queue, std::size_t& headerStart, std::int64_t budget) override;
    std::int64_t position() const override { return position_; }

protected:
    // Whether `line` separates messages.
    virtual bool isSeparator(const RawLine& line) const = 0;
    // Whether the separator `line` starts a message; when not, it and the
    // bytes after it are passed over up to a separator that does.
    virtual bool startsMessage(const RawLine& line) const {
        (void)line;
        return true;
    }
    // The text of the separator line that is the message's first line;
    // false when none is.
    virtual bool firstLineOf(const RawLine& line, std::string& text) const {
        (void)line;
        (void)text;
        return false;
    }
    // True when the file's start counts as a separator.
    virtual bool fileStartSeparates() const { return false; }
    // Called by begin() with the opened file; false rejects the file.
    virtual bool prepare(ByteWindow& window, const ParserCall& call) {
        (void)window;
        (void)call;
        return true;
    }

private:
    std::unique_ptr<LineReader> reader_;
    RawLine line_;
    RawLine pending_;          // the separator that starts the next message
    bool havePending_ = false;
    std::int64_t position_ = 1;
};

// "From - " at the start of a line.
std::unique_ptr<MessageSplitter> makeNetscapeMailSplitter();
// "From " at the start of a line.
std::unique_ptr<MessageSplitter> makeMailboxSplitter();
// A "From " line holding an "@" that ends within its first 100 characters.
std::unique_ptr<MessageSplitter> makeUnixNewsSplitter();
// Agent's "========" run before a "From " line, or the Unix News rule;
// the file's first 300 bytes decide.
std::unique_ptr<MessageSplitter> makeAgentNewsSplitter();
// A line end followed by Ctrl-Z (0x1A); the file's start begins the first
// message.
std::unique_ptr<MessageSplitter> makePegasusSplitter();
// A line beginning with ten "=".
std::unique_ptr<MessageSplitter> makeVirtualAccessSplitter();

}  // namespace pm::formats
