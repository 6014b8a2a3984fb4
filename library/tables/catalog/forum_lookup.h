#pragma once
// Finding a database by a typed name (ForumLup), the engine part: the
// selection list itself is a window of the frame.
#include <string>

#include "common/types.h"
#include "tables/records/config_tables.h"

namespace pm {

struct ForumLookup {
    enum Outcome {
        Chosen,    // exactly one database matched: id, name and type are set
        ShowList,  // the selection list must open, positioned on `listStart`
    };
    Outcome outcome = ShowList;
    ULONG id = 0;
    std::string name;
    BYTE type = 0;
    std::string listStart;  // the name the list opens on (or near)
    bool ambiguous = false; // two or more names begin with the typed text
    ForumsRecord record{};  // Chosen: the database's catalog record
};

// Looks `typed` up as a prefix of database names, without regard to case;
// a name equal to `typed` is taken even when longer names begin with it.
// mode 1 restricts the search to databases of `type` (1 forum, 2 mail);
// any other mode allows every type. With `showList` set a single match still
// opens the list on it, and an empty name opens the list. Opens and releases
// the catalog itself.
ForumLookup ForumLup(const std::string& typed, int mode, BYTE type, bool showList);

}  // namespace pm
