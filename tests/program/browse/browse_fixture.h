#pragma once
// A sample database (support/sample_databases.h) made active with the
// browse's tables open, for the browse engine's tests.
#include <memory>
#include <string>
#include <vector>

#include "browse/browse_session.h"
#include "browse/browse_tables.h"
#include "support/installation_fixture.h"
#include "support/sample_databases.h"

namespace pm::test {

class BrowseTest : public InstallationTest {
protected:
    void TearDown() override;

    // Makes the sample database of `type` and opens the browse tables.
    void openSample(BYTE type);
    // A session on it, dates as yyyy-mm-dd, times as hh:mm.
    BrowseSession& session();

    // The ids of every row of the session's list, in order.
    std::vector<ULONG> ids();
    // The cells of row `ordinal`, joined with "|".
    std::string cells(std::int64_t ordinal);

    ULONG database = 0;
    std::unique_ptr<BrowseTables> tables;
    std::unique_ptr<BrowseSession> browse;
};

}  // namespace pm::test
