#include "support/installation_fixture.h"

#include "common/globals.h"
#include "storage/table.h"
#include "tables/access/open_close.h"
#include "tables/catalog/active_database.h"
#include "tables/catalog/database_creation.h"
#include "tables/config/installation.h"

namespace pm::test {

void InstallationTest::SetUp() {
    previous_ = setUserInterface(&ui);
    Mem = MemGlobals{};
    IndexingInProgress = 0;
    ASSERT_NE(runStartupSettings(root.path(), nullptr), StartupOutcome::Aborted);
}

void InstallationTest::TearDown() {
    closeAllTables();
    closeStorage();
    Mem = MemGlobals{};
    setUserInterface(previous_);
}

ULONG InstallationTest::makeDatabase(BYTE type, const std::string& name) {
    OP_CLOSE(OpenShared, {2, 8});
    ULONG id = createDatabase(type, name);
    OP_CLOSE(ReleaseTable, {2, 8});
    EXPECT_NE(id, 0u) << name;
    EXPECT_TRUE(activateDatabase(id));
    return id;
}

}  // namespace pm::test
