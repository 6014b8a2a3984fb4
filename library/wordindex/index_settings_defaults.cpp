// Stand-in for the word-search settings service until the configuration
// services arrive: every item reads as its default, and writes are accepted
// and kept in memory for the run.
#include <map>
#include <string>

#include "tables/config/settings.h"

namespace pm {

namespace {

struct Items {
    std::string directory;
    std::map<int, BYTE> bytes{{49, 1}, {51, 0}, {52, 0}, {53, 1}, {54, 1}, {55, 1}, {56, 1}};
    LONG pause = 10000;
};

Items& items() {
    static Items values;
    return values;
}

}  // namespace

bool WSVars(int operation, int item, std::string* text, BYTE* byteValue, LONG* longValue) {
    Items& v = items();
    if (operation == 1 || operation == 4) return true;
    const bool set = operation == 2;
    if (operation != 2 && operation != 3) return false;
    if (item == 44) {
        if (!text) return false;
        if (set) v.directory = *text;
        else *text = v.directory;
        return true;
    }
    if (item == 50) {
        if (!longValue) return false;
        if (set) v.pause = *longValue;
        else *longValue = v.pause;
        return true;
    }
    auto it = v.bytes.find(item);
    if (it == v.bytes.end() || !byteValue) return false;
    if (set) it->second = *byteValue;
    else *byteValue = it->second;
    return true;
}

}  // namespace pm
