#include "sets/message_sets.h"

#include <cstring>

#include "browse/browse_tables.h"
#include "browse/browse_views.h"
#include "common/globals.h"
#include "tables/records/message_tables.h"

namespace pm {

namespace {

struct ScopeName {
    SetScope scope;
    const char* name;
};
constexpr ScopeName kScopeNames[] = {
    {SetScope::Sender, "from"},  {SetScope::Receiver, "to"}, {SetScope::Thread, "thread"},
    {SetScope::Section, "section"}, {SetScope::Date, "date"}, {SetScope::Word, "word"},
    {SetScope::Topic, "topic"}, {SetScope::Search, "search"},
};

// The range of the records whose first `parts` parts of `key` equal those
// of the record in `table`'s buffer.
KeyRange sameKeyAs(Table& table, const KeyDef& key, std::size_t parts) {
    const std::string read(static_cast<const char*>(table.record()), table.def().recordSize);
    table.clear();
    auto* bytes = static_cast<char*>(table.record());
    for (std::size_t i = 0; i < parts; ++i) {
        const FieldDef& f = table.def().fields[static_cast<std::size_t>(key.parts[i].field)];
        std::memcpy(bytes + f.offset, read.data() + f.offset, f.totalWidth());
    }
    return KeyRange::fromBuffer(table, key, parts);
}

// The sets drawn from the current message's own fields.
std::optional<KeyRange> currentMessageRange(SetScope scope, const SetOrigin& origin, std::string& error) {
    const bool mail = Mem.ForumType == TypeMail;
    Table& headers = mail ? Mail : MsgNmbr;
    if (!readMessageHeader(Mem.ForumType, origin.current)) {
        error = (mail ? "Mail " : "Message ") + std::to_string(origin.current) + " does not exist.";
        return std::nullopt;
    }
    switch (scope) {
        case SetScope::Sender: return sameKeyAs(headers, mail ? MAI_PairKey : MSG_FromKey, 2);
        case SetScope::Receiver: return sameKeyAs(headers, mail ? MAI_ToKey : MSG_ToKey, 2);
        case SetScope::Thread: return mail ? sameKeyAs(headers, MAI_SubjectKey, 1) : sameKeyAs(headers, MSG_Threadkey, 2);
        case SetScope::Section:
            if (mail) {
                error = "Mail databases have no sections.";
                return std::nullopt;
            }
            return sameKeyAs(headers, MSG_SECkey, 1);
        default: return sameKeyAs(headers, mail ? MAI_DateKey : MSG_DateKey, 0);
    }
}

}  // namespace

std::optional<SetScope> setScopeNamed(const std::string& name) {
    for (const ScopeName& s : kScopeNames)
        if (name == s.name) return s.scope;
    return std::nullopt;
}

const char* setScopeName(SetScope scope) {
    for (const ScopeName& s : kScopeNames)
        if (s.scope == scope) return s.name;
    return "current";
}

std::string setScopeCaption(SetScope scope, BYTE type) {
    const bool mail = type == TypeMail;
    switch (scope) {
        case SetScope::Sender: return mail ? "Mail partner" : "Sender";
        case SetScope::Receiver: return "Receiver";
        case SetScope::Thread: return mail ? "Subject" : "Thread";
        case SetScope::Section: return type == TypeNewsgroup ? "Newsgroup" : "Section";
        case SetScope::Date: return "All messages by date";
        case SetScope::Word: return "Key word";
        case SetScope::Topic: return "Topic";
        case SetScope::Search: return "Search result";
        default: return "Current message";
    }
}

bool setScopeOffered(SetScope scope, BYTE type) {
    if (scope == SetScope::Current || scope == SetScope::CurrentLayout) return false;
    return !(scope == SetScope::Section && type == TypeMail);
}

std::optional<KeyRange> setRange(SetScope scope, const SetOrigin& origin, std::string& error) {
    const bool mail = Mem.ForumType == TypeMail;
    BrowseContext c = zeroBrowseContext();
    MailBrowseContext m = zeroMailBrowseContext();
    switch (scope) {
        case SetScope::Word:
            if (origin.word == 0) {
                error = "No key word chosen.";
                return std::nullopt;
            }
            c.SORTORDER = ViewByKeyWord, m.SORTORDER = MailByKeyWord;
            c.XSINDEXID = m.XSINDEXID = origin.word;
            return mail ? mailViewRange(m) : messageViewRange(c);
        case SetScope::Topic:
            if (origin.topic == 0) {
                error = "No topic selected!";
                return std::nullopt;
            }
            c.SORTORDER = ViewByTopic, m.SORTORDER = MailByTopic;
            c.XTOPICSID = m.XTOPICSID = origin.topic;
            return mail ? mailViewRange(m) : messageViewRange(c);
        case SetScope::Search:
            c.SORTORDER = ViewBySearch, m.SORTORDER = MailBySearch;
            return mail ? mailViewRange(m) : messageViewRange(c);
        case SetScope::Current:
        case SetScope::CurrentLayout:
            error = "The current message is no set.";
            return std::nullopt;
        default: return currentMessageRange(scope, origin, error);
    }
}

bool MessageSetCursor::resume() {
    Table& t = *range_.table;
    if (!started_) {
        started_ = true;
        range_.primeEdge(false);
        t.setAt(*range_.key);
        return true;
    }
    // Continue after the last record read; when it has gone (the run
    // removed it), from its key values.
    t.setAtPosition(*range_.key, last_);
    if (t.next() == StorageStatus::Ok && t.position() == last_) return true;
    std::memcpy(t.record(), lastRecord_.data(), lastRecord_.size());
    t.setAt(*range_.key);
    return true;
}

bool MessageSetCursor::next(std::size_t count, std::vector<ULONG>& numbers) {
    numbers.clear();
    if (ended_) return true;
    Table& t = *range_.table;
    resume();
    while (numbers.size() < count) {
        const StorageStatus st = t.next();
        if (st != StorageStatus::Ok || !range_.holdsBuffer()) {
            ended_ = true;
            if (st != StorageStatus::Ok && st != StorageStatus::NotFound) {
                error_ = t.lastError().text;
                return false;
            }
            break;
        }
        if (t.position() == last_) continue;
        last_ = t.position();
        lastRecord_.assign(static_cast<const char*>(t.record()), t.def().recordSize);
        numbers.push_back(listedMessage(range_));
        ++read_;
    }
    return true;
}

long long MessageSetCursor::size() const {
    range_.prime();
    const std::int64_t n = range_.table->rangeCount(*range_.key, range_.equalParts);
    return n < 0 ? 0 : n;
}

}  // namespace pm
