#pragma once
// The line queue: the lines of the message being parsed, as the text parsers
// of every mail, news and capture format hold them.
//
// Positions count from 1. An entry holds up to 400 bytes of one source line,
// the length used and a continued flag (set when the next entry continues the
// same source line). A longer source line becomes as many entries as it
// needs: a line is kept whole up to MaxSourceLineBytes, far more than the
// longest stored text, so no line of a text that can be stored loses its
// tail. Cuts never split a UTF-8 character, so an entry may hold a few bytes
// less than 400. Trailing blanks of a source line are removed when it is
// queued.
//
// Entries point into one growing byte buffer, so queuing a line costs no heap
// allocation once the buffer has grown to the size of a message; clear()
// keeps the capacity for the next message.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/message_text.h"

namespace pm::inet {

inline constexpr std::size_t LineEntryWidth = 400;
// Bytes of one source line that are kept; the rest is dropped. A stored text
// holds at most 64,000 characters, but a raw line may shrink a lot when it
// is decoded or converted (a one-line HTML body), so this allows for 16
// times as much.
inline constexpr std::size_t MaxSourceLineBytes = 16 * MessageTextChars;
// The text of an entry that is to be left out of the message text.
inline constexpr std::string_view RemovalMark = "!!!Remove this!!!";

// Number of bytes of `text` (at most `width`) that can be cut off its front
// without splitting a UTF-8 sequence. Bytes that are not UTF-8 are cut at
// `width` exactly.
std::size_t utf8CutLength(std::string_view text, std::size_t width);

class LineQueue {
public:
    // Queues one source line given without its line end (a stray trailing CR
    // is dropped too). Returns the number of entries it took (at least 1).
    std::size_t push(std::string_view line);

    // Cuts `text` into lines at CR LF, LF or CR and queues each; a last line
    // without a line end is queued when it is not empty.
    void pushText(std::string_view text);

    // Empties the queue, keeping the buffers for reuse.
    void clear();

    // Removes the first `count` entries; positions shift down by `count`.
    void dropFront(std::size_t count);

    std::size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }

    // The text of entry `pos` (1-based); RemovalMark for a removed entry;
    // empty for a position outside the queue.
    std::string_view text(std::size_t pos) const;

    // Length of entry `pos` in bytes.
    std::size_t length(std::size_t pos) const { return text(pos).size(); }

    // True when entry `pos` is continued by the next entry.
    bool continued(std::size_t pos) const;

    // Sets whether entry `pos` is continued by the next entry (joining two
    // source lines into one, as a quoted-printable soft line break does).
    void setContinued(std::size_t pos, bool continued);

    // Replaces the text of entry `pos` by the removal mark.
    void markRemoved(std::size_t pos);

    // True when entry `pos` is marked, or its text is the removal mark or
    // begins with it.
    bool isRemoved(std::size_t pos) const;

    // Replaces the text of entry `pos` (cut to 400 bytes at a character
    // boundary); the continued flag stays.
    void setText(std::size_t pos, std::string_view text);

    // The whole source line that starts at entry `pos`: its continued pieces
    // joined. Returns a view of the entry itself when the line is one piece,
    // else of `scratch`, which receives the joined text. Removed pieces count
    // as the removal mark.
    std::string_view sourceLine(std::size_t pos, std::string& scratch) const;

    // Position of the first entry after the source line starting at `pos`.
    std::size_t nextSourceLine(std::size_t pos) const;

private:
    struct Entry {
        std::size_t offset;
        std::uint16_t length;
        bool continued;
        bool removed;
    };

    std::string buffer_;
    std::vector<Entry> entries_;
};

}  // namespace pm::inet
