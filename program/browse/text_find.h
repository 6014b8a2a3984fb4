#pragma once
// The standard search: a sequential find of a text in the headings and
// texts of the messages a browse shows, in the browse's order and within
// its view, without the word index.
//
// A TextFind is a Job. It starts after the browse's current message (or at
// the first record of the view in the search direction when there is none)
// and reads the view's records one slice per step() (the standard-search
// speed): next or previous on the view's file and key, the message read by
// its number for the key-word, topic and search views. A record outside
// the date range is passed over. The first message whose heading (the
// thread's heading, the mail's subject) or text holds the search string
// ends the job Done with found() set; the end of the view ends it Done with
// endReached(). "Next" is a new TextFind from the found message.
//
// Each step positions the view's key again at the record it read last, so
// the browse may read the same tables between steps. The tables of the
// active database must be open (BrowseTables).
#include <string>
#include <string_view>

#include "browse/browse_context.h"
#include "browse/paged_list.h"
#include "common/job.h"
#include "common/stopwatch.h"
#include "common/types.h"

namespace pm {

// Longest search string, in characters.
inline constexpr std::size_t FindTextLimit = 20;

// Where the string is looked for.
enum FindWhere : BYTE {
    FindTextAndHeading = 1,  // " Msgtext/Thread subject", " Mail text/Mail subject"
    FindHeadingOnly = 2,     // " Thread subject only", " Mail subject only"
    FindTextOnly = 3,        // the message text alone (command mode)
};
// Which way the view is read.
enum FindDirection : BYTE { FindForward = 1, FindBackward = 2 };

struct FindOptions {
    std::string text;                // the search string (cut to FindTextLimit characters)
    BYTE where = FindTextAndHeading;
    BYTE direction = FindForward;
    bool matchCase = false;          // "Text with matching character case only"
    bool wordsOnly = false;          // "Matching words only"
    LONG fromDate = 0;               // day numbers; 0: no bound
    LONG toDate = 0;
};

// What a find ended on.
enum class FindMatch { None, Heading, Text };

// `text` cut to FindTextLimit characters.
std::string cutFindText(std::string_view text);

// The string test: the 1-based byte position of the first occurrence of
// `pattern` in `text` (a Horspool scan), 0 when there is none or the
// pattern is empty. With `wordsOnly` an occurrence counts only when the
// characters before and after it (where there are any) are not word
// characters: the digits when the pattern is all digits, else the digit 1,
// A-Z, a-z and the Windows-1252 codes 128-133 (a character outside
// Windows-1252 counts as a letter).
int AISINB(bool wordsOnly, std::string_view text, std::string_view pattern);

// The first record date of the view's database in date order (the find
// window's default from-date): the oldest message or mail; 0 when empty.
LONG firstMessageDate();

// Shows the end of a find: the completion time when the settings ask for
// it, then " End of File!" / "No more messages in this direction!".
void announceFindEnd(LONG seconds);

// The text of the last find and the message it was found in, published for
// the message pane, which marks the text when it shows that message.
struct FoundText {
    std::string text;
    ULONG number = 0;  // 0: nothing found
    bool matchCase = false;
};
void publishFoundText(const FoundText& found);
const FoundText& foundText();

class TextFind final : public Job {
public:
    // `range`: the browse's view (messageViewRange / mailViewRange of its
    // context). `start`: the message the browse shows; 0 starts at the edge
    // of the view. `quota`: records read per step (at least 1).
    TextFind(const FindOptions& options, KeyRange range, ULONG start, int quota);

    JobStatus step() override;
    JobStatus status() const override { return status_; }
    ProgressReport report() const override;
    bool requestStop(StopRequest how) override;

    // The message found (0 while none) and where the string was.
    ULONG found() const { return found_; }
    FindMatch match() const { return match_; }
    // Whether the job ended at the end of the view.
    bool endReached() const { return endReached_; }
    // Records of the view read so far, and in the view when it started.
    long long recordsRead() const { return read_; }
    long long recordsInView() const { return total_; }
    // Whole seconds since the find started.
    LONG seconds() const;

private:
    bool position();
    FindMatch test(ULONG number);

    FindOptions options_;
    std::string pattern_;
    KeyRange range_;
    ULONG start_;
    int quota_;
    bool started_ = false;
    bool skipFirst_ = false;  // the first record read is the start message
    RecordPosition last_ = 0;
    bool hasLast_ = false;
    JobStatus status_ = JobStatus::Running;
    ULONG found_ = 0;
    FindMatch match_ = FindMatch::None;
    bool endReached_ = false;
    long long read_ = 0;
    long long total_ = 0;
};

}  // namespace pm
