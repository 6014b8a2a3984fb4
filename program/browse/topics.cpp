#include "browse/topics.h"

#include <algorithm>
#include <cstdint>

#include "browse/browse_context.h"
#include "browse/lookup_lists.h"
#include "common/dates.h"
#include "common/fixed_text.h"
#include "common/globals.h"
#include "common/text.h"
#include "common/user_interface.h"
#include "tables/access/open_close.h"
#include "tables/access/record_services.h"
#include "tables/identifiers/next_number.h"
#include "tables/records/config_tables.h"
#include "tables/records/message_tables.h"

namespace pm {

namespace {

constexpr const char* kCaption = "Topics";
constexpr const char* kGone = "This topic no longer exists!";

// The name as it is stored: trailing blanks off, cut to the field's width
// without splitting a character.
std::string storedName(const std::string& name) {
    std::string_view text = trim(name);
    return std::string(text.substr(0, utf8FitLength(text, TopicNameBytes)));
}

Topic topicOfBuffer() {
    return Topic{COD.ID, std::string(COD.INDEX.view()), COD.COUNT, COD.DATE, COD.TIME};
}

// Reads topic `id` into COD; false when there is none.
bool readTopic(ULONG id) { return readLookupChoice(LookupKind::Topics, id); }

void stampChange() {
    COD.DATE = today();
    COD.TIME = clockTime();
}

bool begin() { return beginTransactionChecked({&Codes, &SIndex}); }

// Commits the running transaction; reports and rolls back when it fails.
bool commit() {
    StorageError error;
    if (commitTransaction(&error) == StorageStatus::Ok) return true;
    if (inTransaction()) rollbackTransaction();
    message(Codes.displayName(), "Transaction commit error!\r\n" + error.text, Icon::Exclamation);
    return false;
}

// Inside a transaction: the topic gone is reported and the work rolled back.
bool goneInTransaction() {
    rollbackTransaction();
    message(kCaption, kGone, Icon::Exclamation);
    return false;
}

// Inside a transaction: holds topic `id` and moves its count by `delta`.
bool moveCount(ULONG id, long long delta) {
    if (!readTopic(id)) return goneInTransaction();
    if (!HoldRec(Codes, nullptr, Codes.position())) {
        rollbackTransaction();
        return false;
    }
    COD.COUNT = static_cast<ULONG>(std::max<long long>(0, static_cast<long long>(COD.COUNT) + delta));
    stampChange();
    if (!UppDat(Codes, UpdateRecord, RollBackAndReport)) return false;
    Codes.release();
    return true;
}

// Refuses an empty name and one another topic (not `self`) holds.
bool nameUsable(const std::string& name, ULONG self) {
    if (name.empty()) {
        message(kCaption, "A topic needs a name!", Icon::Exclamation);
        return false;
    }
    Topic other;
    if (findTopicNamed(name, other) && other.id != self) {
        message(kCaption, "The topic " + other.name + " already exists!", Icon::Exclamation);
        return false;
    }
    return true;
}

// Positions SIndex on the attachment (topic, message); true when it exists.
bool readAttachment(ULONG topic, ULONG message) {
    SIndex.clear();
    SIN.ID = topic;
    SIN.MSGNUMBER = message;
    return SIndex.get(SIN_IdKey) == StorageStatus::Ok;
}

TopicSetResult changeTopic(ULONG topic, const std::vector<ULONG>& messages, bool attach) {
    TopicSetResult result;
    std::vector<ULONG> numbers = messages;
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    std::size_t next = 0;
    do {
        if (!begin()) return result.ok = false, result;
        if (!readTopic(topic)) return goneInTransaction(), result.ok = false, result;
        TopicSetResult batch;
        for (; next < numbers.size() && batch.changed < TopicBatchWrites; ++next) {
            const ULONG number = numbers[next];
            const bool carried = readAttachment(topic, number);
            // A number the database holds no message for is missing,
            // unless it still carries the topic: a detach removes that.
            if (!carried && !messageExists(number)) {
                batch.missing.push_back(number);
                continue;
            }
            if (carried == attach) {
                ++batch.unchanged;
                continue;
            }
            if (attach) {
                SIndex.clear();
                SIN.ID = topic;
                SIN.MSGNUMBER = number;
            }
            if (!UppDat(SIndex, attach ? AddRecord : DeleteRecordOp, RollBackAndReport))
                return result.ok = false, result;
            ++batch.changed;
        }
        if (batch.changed > 0 && !moveCount(topic, attach ? static_cast<long long>(batch.changed)
                                                          : -static_cast<long long>(batch.changed)))
            return result.ok = false, result;
        if (!commit()) return result.ok = false, result;
        result.changed += batch.changed;
        result.unchanged += batch.unchanged;
        result.missing.insert(result.missing.end(), batch.missing.begin(), batch.missing.end());
    } while (next < numbers.size());
    return result;
}

}  // namespace

std::vector<Topic> listTopics() {
    std::vector<Topic> topics;
    Codes.clear();
    COD.TYPE = CodeTypeTopic;
    Codes.setAt(COD_ClassKey);
    while (Codes.next() == StorageStatus::Ok && COD.TYPE == CodeTypeTopic) topics.push_back(topicOfBuffer());
    return topics;
}

bool findTopic(ULONG id, Topic& out) {
    if (id == 0 || !readTopic(id)) return false;
    out = topicOfBuffer();
    return true;
}

bool findTopicNamed(const std::string& name, Topic& out) {
    Codes.clear();
    COD.TYPE = CodeTypeTopic;
    COD.INDEX = storedName(name);
    if (Codes.get(COD_ClassKey) != StorageStatus::Ok) return false;
    out = topicOfBuffer();
    return true;
}

ULONG addTopic(const std::string& requested) {
    const std::string name = storedName(requested);
    if (!nameUsable(name, 0)) return 0;
    ULONG id = 0;
    {
        const TableScope counter({&Control});
        id = NextNr();
    }
    if (id == 0) return 0;
    if (!begin()) return 0;
    // Another process may have added the name meanwhile: the unique key
    // refuses it and the write reports so.
    Codes.clear();
    COD.TYPE = CodeTypeTopic;
    COD.INDEX = name;
    COD.ID = id;
    COD.COUNT = 0;
    stampChange();
    if (!UppDat(Codes, AddRecord, RollBackAndReport)) return 0;
    return commit() ? id : 0;
}

bool renameTopic(ULONG id, const std::string& requested) {
    const std::string name = storedName(requested);
    if (!nameUsable(name, id)) return false;
    if (!begin()) return false;
    if (!readTopic(id)) return goneInTransaction();
    if (!HoldRec(Codes, nullptr, Codes.position())) {
        rollbackTransaction();
        return false;
    }
    COD.INDEX = name;
    stampChange();
    if (!UppDat(Codes, UpdateRecord, RollBackAndReport)) return false;
    Codes.release();
    return commit();
}

bool deleteTopic(ULONG id) {
    for (;;) {
        if (!begin()) return false;
        if (!readTopic(id)) return goneInTransaction();
        const RecordPosition topicAt = Codes.position();
        SIndex.clear();
        SIN.ID = id;
        SIN.MSGNUMBER = UINT32_MAX;  // the numbers run downward: start above them all
        SIndex.setAt(SIN_IdKey);
        std::size_t removed = 0;
        bool more = false;
        while (SIndex.next() == StorageStatus::Ok && SIN.ID == id) {
            if (removed == TopicBatchWrites) {
                more = true;
                break;
            }
            if (!UppDat(SIndex, DeleteRecordOp, RollBackAndReport)) return false;
            ++removed;
        }
        if (more) {
            if (!moveCount(id, -static_cast<long long>(removed)) || !commit()) return false;
            continue;
        }
        if (!HoldRec(Codes, nullptr, topicAt)) {
            rollbackTransaction();
            return false;
        }
        if (!UppDat(Codes, DeleteRecordOp, RollBackAndReport)) return false;
        return commit();
    }
}

bool topicAttached(ULONG topic, ULONG message) { return readAttachment(topic, message); }

std::vector<ULONG> topicsOf(ULONG message) {
    std::vector<ULONG> ids;
    SIndex.clear();
    SIN.MSGNUMBER = message;
    SIndex.setAt(SIN_MsgKey);
    while (SIndex.next() == StorageStatus::Ok && SIN.MSGNUMBER == message) ids.push_back(SIN.ID);
    return ids;
}

bool messageExists(ULONG message) {
    // The browse and its text pane read these buffers too: leave them as
    // they were.
    if (Mem.ForumType == TypeMail) {
        const MailRecord kept = MAI;
        Mail.clear();
        MAI.MAILID = message;
        const bool found = Mail.get(MAI_IdKey) == StorageStatus::Ok;
        MAI = kept;
        return found;
    }
    const MsgNmbrRecord kept = MSG;
    MsgNmbr.clear();
    MSG.MSGNUMBER = message;
    const bool found = MsgNmbr.get(MSG_IdKey) == StorageStatus::Ok;
    MSG = kept;
    return found;
}

TopicSetResult attachTopic(ULONG topic, const std::vector<ULONG>& messages) {
    return changeTopic(topic, messages, true);
}

TopicSetResult detachTopic(ULONG topic, const std::vector<ULONG>& messages) {
    return changeTopic(topic, messages, false);
}

bool toggleTopic(ULONG topic, ULONG message, bool& ok) {
    const bool carried = topicAttached(topic, message);
    const TopicSetResult r = carried ? detachTopic(topic, {message}) : attachTopic(topic, {message});
    ok = r.ok && r.changed == 1;
    return ok ? !carried : carried;
}

long recountTopics() {
    if (!begin()) return -1;
    struct Seen {
        RecordPosition at;
        ULONG id;
        ULONG count;
    };
    std::vector<Seen> topics;
    Codes.clear();
    COD.TYPE = CodeTypeTopic;
    Codes.setAt(COD_ClassKey);
    while (Codes.next() == StorageStatus::Ok && COD.TYPE == CodeTypeTopic)
        topics.push_back({Codes.position(), COD.ID, COD.COUNT});
    for (const Seen& t : topics) {
        SIndex.clear();
        SIN.ID = t.id;
        const std::int64_t n = SIndex.rangeCount(SIN_IdKey, 1);
        if (n < 0) {
            rollbackTransaction();
            message(SIndex.displayName(), SIndex.lastError().text, Icon::Exclamation);
            return -1;
        }
        if (static_cast<ULONG>(n) == t.count) continue;
        if (Codes.getAt(t.at) != StorageStatus::Ok) continue;
        COD.COUNT = static_cast<ULONG>(n);
        if (!UppDat(Codes, UpdateRecord, RollBackAndReport)) return -1;
    }
    return commit() ? static_cast<long>(topics.size()) : -1;
}

}  // namespace pm
