#include "import/driver/mailbox_topics.h"

#include "common/globals.h"
#include "tables/access/open_close.h"
#include "tables/catalog/active_database.h"
#include "tables/records/all_tables.h"

namespace pm {

namespace {
// Codes records that are topics rather than key words (COD:TYPE).
constexpr BYTE TopicCode = 2;
}  // namespace

std::vector<MailboxTopic> mailboxTopics(ULONG mailbox) {
    std::vector<MailboxTopic> topics;
    if (mailbox == 0) return topics;
    const MemGlobals saved = Mem;
    // Codes is a table of each database: it opens in the active one.
    OP_CLOSE(ForceClose, {&Codes});
    if (!activateDatabase(mailbox)) return topics;
    {
        TableScope scope({&Codes});
        Codes.clear();
        COD.TYPE = TopicCode;
        Codes.setAt(COD_ClassKey);
        while (Codes.next() == StorageStatus::Ok && COD.TYPE == TopicCode)
            topics.push_back({COD.ID, std::string(COD.INDEX.view())});
    }
    OP_CLOSE(ForceClose, {&Codes});
    restoreActiveDatabase(saved);
    return topics;
}

}  // namespace pm
