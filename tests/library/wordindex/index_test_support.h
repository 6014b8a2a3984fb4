#pragma once
// Messages written straight into the tables of the active database, and
// views of its word index, for the indexing and search tests.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "common/types.h"
#include "support/installation_fixture.h"
#include "wordindex/index_run.h"

namespace pm::test {

// Writes messages of one database type: MsgNmbr + Threads + MsgText for
// forums and newsgroups (one thread per heading), Mail + MsgText for mail.
// Numbers come from the identifier counter, so they rise.
class MessageWriter {
public:
    explicit MessageWriter(BYTE type);
    ~MessageWriter();

    ULONG add(const std::string& headingOrSubject, const std::string& text);
    // Only the text, no header record.
    ULONG addTextOnly(const std::string& text);
    void remove(ULONG number);

private:
    BYTE type_;
    std::map<std::string, ULONG> threads_;
};

// The word index as text: "WORD:count" per word in word order, and the
// message numbers of each word from MasIdx.
std::map<std::string, LONG> wordCounts();
std::map<std::string, LONG> wordIds();
std::map<std::string, std::set<ULONG>> wordMessages();
std::set<std::string> stopWords();
void addStopWord(const std::string& word);
// Takes `words` off the stop list (shared by the databases) where they stand.
void removeStopWords(const std::vector<std::string>& words);
// Marks words for deletion as the word list window does (PUR records).
void markForDeletion(const std::vector<std::string>& words);

// The catalog's word-index fields of database `id`.
struct CatalogIndexState {
    ULONG lastPosition = 0;
    ULONG indexedCount = 0;
    LONG needsUpdate = 0;
};
CatalogIndexState catalogState(ULONG id);

// Runs an indexing run to its end with a large batch.
IndexRun::State runIndex(ULONG id, BYTE type, int indexType, IndexRunOptions options = {});

// An installation with one database of the type under test.
class IndexTest : public InstallationTest {
protected:
    void SetUp() override;
    void useDatabase(BYTE type, const std::string& name = "Words");
    IndexRun::State index(int indexType = 2, IndexRunOptions options = {});

    ULONG db = 0;
    BYTE type = TypeForum;
};

}  // namespace pm::test
