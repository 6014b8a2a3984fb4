#pragma once
// The common course of one message, shared by every mail and news splitter:
// the lines of one message are in the line queue; the header block is
// judged, analysed as mail or news, the database resolved, the number taken,
// the text assembled and the work record appended.
#include <cstddef>
#include <string>
#include <vector>

#include "import/driver/format_parser.h"
#include "import/internet/line_queue.h"
#include "import/internet/parsed_header.h"
#include "import/formats/splitter.h"
#include "tables/records/scratch_tables.h"

namespace pm::formats {

enum class HeaderKind { Mail, News };

// How the messages of one format are read.
struct CourseOptions {
    HeaderKind kind = HeaderKind::Mail;
    bool pegasusDates = false;    // mail dates by the Pegasus rule
    bool cisAddressRule = false;  // news senders split by the CompuServe rule
    // Messages that declare no transfer encoding get their quoted-printable
    // soft line breaks joined (mail programs that stored the text that way).
    bool joinSoftBreaks = false;
};

// The first position at or after `pos` whose entry is not blank; past the
// end of the queue when none is.
std::size_t firstNonBlank(const inet::LineQueue& queue, std::size_t pos);

// True when the header block from `headerStart` to its first blank line
// holds at least one recognised header field (a mailbox "From " separator
// line does not count). A block without one is no message.
bool usableHeader(const inet::LineQueue& queue, std::size_t headerStart);

// The position of the last entry that is text: trailing blank lines (the
// blank line a mailbox puts before its next separator) and removed lines
// are none. 0 when no entry is.
std::size_t lastTextLine(const inet::LineQueue& queue);

// The message text of the body from `first` on (trailing blank lines
// dropped), assembled by the header's body format.
std::string assembleBody(const inet::LineQueue& queue, const inet::ParsedHeader& header);

// True when some line of the queue names a Content-Transfer-Encoding.
bool declaresTransferEncoding(const inet::LineQueue& queue);

// Joins quoted-printable soft line breaks in the body lines from `first`:
// a line ending in "=" (not "?=") continues with the next line without a
// break, "=20" at a line end leaves a blank and joins. Removed lines are
// passed over.
void joinSoftLineBreaks(inet::LineQueue& queue, std::size_t first);

// The name mail is resolved under: the name of the request's mailbox (the
// request's target name when the run knows no such database).
std::string mailboxName(const ParserCall& call);

// Counts a message as left out.
void countSkipped(ParserCall& call);

// Appends `record` (taking its text) and then the message identifiers as
// TempID records. Failed when a write failed (the run must end); Written
// otherwise (a message the run already holds is not written twice).
CourseResult appendWork(ParserCall& call, WorkRecord&& record,
                        const std::vector<inet::MessageIdPair>& messageIds);

// A work record holding the fields the analyses produce (the rest cleared).
WorkRecord workRecordOf(const inet::ParsedHeader& header);

class MessageCourse final : public MessageHandler {
public:
    explicit MessageCourse(const CourseOptions& options) : options_(options) {}

    // Handles the message held in `queue` whose header block starts at
    // `headerStart` (leading blank lines are passed over). Mail: kept only
    // when mail is asked for, resolved under the mailbox name, numbered from
    // the running counter. News: kept only when newsgroup messages are asked
    // for and the article names a newsgroup and has a Message-ID; resolved
    // under its newsgroup. A block without a usable header, one the analysis
    // rejects, and one whose database is not found, does not allow import or
    // is only to be created, is skipped.
    CourseResult handle(inet::LineQueue& queue, std::size_t headerStart, ParserCall& call,
                        inet::HeaderContext& context) override;

    // A message whose Date field is missing or unreadable takes the date of
    // its separator (a mailbox's envelope line), else that of its newest
    // "Received:" field; only a message with none of them keeps date 0.
    void setSeparatorDate(const inet::MessageDate& date) override { separatorDate_ = date; }

    // Mail splits: prepare() judges and analyses the header and assembles
    // the text; finish() resolves the mailbox, takes the number from the
    // running counter and appends. News stays whole: its analysis looks
    // into the databases.
    bool preparesApart() const override { return options_.kind == HeaderKind::Mail; }
    void prepare(inet::LineQueue& queue, std::size_t headerStart, const ImportRequest& request,
                 inet::HeaderContext& context, PreparedMessage& out) override;
    CourseResult finish(PreparedMessage& message, ParserCall& call) override;

private:
    void takeFallbackDate(const inet::LineQueue& queue, std::size_t headerStart);

    CourseResult handleNews(inet::LineQueue& queue, std::size_t headerStart, ParserCall& call,
                            inet::HeaderContext& context);

    CourseOptions options_;
    inet::ParsedHeader header_;
    inet::MessageDate separatorDate_;
};

}  // namespace pm::formats
