#pragma once
// The pre-merge conversion: the messages of a source database written into
// the work files of a run, one NewHR record each, so that the message store
// can file them into a target database as it files imported ones.
//
// Forum and newsgroup messages keep their numbers; each takes its section,
// thread subject, sender and addressee from the source, its text and its
// status. A newsgroup message's Message-ID (and its parent's) goes to
// TempID, so that the target identifies it and finds its parent. A mail gets
// a new number from the run's counter; the source mailbox's owner is its
// receiver (received mail) or sender (sent mail), and its further
// receivers go to CCT under the new number.
#include <map>
#include <set>
#include <string>
#include <utility>

#include "common/types.h"
#include "import/driver/work_files.h"
#include "storage/table.h"
#include "tables/records/config_tables.h"

namespace pm {

// Which messages of a source database a conversion takes.
struct MessageSelection {
    enum Kind {
        All,             // every message
        Section,         // the messages of section `section` (SECSYSID)
        AllButSections,  // every message outside the sections in `excluded`
    };
    Kind kind = All;
    ULONG section = 0;
    std::set<ULONG> excluded;

    // Whether a message of section `secsysid` is taken.
    bool takes(ULONG secsysid) const;

    static MessageSelection all() { return {}; }
    static MessageSelection ofSection(ULONG section) { return {Section, section, {}}; }
    static MessageSelection allBut(std::set<ULONG> sections) { return {AllButSections, 0, std::move(sections)}; }
};

class SourceConversion {
public:
    SourceConversion() = default;
    // Releases the source's tables if they are still open.
    ~SourceConversion();
    SourceConversion(const SourceConversion&) = delete;
    SourceConversion& operator=(const SourceConversion&) = delete;

    // Makes `source` the active database for path building and opens its
    // tables. Records are written for database `targetId` (NHR.INTERNAL);
    // mail numbers come from `*runningId`, the run's reserved counter.
    void begin(const ForumsRecord& source, ULONG targetId, MessageSelection selection, WorkFiles& work,
               LONG* runningId);

    // Converts up to `quota` messages in file order. True when the source
    // has no more; `failed` is set (and true returned) when a work-file
    // write failed (reported).
    bool step(int quota, bool& failed);

    // Releases the source's tables (the active database globals are the
    // caller's to restore).
    void end();

    long long converted() const { return converted_; }
    // Whether the source's tables are open (between begin() and end()).
    bool open() const { return open_; }

private:
    struct Party {
        std::string name, address;
    };
    const Party& person(ULONG id);
    std::pair<ULONG, std::string> section(ULONG secsysid);
    std::string threadHeading(ULONG thread);
    std::string text(ULONG number, LONG& date, LONG& time);
    bool convertMessage(WorkRecord& record);
    bool convertMail(WorkRecord& record);
    bool copyMessageId(ULONG number);

    bool open_ = false;
    BYTE type_ = 0;
    ULONG targetId_ = 0;
    MessageSelection selection_;
    WorkFiles* work_ = nullptr;
    LONG* runningId_ = nullptr;
    Party owner_;                   // the source mailbox's owner
    Table* headers_ = nullptr;      // MsgNmbr, or Mail for mail
    RecordPosition last_ = 0;       // the header read last
    long long converted_ = 0;

    std::map<ULONG, Party> persons_;
    std::map<ULONG, std::pair<ULONG, std::string>> sections_;
};

}  // namespace pm
