#pragma once
// A whole word search in one call, as command mode and the benchmark run
// it: every typed word must occur (or any of them), the NOT words must not,
// all found with the same match options. The steps are those of the
// professional search; questions go to the user interface.
#include <string>
#include <vector>

#include "common/types.h"
#include "wordindex/search_words.h"

namespace pm {

struct WordQuery {
    std::vector<std::string> words;     // as typed; "?" and "*" are wildcards
    std::vector<std::string> notWords;  // messages holding any of their matches are left out
    bool any = false;                   // one of the words is enough
    SearchWordOptions options;
};

struct WordQueryResult {
    enum Status {
        Found,         // messages found
        NoMatches,     // searched, nothing matched (reported)
        Refused,       // the input was refused (reported)
        Ambiguous,     // all-words mode and two or more words matched several index words
        Failed,        // a table could not be read (reported)
    };
    Status status = Failed;
    std::vector<ULONG> messages;       // newest first
    std::vector<std::string> hitWords; // in word order
    bool morePending = false;          // the search paused with more to search
    // For Ambiguous: each typed word with the number of index words it matched.
    std::vector<std::pair<std::string, std::size_t>> matchesPerWord;
};

// Runs the query on the active database of type `databaseType`. Opens and
// releases the tables it reads.
WordQueryResult runWordQuery(const WordQuery& query, BYTE databaseType);

}  // namespace pm
