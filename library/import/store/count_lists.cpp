#include "import/store/count_lists.h"

#include <algorithm>
#include <new>

#include "tables/access/record_services.h"

namespace pm {

template <class Map, class Bump>
bool CountLists::add(Map& map, ULONG key, Bump bump) {
    if (discarded_) return false;
    try {
        auto it = map.find(key);
        if (it == map.end()) {
            if (beforeInsert) beforeInsert();
            it = map.emplace(key, typename Map::mapped_type{}).first;
        }
        bump(it->second);
        return true;
    } catch (const std::bad_alloc&) {
        discard();
        QError(7, ListError::OutOfMemory);
        return false;
    }
}

bool CountLists::addSent(ULONG person) {
    return add(persons_, person, [](PersonCount& c) { ++c.sent; });
}

bool CountLists::addReceived(ULONG person) {
    return add(persons_, person, [](PersonCount& c) { ++c.received; });
}

bool CountLists::addThread(ULONG thread) {
    return add(threads_, thread, [](ULONG& c) { ++c; });
}

bool CountLists::addSection(ULONG section) {
    return add(sections_, section, [](ULONG& c) { ++c; });
}

std::vector<std::pair<ULONG, CountLists::PersonCount>> CountLists::personsInOrder() const {
    std::vector<std::pair<ULONG, PersonCount>> ordered(persons_.begin(), persons_.end());
    std::sort(ordered.begin(), ordered.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    return ordered;
}

void CountLists::clear() {
    persons_.clear();
    threads_.clear();
    sections_.clear();
    discarded_ = false;
}

void CountLists::discard() {
    persons_.clear();
    threads_.clear();
    sections_.clear();
    discarded_ = true;
}

}  // namespace pm
