#pragma once
// The merge store: the work records of one target database filed into it
// by the message store, as an import files them, in transactions that each
// carry the person, thread and section counts of what they store. A commit
// is therefore a point where the database is whole: a run stopped or
// killed after it leaves every stored message counted, and a run that goes
// over the same work again skips what is there (forum: the message number;
// newsgroup: the Message-ID; mail: the duplicate test).
//
// Beyond the import's store it keeps each message's status (Keep, Delete),
// a mail's further receivers, and, when the target is finished, resets the
// classification dates of its topics and has its word index look at every
// message again (merged messages keep their old numbers).
#include <string>

#include "common/types.h"
#include "import/store/message_store.h"
#include "tables/access/open_close.h"
#include "tables/records/config_tables.h"

namespace pm {

class TargetStore {
public:
    TargetStore();
    // Rolls back what is not committed and releases the tables.
    ~TargetStore();
    TargetStore(const TargetStore&) = delete;
    TargetStore& operator=(const TargetStore&) = delete;

    // Makes `target` the active database, opens its tables and positions
    // the work file on its records. A mail target must have its owner
    // person; without it the failure is reported and false returned.
    // `date` and `time` stamp the stored texts.
    bool begin(const ForumsRecord& target, LONG date, LONG time);

    // Stores up to `quota` of the target's work records, committing after
    // more than 400 writes. True when its records are exhausted (everything
    // committed); `failed` is set (and true returned) when a write failed:
    // the transaction is rolled back and the failure reported.
    bool step(int quota, bool& failed);

    // After the last record: the topics' classification dates reset, the
    // catalog count and word-index marks written, committed, the tables
    // released. False after reporting a failure.
    bool finish();

    // Ends storing early: `keep` commits what is stored with its counts and
    // the catalog count; otherwise the open transaction is rolled back.
    void stop(bool keep);

    bool active() const { return open_; }
    ULONG targetId() const { return target_.ID; }
    BYTE targetType() const { return target_.TYPE; }
    const std::string& targetName() const { return name_; }
    long long stored() const { return stored_; }
    long long skipped() const { return skipped_; }
    long long handled() const { return stored_ + skipped_; }

private:
    bool ensureTransaction();
    bool commit();
    bool writeCounts();
    bool keepStatus(const WorkRecord& record, BYTE status);
    bool writeCarbonCopies(ULONG mailId);
    bool resetClassificationDates();
    bool writeCatalogMarks();
    bool keyRegister();
    void release();

    MessageStore store_;
    TableScope tables_;  // the store's tables of the target
    TableScope codes_;   // its topics
    ForumsRecord target_{};
    std::string name_;
    LONG date_ = 0, time_ = 0;
    bool open_ = false;
    long long stored_ = 0, skipped_ = 0;
    long long storedHere_ = 0;  // stored by this store (the word index must look again)
};

// Test hook: with POSTMOOR_TEST_KILL_AFTER_COMMITS=N in the environment the
// process ends with SIGKILL right after the N-th commit of a merge,
// redirection or purge, so that a test can see what a crash there leaves.
void passCommitPoint();

}  // namespace pm
