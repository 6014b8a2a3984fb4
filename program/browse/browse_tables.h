#pragma once
// The tables a browse of the active database reads, opened for as long as
// the object lives: the catalog, the headers, texts, persons, sections,
// threads (forum and newsgroup) or mails, topics and their attachments,
// the last search result and, when the database has a word index, its word
// list and occurrences.
#include <vector>

#include "common/types.h"

namespace pm {

class Table;

class BrowseTables {
public:
    // What is opened: everything a browse window reads, or the catalog, the
    // headers and what they name (persons, threads, sections) only.
    enum class Scope { Browse, Headers };

    // Opens the tables for a database of `type` shared (a table
    // that cannot be opened or repaired ends the program).
    explicit BrowseTables(BYTE type, Scope scope = Scope::Browse);
    ~BrowseTables();
    BrowseTables(const BrowseTables&) = delete;
    BrowseTables& operator=(const BrowseTables&) = delete;

    // Whether the word list and occurrences are open (the database was
    // word indexed).
    bool wordIndex() const { return wordIndex_; }
    // Opens `table` too, for as long as the object lives.
    void add(Table& table);
    // Opens the word list and occurrences when the database has them (the
    // Browse scope does so at once); returns wordIndex().
    bool addWordIndex();

private:
    std::vector<int> numbers_;
    bool wordIndex_ = false;
};

// Reads the header of message `number` of a database of `type` into its
// buffer (MAI for mail, MSG otherwise); false when it is not stored.
bool readMessageHeader(BYTE type, ULONG number);

}  // namespace pm
