#pragma once
// The work files of one import run in the temporary directory: NewHR (one
// record per parsed message, with its text), CCT (carbon-copy receivers of
// mail) and TempID (Message-ID pairs). They are created empty at the start
// of the run, written in append mode without key maintenance, keyed once at
// the end of the conversion phase and deleted when the run closes.
//
// Parsers hand each message over as a work record (and its carbon copies
// and Message-ID pairs as values); the table buffers are the work files'
// own business.
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/number_set.h"
#include "common/types.h"
#include "tables/records/scratch_tables.h"

namespace pm {

enum class WorkWrite {
    Written,
    Duplicate,  // the run already holds this message (or pair); nothing written
    Failed,     // the write failed and was reported; the run must end
};

class WorkFiles {
public:
    WorkFiles() = default;
    // Releases the files (see remove()) if they are still there.
    ~WorkFiles();
    WorkFiles(const WorkFiles&) = delete;
    WorkFiles& operator=(const WorkFiles&) = delete;

    // Deletes the three files, re-creates them empty, opens them and locks
    // NewHR. `importDate`/`importTime` are stamped on every message. Returns
    // false after a warning when another import holds NewHR locked (its
    // files are left alone). Table failures end the program (open service).
    bool create(LONG importDate, LONG importTime);

    // Appends `record` stamped with the run's import date and time. A
    // second message with the same database and number (INTERNAL,
    // MSGNUMBER) in one run is the same message read twice: it is not
    // written (Duplicate), since the work file's key holds each pair once.
    // While messages are handed over (below) the record is kept for the
    // run instead of written.
    WorkWrite appendMessage(const WorkRecord& record) { return appendMessage(WorkRecord(record)); }
    WorkWrite appendMessage(WorkRecord&& record);

    // A run that stores while it reads takes the messages straight from the
    // parsers: from handOver() on, appendMessage keeps each record (the
    // doubles left out as above) until takeHandedOver() collects them - at
    // most what one parser call hands over. NewHR stays empty.
    void handOver() { handingOver_ = true; }
    std::vector<WorkRecord> takeHandedOver() { return std::exchange(handedOver_, {}); }
    // Appends a carbon-copy receiver; an identical receiver of the same mail
    // is written once. The receivers of one mail are appended together
    // (only the current mail's are remembered, so memory stays flat).
    WorkWrite appendCarbonCopy(const CCTRecord& receiver);
    // Appends the Message-ID `idString` under provisional number `number`;
    // each provisional number is written once.
    WorkWrite appendMessageId(std::string_view idString, ULONG number);

    // Groups the appends of one parser call into one commit. beginBatch()
    // before the call, endBatch() after it; false after reporting when the
    // commit failed. More than 400 messages in one batch are committed on
    // the way.
    void beginBatch();
    bool endBatch();

    // Builds the keys of NewHR and TempID (end of the conversion phase). A
    // duplicate-key result is accepted; any other error is shown ("NewHR Key
    // Build Error!" / "TempID Key Build Error!" with "Messages will not be
    // imported!") and false returned.
    bool buildKeys();

    // Unlocks NewHR (the run no longer writes it).
    void unlock();
    // Closes and deletes the three files.
    void remove();

    long long messages() const { return messages_; }        // NewHR records written
    long long carbonCopies() const { return carbonCopies_; }
    long long duplicates() const { return duplicates_; }    // messages left out as read twice
    bool failed() const { return failed_; }                 // a write or commit failed
    // Bytes the work files take on disk (the temporary directory's store).
    std::uint64_t sizeOnDisk() const;

private:
    WorkWrite written(bool ok);
    bool commitBatch();

    bool created_ = false;
    bool locked_ = false;
    bool batchOpen_ = false;
    bool failed_ = false;
    bool handingOver_ = false;
    std::vector<WorkRecord> handedOver_;
    LONG importDate_ = 0, importTime_ = 0;
    long long messages_ = 0, carbonCopies_ = 0, duplicates_ = 0;
    long long sinceCommit_ = 0;
    // What the run holds already, for telling the doubles: (INTERNAL,
    // MSGNUMBER) pairs and provisional numbers are mostly consecutive, so
    // ranges keep them in little room however many there are.
    NumberSet messageKeys_;
    NumberSet messageIdKeys_;
    ULONG carbonCopyMail_ = 0;              // the mail whose receivers follow
    std::set<std::string> carbonCopyKeys_;  // ... and its receivers so far
};

}  // namespace pm
