#pragma once
// The tables a professional search reads, and where its result goes.
#include <vector>

#include "common/types.h"
#include "tables/access/open_close.h"

namespace pm {

// Opens, for its lifetime, the word list, the occurrences, the stop words
// and the message tables of the active database.
class SearchTables {
public:
    SearchTables() = default;
    ~SearchTables();
    SearchTables(const SearchTables&) = delete;
    SearchTables& operator=(const SearchTables&) = delete;

    // False after "Open File Error" (no word list: the database was never
    // indexed) or "Search Not Available" (no occurrence file). Without
    // `withMessages` the message tables stay closed until openMessages():
    // only a phrase check and a search of NOT words alone read them.
    bool open(BYTE databaseType, bool withMessages = true);
    void openMessages(BYTE databaseType);
    void close();

private:
    TableScope words_;
    TableScope messages_;
};

// Stores the found messages as the search result set (the Search table), in
// the order given (newest first): the table is emptied, the messages are
// appended in one transaction and its keys built under a file lock. A
// failed append rolls back and stops the appending (false). A key build that
// fails other than on a duplicate ends the program with the storage's words.
bool storeSearchResult(const std::vector<ULONG>& messages);

}  // namespace pm
