#pragma once
// The sets of messages "related to the current" one: all messages of its
// sender, receiver, thread (mail: subject), section, all messages by date,
// those of the chosen key word or topic, or the last search result. A set
// is read a slice at a time along the key of its scope, so a long set never
// holds the program, and reading survives writes to the set between slices
// (a topic removed from the messages of that very topic).
#include <optional>
#include <string>
#include <vector>

#include "browse/paged_list.h"
#include "common/types.h"

namespace pm {

// The scopes of CopyMsg and the set operations.
enum class SetScope : BYTE {
    Current = 0,        // the current message, plain copy
    CurrentLayout = 1,  // the current message in the configured layout
    Sender = 2,         // mail: the partner
    Receiver = 3,
    Thread = 4,         // mail: the subject
    Section = 5,        // not for mail
    Date = 6,           // all messages, newest first
    Word = 7,           // the chosen indexed word
    Topic = 8,          // the chosen topic
    Search = 9,         // the last search result
};

// Command and window names of the set scopes ("from", "to", "thread",
// "section", "date", "word", "topic", "search"); nullopt for another name.
std::optional<SetScope> setScopeNamed(const std::string& name);
const char* setScopeName(SetScope scope);
// The choice as the window words it ("Sender", "Receiver", "Thread"
// (mail "Subject"), "Section", "Date", "Key word", "Topic", "Search result").
std::string setScopeCaption(SetScope scope, BYTE databaseType);
// Whether the scope is offered for the database type (no section for mail).
bool setScopeOffered(SetScope scope, BYTE databaseType);

// An optional date filter: messages dated before `from` or after `to` are
// passed over when `on`.
struct DateRange {
    bool on = false;
    LONG from = 0;
    LONG to = 0;
    bool holds(LONG date) const { return !on || (date >= from && date <= to); }
};

// What a set is taken from: the current message and the browse's chosen
// key word and topic.
struct SetOrigin {
    ULONG current = 0;  // MSG:MSGNUMBER or MAI:MAILID
    ULONG word = 0;     // WOR:WORDID of the chosen key word
    ULONG topic = 0;    // COD:ID of the chosen topic
};

// The key range of `scope` (2-9) around `origin` in the active database
// (the header tables open, and the word index, topic and search tables
// for those scopes). nullopt with `error` set when the current message does
// not exist, or the scope needs a word or topic that was not chosen, or
// does not apply to the database type.
std::optional<KeyRange> setRange(SetScope scope, const SetOrigin& origin, std::string& error);

// Reads the message numbers of a range in key order, a slice at a time.
class MessageSetCursor {
public:
    explicit MessageSetCursor(KeyRange range) : range_(std::move(range)) {}
    // Up to `count` next message numbers; fewer (possibly none) when the
    // range ends, which ended() then says. False after a storage error
    // (error() tells it).
    bool next(std::size_t count, std::vector<ULONG>& numbers);
    bool ended() const { return ended_; }
    const std::string& error() const { return error_; }
    // Message numbers handed out so far.
    long long read() const { return read_; }
    // The records in the range now (one count over the key's index).
    long long size() const;

private:
    bool resume();

    KeyRange range_;
    bool started_ = false;
    bool ended_ = false;
    RecordPosition last_ = 0;
    long long read_ = 0;
    std::string lastRecord_;
    std::string error_;
};

}  // namespace pm
