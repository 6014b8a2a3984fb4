#pragma once
// The message counts an import collects per person, thread and section of
// one database, written back once per key when the database is finished.
#include <functional>
#include <map>
#include <unordered_map>
#include <utility>
#include <vector>

#include "common/types.h"

namespace pm {

class CountLists {
public:
    struct PersonCount {
        ULONG sent = 0;
        ULONG received = 0;
    };

    // Each adds one to its counter, inserting the key when absent. When
    // memory runs out the queue error is reported, all three lists are
    // discarded and every later add is ignored; returns false then.
    bool addSent(ULONG person);
    bool addReceived(ULONG person);
    bool addThread(ULONG thread);
    bool addSection(ULONG section);

    // Empties the lists and forgets an earlier discard (a new database).
    void clear();
    // Drops the lists so that nothing is written back (a failed run).
    void discard();
    // Whether the lists were discarded: their write-back must be skipped.
    bool discarded() const { return discarded_; }

    // The persons' counts by person, in no order (a person is counted for
    // nearly every message: a look-up in a tree cost more than the rest
    // of the count).
    const std::unordered_map<ULONG, PersonCount>& persons() const { return persons_; }
    // The same in the order of the persons' identifiers.
    std::vector<std::pair<ULONG, PersonCount>> personsInOrder() const;
    const std::map<ULONG, ULONG>& threads() const { return threads_; }
    const std::map<ULONG, ULONG>& sections() const { return sections_; }

    // Called before every insertion of a new key; it may throw
    // std::bad_alloc (tests use it to simulate memory running out).
    std::function<void()> beforeInsert;

private:
    template <class Map, class Bump>
    bool add(Map& map, ULONG key, Bump bump);

    std::unordered_map<ULONG, PersonCount> persons_;
    std::map<ULONG, ULONG> threads_;
    std::map<ULONG, ULONG> sections_;
    bool discarded_ = false;
};

}  // namespace pm
