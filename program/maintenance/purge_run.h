#pragma once
// The work of the purge window (PurgeMess) on the active database:
// purging what is marked Delete, or counting only. A job (common/job.h).
//
// Phases, in order; each step runs one slice of the current phase (the
// count/purge speed: records per slice) inside one transaction and commits
// it, so a run stopped or killed between or inside slices leaves whole
// slices only, and a run started again ends where an uninterrupted run
// would have ended.
//
// Purge of a forum or newsgroup database:
//   Start           a database marked for deletion in the catalog asks
//                   whether to delete it whole (Yes), purge it (No) or stop.
//   MarkAged        (aged option) threads of messages dated on or before
//                   today - 7 x weeks whose last message is dated so too,
//                   and whose status is Normal, get the status Delete.
//   DeleteThreads   threads marked Delete lose their Normal and Delete
//                   messages; a thread without a Keep message goes.
//   DeleteMessages  messages marked Delete go.
//   DeleteSections  the threads of sections marked Delete (but not threads
//                   marked Keep) lose their Normal and Delete messages;
//                   emptied threads go.
//   SearchIndexes   topic attachments of messages that are gone go;
//   CodeCounts      each topic's count is taken from its attachments.
//   WordList        the word list's count key is rebuilt (the occurrences
//                   of every message went with it, and their words' counts
//                   were taken down in the same transaction).
//   Aliases         PLINK records of persons that are gone go.
//   Receivers       (newsgroups) a reply is addressed to the sender of the
//                   message it answers.
//   Persons, Threads, Sections  the recounts (message_counts.h).
//   DatabaseCount   the catalog's message count.
// Purge of a mail database: RoundTimes (each mail's time down to its
// minute), Duplicates (of mails agreeing in subject, date, minute, sender,
// receiver and text, all but the first get the status Delete), Partners
// (partners marked Delete lose their Normal and Delete mails, and go
// unless a Keep mail remains; never the mailbox owner), DeleteMessages,
// CarbonCopies (those of mails that are gone), Aliases, WordList,
// SearchIndexes, CodeCounts, Persons, DatabaseCount.
// Counting: (newsgroups: Receivers), Persons, Threads, Sections (forum and
// newsgroup), DatabaseCount.
//
// A stop request is accepted at once: whole slices only were committed.
// Counts left wrong by an early stop are put right by a counting run.
#include <memory>
#include <string>

#include "common/job.h"
#include "common/types.h"

namespace pm {

enum class PurgeWork { Purge, Count };

struct PurgeOptions {
    PurgeWork work = PurgeWork::Purge;
    int agedWeeks = 0;  // > 0: threads older than this many weeks are purged too
    LONG today = 0;     // the day the age is counted from; 0: today
};

// The counters the run reports (stable names; command mode prints them).
namespace purge_counter {
inline constexpr const char* MessagesBefore = "messages_before";
inline constexpr const char* Deleted = "deleted";
inline constexpr const char* MessagesAfter = "messages_after";
inline constexpr const char* Messages = "messages";
inline constexpr const char* Threads = "threads";
inline constexpr const char* Sections = "sections";
inline constexpr const char* Persons = "persons";
inline constexpr const char* Partners = "mail_partners";
inline constexpr const char* Receivers = "receivers";
inline constexpr const char* ThreadsDeleted = "threads_deleted";
inline constexpr const char* SectionsDeleted = "sections_deleted";
inline constexpr const char* PersonsDeleted = "persons_deleted";
inline constexpr const char* WordsDeleted = "words_deleted";
inline constexpr const char* DatabaseDeleted = "database_deleted";
inline constexpr const char* Phase = "phase";  // the number of the phase running (1 first)
}  // namespace purge_counter

class PurgeRun final : public Job {
public:
    // A run on the active database (none active: the run fails at its
    // first step); unattended when a task runs. Its first step takes the
    // installation's writing turn (waiting while another process imports,
    // merges or rebuilds; refused when the wait is over) and opens its tables.
    explicit PurgeRun(PurgeOptions options);
    ~PurgeRun() override;

    JobStatus step() override;
    JobStatus status() const override;
    ProgressReport report() const override;
    bool requestStop(StopRequest how) override;

    // The window's texts for the counters of this run's kind and database
    // type ("Messages before purging" ...): name and label pairs in order.
    std::vector<std::pair<std::string, std::string>> counterLabels() const;
    // The seconds the run took, once final.
    double seconds() const;

    struct State;

private:
    std::unique_ptr<State> s_;
};

}  // namespace pm
