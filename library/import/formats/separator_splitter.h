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
    bool cutsApart() const override { return true; }
    // The date of the separator line the message just cut began at, read
    // as an envelope line ("From sender date"); none for other separators.
    inet::MessageDate separatorDate() const override;

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
    // Called before every cut with the call's scan budget: false when the
    // budget went into a look through the file that is not finished yet
    // (the call pauses and the cut waits for the next call).
    virtual bool surveyed(ByteWindow& window, std::int64_t budget) {
        (void)window;
        (void)budget;
        return true;
    }
    // True when a "Content-Length:" field of a message's header fixes where
    // its body ends, provided the count points exactly at the next separator
    // (after one blank line, or at the end of the file). Body lines within
    // the count never separate.
    virtual bool honoursContentLength() const { return false; }
    // A line of a message as it is stored: `line.text`, or a changed copy
    // put into `scratch` (an escaped line unescaped).
    virtual std::string_view storedLine(const RawLine& line, std::string& scratch) const {
        (void)scratch;
        return line.text;
    }

private:
    // The end of the body that starts at `bodyStart` when it is
    // `contentLength` bytes long and the next separator (or the end of the
    // file) stands right there; 0 when it does not.
    std::int64_t countedEnd(std::int64_t bodyStart, std::int64_t contentLength) const;

    ByteWindow* window_ = nullptr;
    std::unique_ptr<LineReader> reader_;
    RawLine line_;
    RawLine pending_;          // the separator that starts the next message
    bool havePending_ = false;
    std::string separator_;    // the separator line of the message just cut
    std::int64_t position_ = 1;
};

// "From - " at the start of a line; a "Content-Length:" that points at the
// next one is honoured.
std::unique_ptr<MessageSplitter> makeNetscapeMailSplitter();
// A Unix mailbox: envelope lines ("From " + sender + date, see
// readEnvelope) separate the messages, a "Content-Length:" that points at
// the next envelope is honoured, and in a mailbox that escapes every body
// line beginning with ">...From " by one more ">" (the mboxrd convention,
// told by a ">>From " line anywhere in the file) one ">" is taken off such
// lines again.
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
