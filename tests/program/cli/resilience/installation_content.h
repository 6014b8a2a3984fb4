#pragma once
// What an installation holds, as text without identifiers, so that two
// installations that went different ways (killed and run again, a full
// disk and a re-run) can be compared with one that went straight.
#include <string>
#include <vector>

namespace pm::test {

// The store file of `directory` ("CFG", "F1" ...) below `root`.
std::string storeOf(const std::string& root, const std::string& directory);

// The catalog entries with their counts.
std::string catalogContent(const std::string& root);

// The mail database in `directory` ("F1" ...): headers with their people
// and texts, persons with counts, carbon copies.
std::string mailContent(const std::string& root, const std::string& directory);

// The catalog; the mail database F1 (headers with their people and texts,
// persons with counts, carbon copies); the newsgroup databases F2 and F3
// when they exist (articles with references, threads and sections, with
// their counts, persons).
std::string importedContent(const std::string& root);

// The word index of F1: words with counts, the occurrence list's size, the
// catalog's indexing checkpoint.
std::string wordIndexContent(const std::string& root);

// Every store below `root` passes SQLite's integrity check (a test failure
// names the ones that do not).
void expectStoresWhole(const std::string& root);

// Every text column value of every store below `root` that is not valid
// UTF-8, as "DIR TABLE.COLUMN: value".
std::vector<std::string> textsNotUtf8(const std::string& root);

// The number printed after "NAME\t" in a command's output; -1 when absent.
int printedCount(const std::string& out, const std::string& name);

}  // namespace pm::test
