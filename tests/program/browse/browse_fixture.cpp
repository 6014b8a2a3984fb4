#include "browse_fixture.h"

#include "common/globals.h"

namespace pm::test {

void BrowseTest::TearDown() {
    browse.reset();
    tables.reset();
    InstallationTest::TearDown();
}

void BrowseTest::openSample(BYTE type) {
    database = type == TypeMail ? makeSampleMail() : type == TypeNewsgroup ? makeSampleNewsgroup() : makeSampleForum();
    tables = std::make_unique<BrowseTables>(type);
}

BrowseSession& BrowseTest::session() {
    if (!browse) browse = std::make_unique<BrowseSession>("@D10-", "@T1");
    return *browse;
}

std::vector<ULONG> BrowseTest::ids() {
    std::vector<ULONG> out;
    for (std::int64_t i = 0; i < session().rows(); ++i) {
        const ListRow* r = session().row(i);
        out.push_back(r ? r->id : 0);
    }
    return out;
}

std::string BrowseTest::cells(std::int64_t ordinal) {
    const ListRow* r = session().row(ordinal);
    if (!r) return "<none>";
    std::string out;
    for (std::size_t i = 0; i < r->cells.size(); ++i) out += (i ? "|" : "") + r->cells[i];
    return out;
}

}  // namespace pm::test
