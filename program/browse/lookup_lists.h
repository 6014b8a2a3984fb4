#pragma once
// The look-up lists from which a browse's narrowing value is chosen:
// threads, sections, persons, indexed words and topics, each a range of its
// table with the texts of its rows. The row's id is what the choice sets
// in the context (thread number, section id, person id, word id, topic id).
#include <string>
#include <vector>

#include "browse/paged_list.h"
#include "common/types.h"

namespace pm {

enum class LookupKind { Threads, Sections, Persons, PersonsByAddress, Words, Topics };

struct LookupList {
    KeyRange range;
    RowReader reader;
    std::vector<std::string> headings;  // one per cell
};

// The list of `kind` over the active database's tables (which must be open;
// the word list lives in the word-index directory).
LookupList lookupList(LookupKind kind);

// The title of the persons list: " Forum Members [", " Mail Partners [" or
// " Newsgroup Participants [" by database type, the count and "]".
std::string personsListTitle(BYTE databaseType, std::int64_t count);
inline constexpr const char* WordsListTitle = " List of Indexed Words";

// Reads the record the chosen row stands for into its buffer (THR, SEC,
// PER, WOR or COD); false when it has gone.
bool readLookupChoice(LookupKind kind, ULONG id);

}  // namespace pm
