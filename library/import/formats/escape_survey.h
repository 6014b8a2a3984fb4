#pragma once
// The look through a whole mailbox file for the mark of the escaping
// convention: a line escaped twice (">>From "), which the plain convention
// never writes for a "From " line.
//
// No message can be cut before the look ends, and meanwhile the thread that
// stores what is cut has nothing to do: so the file is read in large pieces
// of its own (not through the window), and a file of several pieces is
// looked through by two threads, the caller's and a helper of the survey's
// own, each taking the next piece not taken yet. The caller works a budget
// at a time (so that a stop can come between its calls); the helper goes
// on alone until the pieces run out or the mark is found.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <thread>
#include <vector>

#include "import/formats/byte_window.h"

namespace pm::formats {

// Number of ">" before "From " at the start of `text`; 0 when it is no
// escaped "From " line.
std::size_t escapeDepth(std::string_view text);

class EscapeSurvey {
public:
    // Bytes of the file one piece judges (each read takes a window's worth
    // more, so that a line starting near the piece's end is judged whole).
    static constexpr std::size_t Piece = std::size_t{1} << 20;

    EscapeSurvey() = default;
    // Ends the helper (it stops after its piece) and joins it.
    ~EscapeSurvey();
    EscapeSurvey(const EscapeSurvey&) = delete;
    EscapeSurvey& operator=(const EscapeSurvey&) = delete;

    // Looks on through the file of `window` (open), about `budget` bytes on
    // the caller's side; true once the look is finished (the mark found or
    // every piece looked through). The helper reads through a descriptor
    // of its own, so the window may close while it ends.
    bool advance(const ByteWindow& window, std::int64_t budget);
    // After the look: whether the file follows the escaping convention.
    bool escaping() const { return found_; }

private:
    // Looks through pieces until none is left or the mark is found, about
    // `budget` bytes (< 0: no limit).
    void lookThrough(const ByteWindow* window, std::vector<char>& buffer, std::int64_t budget);
    // Piece `index`, read through the survey's descriptor (else through
    // `window`); the last piece reads on to the end of the file as it is
    // then.
    void lookAt(const ByteWindow* window, std::int64_t index, std::vector<char>& buffer);
    void endHelper();

    bool started_ = false;
    bool finished_ = false;
    std::int64_t pieces_ = 0;                 // pieces of the file as found when the look began
    std::atomic<std::int64_t> nextPiece_ = 0; // the next piece not taken yet
    std::atomic<bool> found_ = false;
    std::atomic<bool> stopping_ = false;      // the helper ends after its piece
    int fd_ = -1;                             // the survey's own descriptor of the file
    std::vector<char> buffer_, helperBuffer_;
    std::thread helper_;
};

}  // namespace pm::formats
