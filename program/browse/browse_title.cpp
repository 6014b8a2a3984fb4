#include "browse/browse_title.h"

#include "browse/browse_views.h"
#include "common/fixed_text.h"
#include "tables/records/message_tables.h"
#include "tables/records/scratch_tables.h"
#include "tables/records/wordindex_tables.h"

namespace pm {

namespace {

ULONG recordsOf(Table& table) {
    const std::int64_t n = table.records();
    return n > 0 ? static_cast<ULONG>(n) : 0;
}

ULONG personCount(ULONG id, bool asSender) {
    Person.clear();
    PER.PERSONID = id;
    if (Person.get(PER_PersonKey) != StorageStatus::Ok) return 0;
    return asSender ? PER.FROMCOUNT : PER.TOCOUNT;
}

ULONG wordCount(ULONG word) {
    if (word == 0) return 0;
    WordList.clear();
    WOR.WORDID = static_cast<LONG>(word);
    if (WordList.get(WOR_by_WordId) != StorageStatus::Ok) return 0;
    return WOR.WORDCOUNT > 0 ? static_cast<ULONG>(WOR.WORDCOUNT) : 0;
}

ULONG topicCount(ULONG topic) {
    if (topic == 0) return 0;
    // COD:ClassKey is (TYPE, INDEX): find the topic by its id in the topics.
    Codes.clear();
    COD.TYPE = CodeTypeTopic;
    Codes.setAt(COD_ClassKey);
    while (Codes.next() == StorageStatus::Ok && COD.TYPE == CodeTypeTopic)
        if (COD.ID == topic) return COD.COUNT;
    return 0;
}

}  // namespace

ULONG messageViewCount(const BrowseContext& c) {
    switch (c.SORTORDER) {
        case ViewByThread: {
            if (c.XTHREADNUMBER == 0) break;
            Threads.clear();
            THR.THREADNUMBER = c.XTHREADNUMBER;
            return Threads.get(THR_ThreadKey) == StorageStatus::Ok ? THR.MSGCOUNT : 0;
        }
        case ViewBySection: {
            Sections.clear();
            SEC.SECSYSID = c.XSECSYSID;
            return Sections.get(SEC_SysIdKey) == StorageStatus::Ok ? SEC.MSGCOUNT : 0;
        }
        case ViewBySender:
            if (c.XSENDID == 0) break;
            return personCount(c.XSENDID, true);
        case ViewByReceiver:
            if (c.XRECEIVEID == 0) break;
            return personCount(c.XRECEIVEID, false);
        case ViewByKeyWord: return wordCount(c.XSINDEXID);
        case ViewByTopic: return topicCount(c.XTOPICSID);
        case ViewBySearch: return recordsOf(Search);
        default: break;
    }
    return recordsOf(MsgNmbr);
}

ULONG mailViewCount(const MailBrowseContext& c) {
    switch (c.SORTORDER) {
        case MailByPartner: {
            if (c.XPAIRID == 0) break;
            // Persons keep no count of the mails they are partner in.
            KeyRange range = mailViewRange(c);
            range.prime();
            const std::int64_t n = Mail.rangeCount(MAI_PairKey, 2);
            return n > 0 ? static_cast<ULONG>(n) : 0;
        }
        case MailBySender:
            if (c.XSENDID == 0) break;
            return personCount(c.XSENDID, true);
        case MailByReceiver:
            if (c.XRECEIVEID == 0) break;
            return personCount(c.XRECEIVEID, false);
        case MailByKeyWord: return wordCount(c.XSINDEXID);
        case MailByTopic: return topicCount(c.XTOPICSID);
        case MailBySearch: return recordsOf(Search);
        default: break;
    }
    return recordsOf(Mail);
}

std::string browseTitle(BYTE databaseType, const std::string& description, ULONG count) {
    const char* kind = databaseType == TypeForum ? " Forum database: "
                       : databaseType == TypeMail ? " Mail database: "
                                                  : " Newsgroup database: ";
    return kind + std::string(trimRight(description)) + " Messages [" + std::to_string(count) + "]";
}

}  // namespace pm
