#pragma once
// A sample database (support/sample_databases.h) made active with the
// maintenance tables open, for the maintenance engine's tests.
#include <memory>

#include "maintenance/maintenance_tables.h"
#include "support/installation_fixture.h"
#include "support/sample_databases.h"

namespace pm::test {

class MaintenanceTest : public InstallationTest {
protected:
    void TearDown() override {
        tables.reset();
        InstallationTest::TearDown();
    }
    // Makes the sample database of `type` and opens the tables.
    void open(BYTE type) {
        if (type == TypeMail) makeSampleMail();
        else if (type == TypeNewsgroup) makeSampleNewsgroup();
        else makeSampleForum();
        tables = std::make_unique<MaintenanceTables>(type);
    }

    std::unique_ptr<MaintenanceTables> tables;
};

}  // namespace pm::test
