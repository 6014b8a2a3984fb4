#pragma once
// Topics: labels the person defines per database and attaches to messages.
//
// A topic is a Codes record of type CodeTypeTopic (name in COD:INDEX, id in
// COD:ID, the number of messages carrying it in COD:COUNT, when it last
// changed in COD:DATE/TIME). An attachment is one SIndex record (topic id,
// message): MSG:MSGNUMBER in forum and newsgroup databases, MAI:MAILID in
// mail databases. Topic names are unique per database, compared without
// regard to letter case (the ClassKey is unique); the same name in two
// databases names two topics.
//
// Everything here works on the active database (Mem.ForumType tells which
// kind of message a number names) and needs its Codes and SIndex open, and
// MsgNmbr or Mail for the checks that a message exists (BrowseTables in
// its Browse scope opens them all). Every write runs in a transaction with the 5-second lock
// wait, committed after at most TopicBatchWrites attachment writes, with the
// topic's count brought along in the same commit, so the count always
// matches the attachments a commit leaves. A failed write is reported,
// rolled back and returns failure; what earlier commits wrote stays.
#include <string>
#include <vector>

#include "common/types.h"

namespace pm {

// Attachment writes committed together.
inline constexpr std::size_t TopicBatchWrites = 400;

// Longest topic name, in bytes (COD:INDEX).
inline constexpr std::size_t TopicNameBytes = 40;

struct Topic {
    ULONG id = 0;
    std::string name;  // without trailing blanks
    ULONG count = 0;   // COD:COUNT as stored
    LONG date = 0;     // last change: day number and time
    LONG time = 0;
};

// Every topic of the active database in list order (name, caseless).
std::vector<Topic> listTopics();
// The topic with id `id`; false when there is none.
bool findTopic(ULONG id, Topic& out);
// The topic named `name` (caseless, trailing blanks ignored); false when
// there is none.
bool findTopicNamed(const std::string& name, Topic& out);

// Adds topic `name` (cut to TopicNameBytes without splitting a character).
// Returns its new id; 0 after reporting when the name is empty, taken by
// another topic, or the identifier or the write fails.
ULONG addTopic(const std::string& name);
// Gives topic `id` the name `name` (cut as above). False after reporting
// when the topic is gone, the name is empty or taken, or the write fails.
bool renameTopic(ULONG id, const std::string& name);
// Deletes topic `id` with all its attachments: the attachments go first,
// a batch per commit (the count following them), the topic record with the
// last batch, so an interrupted delete leaves a consistent topic with fewer
// messages, never attachments without a topic. False after reporting when
// the topic is gone or a write fails.
bool deleteTopic(ULONG id);

// Whether message `message` carries topic `topic`.
bool topicAttached(ULONG topic, ULONG message);
// The ids of the topics message `message` carries, in SIN:MsgKey order.
std::vector<ULONG> topicsOf(ULONG message);
// Whether the active database holds message (mail) `message`.
bool messageExists(ULONG message);

// What a change of topic on a set of messages did.
struct TopicSetResult {
    bool ok = true;               // false: the topic is gone or a write failed (reported)
    ULONG changed = 0;            // attachments added or removed
    ULONG unchanged = 0;          // already carried (attach) or not carried (detach)
    std::vector<ULONG> missing;   // numbers the database holds no message for
};

// Attaches topic `topic` to each of `messages` that exists and does not
// carry it yet (a number given twice counts once); the topic's count grows
// by the attachments added.
TopicSetResult attachTopic(ULONG topic, const std::vector<ULONG>& messages);
// Removes topic `topic` from each of `messages` that carries it; the count
// shrinks by the attachments removed. Numbers of messages that no longer
// exist but still carry the topic are removed too.
TopicSetResult detachTopic(ULONG topic, const std::vector<ULONG>& messages);

// The double click of the Attach Topics window: removes the topic from the
// message when it carries it, else attaches it. Returns whether the
// message carries the topic afterwards; `ok` is false after reporting when
// nothing could be changed.
bool toggleTopic(ULONG topic, ULONG message, bool& ok);

// Brings every topic's count in line with its attachments, in one
// transaction that holds the database for the whole pass. Returns the
// number of topics; -1 after reporting when it could not be done.
long recountTopics();

}  // namespace pm
