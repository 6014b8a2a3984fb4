#include "browse/browse_views.h"

#include "tables/records/message_tables.h"
#include "tables/records/scratch_tables.h"
#include "tables/records/wordindex_tables.h"

namespace pm {

namespace {

KeyRange wordRange(ULONG word) {
    MasIdx.clear();
    MAS.WORDID = word;
    return KeyRange::fromBuffer(MasIdx, MAS_by_WordId, 1);
}

KeyRange topicRange(ULONG topic) {
    SIndex.clear();
    SIN.ID = topic;
    return KeyRange::fromBuffer(SIndex, SIN_IdKey, 1);
}

KeyRange searchRange() {
    Search.clear();
    return KeyRange::fromBuffer(Search, SEA_IdKey, 0);
}

}  // namespace

KeyRange messageViewRange(const BrowseContext& c) {
    MsgNmbr.clear();
    switch (c.SORTORDER) {
        case ViewByThread:
            if (c.XTHREADNUMBER == 0) return KeyRange::fromBuffer(MsgNmbr, MSG_Threadkey, 0);
            MSG.THREADALPHA = c.XTHREADALPHA.view();
            MSG.THREADNUMBER = c.XTHREADNUMBER;
            return KeyRange::fromBuffer(MsgNmbr, MSG_Threadkey, 2);
        case ViewBySection:
            MSG.SECSYSID = c.XSECSYSID;
            return KeyRange::fromBuffer(MsgNmbr, MSG_SECkey, 1);
        case ViewBySender:
            if (c.XSENDID == 0) return KeyRange::fromBuffer(MsgNmbr, MSG_FromKey, 0);
            MSG.FROMALPHA = c.XSENDERALPHA.view();
            MSG.FROMID = c.XSENDID;
            return KeyRange::fromBuffer(MsgNmbr, MSG_FromKey, 2);
        case ViewByReceiver:
            if (c.XRECEIVEID == 0) return KeyRange::fromBuffer(MsgNmbr, MSG_ToKey, 0);
            MSG.TOALPHA = c.XRECEIVERALPHA.view();
            MSG.TOID = c.XRECEIVEID;
            return KeyRange::fromBuffer(MsgNmbr, MSG_ToKey, 2);
        case ViewByDate: return KeyRange::fromBuffer(MsgNmbr, MSG_DateKey, 0);
        case ViewByKeyWord: return wordRange(c.XSINDEXID);
        case ViewByTopic: return topicRange(c.XTOPICSID);
        case ViewBySearch: return searchRange();
        default: return KeyRange::fromBuffer(MsgNmbr, MSG_IdKey, 0);
    }
}

KeyRange mailViewRange(const MailBrowseContext& c) {
    Mail.clear();
    switch (c.SORTORDER) {
        case MailBySubject: return KeyRange::fromBuffer(Mail, MAI_SubjectKey, 0);
        case MailByPartner:
            if (c.XPAIRID == 0) return KeyRange::fromBuffer(Mail, MAI_PairKey, 0);
            MAI.PAIRALPHA = c.XPAIRALPHA.view();
            MAI.PAIRID = c.XPAIRID;
            return KeyRange::fromBuffer(Mail, MAI_PairKey, 2);
        case MailBySender:
            if (c.XSENDID == 0) return KeyRange::fromBuffer(Mail, MAI_FromKey, 0);
            MAI.FROMALPHA = c.XSENDERALPHA.view();
            MAI.FROMID = c.XSENDID;
            return KeyRange::fromBuffer(Mail, MAI_FromKey, 2);
        case MailByReceiver:
            if (c.XRECEIVEID == 0) return KeyRange::fromBuffer(Mail, MAI_ToKey, 0);
            MAI.TOALPHA = c.XRECEIVERALPHA.view();
            MAI.TOID = c.XRECEIVEID;
            return KeyRange::fromBuffer(Mail, MAI_ToKey, 2);
        case MailByKeyWord: return wordRange(c.XSINDEXID);
        case MailByTopic: return topicRange(c.XTOPICSID);
        case MailBySearch: return searchRange();
        default: return KeyRange::fromBuffer(Mail, MAI_DateKey, 0);
    }
}

bool viewListsReferences(const KeyRange& range) {
    return range.table == &MasIdx || range.table == &SIndex || range.table == &Search;
}

ULONG listedMessage(const KeyRange& range) {
    if (range.table == &MasIdx) return MAS.SYSID;
    if (range.table == &SIndex) return SIN.MSGNUMBER;
    if (range.table == &Search) return SEA.ID;
    if (range.table == &Mail) return MAI.MAILID;
    return MSG.MSGNUMBER;
}

bool findListRecord(const KeyRange& range, ULONG number) {
    Table& t = *range.table;
    range.prime();
    if (range.table == &MasIdx) {
        MAS.SYSID = number;
        return MasIdx.get(MAS_by_SysID) == StorageStatus::Ok;
    }
    if (range.table == &SIndex) {
        SIN.MSGNUMBER = number;
        return SIndex.get(SIN_IdKey) == StorageStatus::Ok;
    }
    if (range.table == &Search) {
        SEA.ID = number;
        return Search.get(SEA_IdKey) == StorageStatus::Ok;
    }
    if (range.table == &Mail) {
        Mail.clear();
        MAI.MAILID = number;
        return Mail.get(MAI_IdKey) == StorageStatus::Ok && range.holdsBuffer();
    }
    MsgNmbr.clear();
    MSG.MSGNUMBER = number;
    return t.get(MSG_IdKey) == StorageStatus::Ok && range.holdsBuffer();
}

bool viewIsNarrowed(const BrowseContext& c) {
    switch (c.SORTORDER) {
        case ViewByThread: return c.XTHREADNUMBER != 0;
        case ViewBySender: return c.XSENDID != 0;
        case ViewByReceiver: return c.XRECEIVEID != 0;
        case ViewBySection:
        case ViewByKeyWord:
        case ViewByTopic:
        case ViewBySearch: return true;
        default: return false;
    }
}

bool viewIsNarrowed(const MailBrowseContext& c) {
    switch (c.SORTORDER) {
        case MailByPartner: return c.XPAIRID != 0;
        case MailBySender: return c.XSENDID != 0;
        case MailByReceiver: return c.XRECEIVEID != 0;
        case MailByKeyWord:
        case MailByTopic:
        case MailBySearch: return true;
        default: return false;
    }
}

bool messageInView(const BrowseContext& c, ULONG number) {
    MsgNmbr.clear();
    MSG.MSGNUMBER = number;
    if (MsgNmbr.get(MSG_IdKey) != StorageStatus::Ok) return false;
    if (!viewIsNarrowed(c)) return true;
    switch (c.SORTORDER) {
        case ViewByThread: return MSG.THREADNUMBER == c.XTHREADNUMBER;
        case ViewBySection: return MSG.SECSYSID == c.XSECSYSID;
        case ViewBySender: return MSG.FROMID == c.XSENDID;
        case ViewByReceiver: return MSG.TOID == c.XRECEIVEID;
        default: return findListRecord(messageViewRange(c), number);
    }
}

bool mailInView(const MailBrowseContext& c, ULONG number) {
    Mail.clear();
    MAI.MAILID = number;
    if (Mail.get(MAI_IdKey) != StorageStatus::Ok) return false;
    if (!viewIsNarrowed(c)) return true;
    switch (c.SORTORDER) {
        case MailByPartner: return MAI.PAIRID == c.XPAIRID;
        case MailBySender: return MAI.FROMID == c.XSENDID;
        case MailByReceiver: return MAI.TOID == c.XRECEIVEID;
        default: return findListRecord(mailViewRange(c), number);
    }
}

namespace {

std::string lastNameOf(ULONG id) {
    Person.clear();
    PER.PERSONID = id;
    return id != 0 && Person.get(PER_PersonKey) == StorageStatus::Ok ? PER.LASTNAME.str() : std::string();
}

}  // namespace

void setPersonFilter(BrowseContext& c, BrowsePersonRole role, ULONG id) {
    const std::string alpha = lastNameOf(id);
    if (role == BrowsePersonRole::Receiver) c.XRECEIVEID = id, c.XRECEIVERALPHA = alpha;
    else c.XSENDID = id, c.XSENDERALPHA = alpha;
}

void setPersonFilter(MailBrowseContext& c, BrowsePersonRole role, ULONG id) {
    const std::string alpha = lastNameOf(id);
    switch (role) {
        case BrowsePersonRole::Sender: c.XSENDID = id, c.XSENDERALPHA = alpha; break;
        case BrowsePersonRole::Receiver: c.XRECEIVEID = id, c.XRECEIVERALPHA = alpha; break;
        case BrowsePersonRole::Partner: c.XPAIRID = id, c.XPAIRALPHA = alpha; break;
    }
}

void setThreadFilter(BrowseContext& c, ULONG thread) {
    c.XTHREADNUMBER = thread;
    if (thread == 0) return;
    Threads.clear();
    THR.THREADNUMBER = thread;
    // A thread that does not exist keeps its number: an empty view.
    c.XTHREADALPHA = Threads.get(THR_ThreadKey) == StorageStatus::Ok ? THR.ALPHA.str() : std::string();
}

bool viewHasFilterValue(const BrowseContext& c) {
    return c.SORTORDER >= ViewByThread && c.SORTORDER <= ViewByReceiver;
}

bool viewHasFilterValue(const MailBrowseContext& c) {
    return c.SORTORDER >= MailByPartner && c.SORTORDER <= MailByReceiver;
}

}  // namespace pm
