#include "browse/text_find.h"

#include <array>

#include "browse/browse_rows.h"
#include "browse/browse_views.h"
#include "common/globals.h"
#include "common/stopwatch.h"
#include "common/text.h"
#include "common/user_interface.h"
#include "common/utf8.h"
#include "import/driver/import_settings.h"
#include "tables/records/message_tables.h"
#include "wordindex/character_class.h"

namespace pm {

namespace {

constexpr int kFindStopwatch = 15;

bool allDigits(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

// Whether the character `cp` joins a word around a match.
bool wordCharacter(char32_t cp, bool numeric) {
    if (numeric) return cp >= '0' && cp <= '9';
    if (cp == '1' || (cp >= 'A' && cp <= 'Z') || (cp >= 'a' && cp <= 'z')) return true;
    if (cp < 0x80) return false;
    const int code = windows1252Code(cp);
    return code < 0 || (code >= 128 && code <= 133);
}

std::string caseForm(std::string_view text, bool matchCase) {
    return matchCase ? std::string(text) : toUpper(text);
}

}  // namespace

std::string cutFindText(std::string_view text) {
    return std::string(text.substr(0, utf8PrefixBytes(text, FindTextLimit)));
}

int AISINB(bool wordsOnly, std::string_view text, std::string_view pattern) {
    const std::size_t m = pattern.size();
    if (m == 0 || m > text.size()) return 0;
    std::array<std::size_t, 256> shift;
    shift.fill(m);
    for (std::size_t i = 0; i + 1 < m; ++i) shift[static_cast<unsigned char>(pattern[i])] = m - 1 - i;
    const bool numeric = allDigits(pattern);
    const unsigned char last = static_cast<unsigned char>(pattern[m - 1]);
    std::size_t at = 0;
    while (at + m <= text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[at + m - 1]);
        if (c == last && text.compare(at, m, pattern) == 0) {
            bool counts = true;
            if (wordsOnly) {
                if (at > 0) {
                    const std::size_t before = utf8CharStartBefore(text, at);
                    counts = !wordCharacter(decodeUtf8At(text, before).codePoint, numeric);
                }
                if (counts && at + m < text.size()) counts = !wordCharacter(decodeUtf8At(text, at + m).codePoint, numeric);
            }
            if (counts) return static_cast<int>(at + 1);
        }
        at += shift[c];
    }
    return 0;
}

LONG firstMessageDate() {
    // Both date keys run newest first: the oldest record is the last one.
    if (Mem.ForumType == TypeMail) {
        Mail.set(MAI_DateKey);
        return Mail.previous() == StorageStatus::Ok ? MAI.DATE : 0;
    }
    MsgNmbr.set(MSG_DateKey);
    return MsgNmbr.previous() == StorageStatus::Ok ? MSG.DATE : 0;
}

namespace {
FoundText& lastFound() {
    static FoundText found;
    return found;
}
}  // namespace

void publishFoundText(const FoundText& found) { lastFound() = found; }
const FoundText& foundText() { return lastFound(); }

void announceFindEnd(LONG seconds) {
    if (showCompletionTime())
        message(" Standard Search  ", "The time for completion was: " + std::to_string(seconds) + " seconds");
    message(" End of File!", "No more messages in this direction!");
}

TextFind::TextFind(const FindOptions& options, KeyRange range, ULONG start, int quota)
    : options_(options), range_(std::move(range)), start_(start), quota_(quota < 1 ? 1 : quota) {
    options_.text = cutFindText(options_.text);
    pattern_ = caseForm(options_.text, options_.matchCase);
    if (pattern_.empty()) status_ = JobStatus::Failed;
}

LONG TextFind::seconds() const { return StartStop(StopwatchStop, kFindStopwatch); }

// Sets the view's sequence where this step goes on: at the record read last
// (read again and passed over), else at the start message, else at the
// view's edge.
bool TextFind::position() {
    Table& t = *range_.table;
    if (!hasLast_ && start_ != 0 && findListRecord(range_, start_)) {
        last_ = t.position();
        hasLast_ = true;
    }
    if (hasLast_) {
        t.setAtPosition(*range_.key, last_);
        skipFirst_ = true;
        return true;
    }
    range_.primeEdge(options_.direction == FindBackward);
    t.setAt(*range_.key);
    skipFirst_ = false;
    return true;
}

FindMatch TextFind::test(ULONG number) {
    const bool mail = Mem.ForumType == TypeMail;
    LONG date = 0;
    std::string heading;
    if (mail) {
        if (range_.table != &Mail) {
            Mail.clear();
            MAI.MAILID = number;
            if (Mail.get(MAI_IdKey) != StorageStatus::Ok) return FindMatch::None;
        }
        date = MAI.DATE;
        heading = MAI.SUBJECT.view();
    } else {
        if (range_.table != &MsgNmbr) {
            MsgNmbr.clear();
            MSG.MSGNUMBER = number;
            if (MsgNmbr.get(MSG_IdKey) != StorageStatus::Ok) return FindMatch::None;
        }
        date = MSG.DATE;
        Threads.clear();
        THR.THREADNUMBER = MSG.THREADNUMBER;
        if (Threads.get(THR_ThreadKey) == StorageStatus::Ok) heading = threadHeading(THR);
    }
    if ((options_.fromDate != 0 && date < options_.fromDate) || (options_.toDate != 0 && date > options_.toDate))
        return FindMatch::None;
    if (options_.where != FindTextOnly &&
        AISINB(options_.wordsOnly, caseForm(heading, options_.matchCase), pattern_) != 0)
        return FindMatch::Heading;
    if (options_.where == FindHeadingOnly) return FindMatch::None;
    MsgText.clear();
    TXT.MSGNUMBER = number;
    if (MsgText.get(TXT_IdKey) != StorageStatus::Ok) return FindMatch::None;
    return AISINB(options_.wordsOnly, caseForm(TXT.MsgText, options_.matchCase), pattern_) != 0 ? FindMatch::Text
                                                                                               : FindMatch::None;
}

JobStatus TextFind::step() {
    if (status_ != JobStatus::Running) return status_;
    Table& t = *range_.table;
    if (!started_) {
        started_ = true;
        StartStop(StopwatchStart, kFindStopwatch);
        range_.prime();
        total_ = t.rangeCount(*range_.key, range_.equalParts);
    }
    position();
    const bool forward = options_.direction != FindBackward;
    for (int i = 0; i < quota_;) {
        const StorageStatus st = forward ? t.next() : t.previous();
        if (st != StorageStatus::Ok && st != StorageStatus::NotFound) {
            message(t.displayName(), t.lastError().text, Icon::Exclamation);
            return status_ = JobStatus::Failed;
        }
        if (st == StorageStatus::NotFound || !range_.holdsBuffer()) {
            endReached_ = true;
            return status_ = JobStatus::Done;
        }
        if (skipFirst_) {
            skipFirst_ = false;
            if (t.position() == last_) continue;
        }
        last_ = t.position();
        hasLast_ = true;
        ++read_;
        ++i;
        const ULONG number = listedMessage(range_);
        const FindMatch m = test(number);
        if (m != FindMatch::None) {
            found_ = number;
            match_ = m;
            return status_ = JobStatus::Done;
        }
    }
    return status_;
}

ProgressReport TextFind::report() const {
    ProgressReport r;
    r.title = " Standard Search";
    r.phase = "searching the messages";
    r.lines.push_back("Searching for " + options_.text);
    r.counters = {{"read", read_}, {"records", total_}};
    r.captions = {{"read", "Records read"}, {"records", "Records in the view"}};
    r.percent = total_ > 0 ? static_cast<int>(std::min<long long>(100, read_ * 100 / total_)) : -1;
    return r;
}

bool TextFind::requestStop(StopRequest) {
    if (status_ == JobStatus::Running) status_ = JobStatus::Stopped;
    return true;
}

}  // namespace pm
