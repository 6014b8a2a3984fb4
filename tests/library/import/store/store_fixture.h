#pragma once
// A database being filled by the message store, for the store's tests.
#include <string>
#include <vector>

#include "common/types.h"
#include "import/store/message_store.h"
#include "support/installation_fixture.h"
#include "support/message_builder.h"

namespace pm::test {

class StoreTest : public InstallationTest {
protected:
    static constexpr LONG ImportDate = 73000;
    static constexpr LONG ImportTime = 4200000;

    void TearDown() override;

    // Creates a forum or newsgroup database, makes it active, opens its
    // tables, begins the store and a transaction. Returns its id.
    ULONG openDatabase(BYTE type, const std::string& name, bool allowReimport = false);
    // The same for a new mail database owned by `address`.
    ULONG openMailDatabase(const std::string& name, const std::string& address,
                           const std::vector<std::string>& alternatives = {}, ULONG mailTopic = 0);
    // Starts another run on the active database: commits, then begins anew.
    void newRun(bool allowReimport);

    // A message for the active database; newsgroup messages carry the
    // database as their section, as the parser writes them.
    MessageBuilder message() const;
    // Stores a copy of the built record; `stored` holds it as the store left it.
    StoreOutcome store(const MessageBuilder& m);

    // Commits, runs every write-back step with a small quota and commits.
    void finishDatabase();
    void commit();

    // Reads back.
    bool header(ULONG number);        // MSG buffer
    bool mail(ULONG number);          // MAI buffer
    bool person(ULONG id);            // PER buffer
    bool thread(ULONG number);        // THR buffer
    std::string storedText(ULONG number);
    ULONG personIdOf(const std::string& name, const std::string& address);

    MessageStore ms;
    TableScope storeTables;
    WorkRecord stored;
    BYTE type = 0;
    ULONG database = 0;
    bool reimport = false;
    ULONG topic = 0;
};

}  // namespace pm::test
