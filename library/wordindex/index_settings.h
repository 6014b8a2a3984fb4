#pragma once
// The word-index settings the indexer and the search read (items 49-55 of
// the word-search settings, kept by WSVars).
#include <optional>

#include "common/types.h"

namespace pm {

struct IndexSettings {
    BYTE indexNumbers = 1;       // 49 (kept; the word breaker does not consult it)
    LONG searchPause = 10000;    // 50: occurrences a search scans before it asks to go on
    BYTE forumFooters = 0;       // 51: index the footers of forum messages
    BYTE newsgroupFooters = 0;   // 52: index the footers of newsgroup messages
    BYTE forumAutoStop = 1;      // 53: automatic stop words in forum databases
    BYTE newsgroupAutoStop = 1;  // 54: ... in newsgroup databases
    BYTE mailAutoStop = 1;       // 55: ... in mail databases

    // The automatic stop-word flag of a database type.
    BYTE autoStopWords(BYTE databaseType) const;
    // The index-footers flag of a database type; mail texts are always whole
    // (their headers are cut instead), so mail gives 1.
    BYTE indexFooters(BYTE databaseType) const;
};

// Reads items 49-55 from the loaded settings. Empty when any of them can not
// be read.
std::optional<IndexSettings> loadIndexSettings();

// The search pause (item 50), 10000 when it can not be read; never below 1.
LONG searchPauseSetting();

}  // namespace pm
