// The Next ID check: the counter ends one above the highest identifier in
// use, wherever that is; the catalog records get their counts and dates.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "common/dates.h"
#include "common/globals.h"
#include "tables/access/open_close.h"
#include "tables/catalog/active_database.h"
#include "tables/catalog/database_creation.h"
#include "tables/config/settings.h"
#include "tables/identifiers/next_id_check.h"
#include "tables/identifiers/next_number.h"
#include "tables/records/all_tables.h"
#include "support/installation_fixture.h"
#include "support/store_query.h"

namespace pm {
namespace {

class NextIdCheckTest : public test::InstallationTest {
protected:
    // A mail database (the catalog service creates only forums and newsgroups).
    ULONG makeMailDatabase(const std::string& name) {
        OP_CLOSE(OpenShared, {2, 8});
        EXPECT_TRUE(prepareCatalogRecord(TypeMail, name));
        EXPECT_EQ(Forums.add(), StorageStatus::Ok);
        const ULONG id = FOR.ID;
        std::filesystem::create_directory(root / ("F" + std::to_string(FOR.DIRNUMBER)));
        OP_CLOSE(ReleaseTable, {2, 8});
        EXPECT_TRUE(activateDatabase(id));
        return id;
    }

    // Runs `fill` with the active database's tables open.
    static void inActive(const std::function<void()>& fill) {
        OP_CLOSE(OpenShared, {1, 3, 4, 5, 6, 7, 25});
        fill();
        OP_CLOSE(ReleaseTable, {1, 3, 4, 5, 6, 7, 25});
    }

    static void addText(ULONG number, LONG date) {
        MsgText.clear();
        TXT.MSGNUMBER = number;
        TXT.DATE = date;
        TXT.MsgText = "text";
        ASSERT_EQ(MsgText.add(), StorageStatus::Ok);
    }
    static void addPerson(ULONG id) {
        Person.clear();
        PER.PERSONID = id;
        PER.PERSONSTRING = "person " + std::to_string(id);
        ASSERT_EQ(Person.add(), StorageStatus::Ok);
    }
    static void addCode(ULONG id, const std::string& topic) {
        Codes.clear();
        COD.TYPE = 1;
        COD.INDEX = topic;
        COD.ID = id;
        ASSERT_EQ(Codes.add(), StorageStatus::Ok);
    }
    static void addThread(ULONG id) {
        Threads.clear();
        THR.THREADNUMBER = id;
        THR.HEADING = "heading";
        ASSERT_EQ(Threads.add(), StorageStatus::Ok);
    }
    static void addSection(ULONG id) {
        Sections.clear();
        SEC.SECSYSID = id;
        ASSERT_EQ(Sections.add(), StorageStatus::Ok);
    }
    static void addHeader(ULONG id) {
        MsgNmbr.clear();
        MSG.MSGNUMBER = id;
        ASSERT_EQ(MsgNmbr.add(), StorageStatus::Ok);
    }
    static void addMessageId(ULONG id) {
        MsgString.clear();
        MST.IDSTRING = "<" + std::to_string(id) + "@example.org>";
        MST.MSGNUMBER = id;
        ASSERT_EQ(MsgString.add(), StorageStatus::Ok);
    }

    static ULONG storedCounter() {
        OP_CLOSE(OpenShared, {8});
        Control.clear();
        CTL.ID = 1;
        const ULONG n = Control.get(CTL_IdKey) == StorageStatus::Ok ? CTL.NEXTNUMBER : 0;
        OP_CLOSE(ReleaseTable, {8});
        return n;
    }

    static void deleteCounterRecord() {
        OP_CLOSE(OpenShared, {8});
        Control.clear();
        CTL.ID = 1;
        ASSERT_EQ(Control.get(CTL_IdKey), StorageStatus::Ok);
        ASSERT_EQ(Control.erase(), StorageStatus::Ok);
        OP_CLOSE(ReleaseTable, {8});
    }

    static ForumsRecord catalogRecord(ULONG id) {
        OP_CLOSE(OpenShared, {2});
        Forums.clear();
        FOR.ID = id;
        EXPECT_EQ(Forums.get(FOR_ForumKey), StorageStatus::Ok) << id;
        ForumsRecord r = FOR;
        OP_CLOSE(ReleaseTable, {2});
        return r;
    }

    static void setCatalogStatus(ULONG id, BYTE status) {
        OP_CLOSE(OpenShared, {2});
        Forums.clear();
        FOR.ID = id;
        ASSERT_EQ(Forums.get(FOR_ForumKey), StorageStatus::Ok);
        FOR.DUMMY = status;
        ASSERT_EQ(Forums.put(), StorageStatus::Ok);
        OP_CLOSE(ReleaseTable, {2});
    }

    static ULONG nextIdentifier() {
        OP_CLOSE(OpenShared, {8});
        const ULONG n = NextNr();
        OP_CLOSE(ReleaseTable, {8});
        return n;
    }
};

constexpr LONG k20May1995 = 71000;

TEST_F(NextIdCheckTest, TheCounterEndsOneAboveTheHighestIdentifierWhereverItIs) {
    struct Case {
        const char* where;
        std::function<void(ULONG)> place;  // puts the identifier somewhere, the database open
        BYTE type;
    };
    const Case cases[] = {
        {"mail text", [](ULONG id) { addText(id, k20May1995); }, TypeMail},
        {"mail person", [](ULONG id) { addPerson(id); }, TypeMail},
        {"mail topic", [](ULONG id) { addCode(id, "late topic"); }, TypeMail},
        {"forum person", [](ULONG id) { addPerson(id); }, TypeForum},
        {"forum topic", [](ULONG id) { addCode(id, "late topic"); }, TypeForum},
        {"forum thread", [](ULONG id) { addThread(id); }, TypeForum},
        {"forum section", [](ULONG id) { addSection(id); }, TypeForum},
        {"newsgroup header", [](ULONG id) { addHeader(id); }, TypeNewsgroup},
        {"newsgroup message id", [](ULONG id) { addMessageId(id); }, TypeNewsgroup},
        {"newsgroup thread", [](ULONG id) { addThread(id); }, TypeNewsgroup},
        {"newsgroup section", [](ULONG id) { addSection(id); }, TypeNewsgroup},
    };
    int n = 0;
    ULONG lastDatabase = 0;
    for (const Case& c : cases) {
        ++n;
        // Each case's database takes its identifier from the counter the
        // previous case left, so the identifiers placed keep rising above it.
        const ULONG high = 900000 + 1000 * static_cast<ULONG>(n);
        const std::string name = std::string(c.where) + " " + std::to_string(n);
        lastDatabase = c.type == TypeMail ? makeMailDatabase(name) : makeDatabase(c.type, name);
        inActive([&] {
            addText(260000 + n, k20May1995);  // a text, so the database counts
            addPerson(270000 + n);
            addCode(280000 + n, "topic");
            c.place(high);
        });
        deleteCounterRecord();
        EXPECT_EQ(runNextIdCheck(), high + 1) << c.where;
        EXPECT_EQ(storedCounter(), high + 1) << c.where;
        EXPECT_EQ(nextIdentifier(), high + 1) << c.where;
        // Out of the way for the next case: a database without texts counts for nothing.
        inActive([] {
            MsgText.setPhysical();
            while (MsgText.next() == StorageStatus::Ok) ASSERT_EQ(MsgText.erase(), StorageStatus::Ok);
        });
    }
    // With no texts anywhere, the highest database identifier decides.
    EXPECT_EQ(runNextIdCheck(), lastDatabase + 1);
}

TEST_F(NextIdCheckTest, TasksProceduresAndDatabaseIdentifiersCountToo) {
    makeDatabase(TypeForum, "Forum");
    OP_CLOSE(OpenShared, {26, 34});
    TASFile.clear();
    TAS.ID = 777000;
    ASSERT_EQ(TASFile.add(), StorageStatus::Ok);
    BATFile.clear();
    BAT.ID = 555000;
    ASSERT_EQ(BATFile.add(), StorageStatus::Ok);
    OP_CLOSE(ReleaseTable, {26, 34});
    deleteCounterRecord();
    EXPECT_EQ(runNextIdCheck(), 777001u);

    OP_CLOSE(OpenShared, {26});
    TASFile.clear();
    TAS.ID = 777000;
    ASSERT_EQ(TASFile.get(TAS_IDKEY), StorageStatus::Ok);
    ASSERT_EQ(TASFile.erase(), StorageStatus::Ok);
    OP_CLOSE(ReleaseTable, {26});
    EXPECT_EQ(runNextIdCheck(), 555001u);
    EXPECT_EQ(nextIdentifier(), 555001u);
}

TEST_F(NextIdCheckTest, ADatabaseWithoutTextsContributesNeitherIdentifiersNorDates) {
    TestClock clock({dayNumber(2024, 6, 1), 0});
    ScopedClock scoped(clock);
    const ULONG empty = makeDatabase(TypeForum, "Empty");
    inActive([] {
        addPerson(990000);
        addThread(990001);
    });
    const ULONG full = makeDatabase(TypeForum, "Full");
    inActive([] {
        addText(300000, dayNumber(2020, 1, 1));
        addPerson(300001);
    });
    EXPECT_EQ(runNextIdCheck(), 300002u);
    EXPECT_EQ(catalogRecord(empty).MSGCOUNT, 0u);
    EXPECT_EQ(catalogRecord(empty).LOWDATE, 0);
    EXPECT_EQ(catalogRecord(full).MSGCOUNT, 1u);
    EXPECT_EQ(configValue(5), dayNumber(2020, 1, 1));
}

TEST_F(NextIdCheckTest, TheEarliestDateIsTheFirstTextAfter19May1995) {
    TestClock clock({dayNumber(2024, 6, 1), 0});
    ScopedClock scoped(clock);
    ASSERT_EQ(dayNumber(1995, 5, 19), 70999);
    const ULONG old = makeDatabase(TypeForum, "Only old");
    inActive([] {
        addText(300000, 70999);
        addText(300001, 12);
    });
    const ULONG mixed = makeDatabase(TypeNewsgroup, "Mixed");
    inActive([] {
        addText(300002, 70999);
        addText(300003, k20May1995);       // the first later one decides ...
        addText(300004, k20May1995 - 500); // ... though this one comes after it
        addText(300005, k20May1995 + 1);
    });
    // A database created before the earliest text keeps its creation date.
    const ULONG younger = makeDatabase(TypeForum, "Young texts");
    inActive([] { addText(300006, dayNumber(2024, 7, 1)); });

    OP_CLOSE(OpenShared, {2});
    Forums.clear();
    FOR.ID = old;
    ASSERT_EQ(Forums.get(FOR_ForumKey), StorageStatus::Ok);
    FOR.CREATED = 0;  // set to today by the check
    ASSERT_EQ(Forums.put(), StorageStatus::Ok);
    OP_CLOSE(ReleaseTable, {2});

    ASSERT_NE(runNextIdCheck(), 0u);
    EXPECT_EQ(catalogRecord(old).CREATED, dayNumber(2024, 6, 1));
    EXPECT_EQ(catalogRecord(old).LOWDATE, dayNumber(2024, 6, 1));
    EXPECT_EQ(catalogRecord(mixed).CREATED, k20May1995);
    EXPECT_EQ(catalogRecord(mixed).LOWDATE, k20May1995);
    EXPECT_EQ(catalogRecord(mixed).MSGCOUNT, 4u);
    EXPECT_EQ(catalogRecord(younger).LOWDATE, dayNumber(2024, 6, 1));
    EXPECT_EQ(configValue(5), k20May1995);
    // Stored with the general settings.
    ASSERT_TRUE(Konfig(LoadGeneral));
    EXPECT_EQ(configValue(5), k20May1995);
}

TEST_F(NextIdCheckTest, TheDateScanCarriesOnAcrossSlices) {
    TestClock clock({dayNumber(2024, 6, 1), 0});
    ScopedClock scoped(clock);
    const ULONG id = makeDatabase(TypeForum, "Long history");
    inActive([] {
        ASSERT_EQ(beginTransaction({&MsgText}), StorageStatus::Ok);
        for (ULONG n = 1; n <= 4500; ++n) addText(n, 60000);
        addText(4501, dayNumber(1999, 9, 9));
        ASSERT_EQ(commitTransaction(), StorageStatus::Ok);
    });
    NextIdCheck check;
    int steps = 0;
    while (check.step() == JobStatus::Running) ++steps;
    EXPECT_GE(steps, 5);  // begin, the database, three slices of texts, the end
    EXPECT_EQ(catalogRecord(id).LOWDATE, dayNumber(1999, 9, 9));
    EXPECT_EQ(catalogRecord(id).MSGCOUNT, 4501u);
}

TEST_F(NextIdCheckTest, DatabasesMarkedDeleteLeaveTheCatalogAndTheirIdentifierDoesNotCount) {
    const ULONG kept = makeDatabase(TypeForum, "Kept");
    inActive([] {
        addText(12345, k20May1995);  // a forum's texts carry the service's own message numbers
        addPerson(250500);
    });
    const ULONG dropped = makeDatabase(TypeForum, "Dropped");  // the highest FOR:ID
    setCatalogStatus(dropped, StatusDelete);
    EXPECT_EQ(runNextIdCheck(), 250501u);
    OP_CLOSE(OpenShared, {2});
    EXPECT_EQ(Forums.records(), 1);
    OP_CLOSE(ReleaseTable, {2});
    EXPECT_EQ(catalogRecord(kept).ID, kept);
}

TEST_F(NextIdCheckTest, StepsReportProgressRestoreTheActiveDatabaseAndCancelWritesNothing) {
    makeDatabase(TypeForum, "One");
    inActive([] {
        addText(950000, k20May1995);  // a forum message number is the service's, not ours
        addPerson(400000);
    });
    const ULONG active = makeDatabase(TypeNewsgroup, "Two");
    const ULONG before = storedCounter();

    {
        NextIdCheck check;
        EXPECT_EQ(check.step(), JobStatus::Running);
        EXPECT_EQ(check.report().title, " Next ID check");
        EXPECT_EQ(check.report().lines.at(1), "Checking for highest existing ID ...");
        EXPECT_TRUE(check.requestStop(StopRequest::Ask));
        EXPECT_EQ(check.step(), JobStatus::Stopped);
        EXPECT_EQ(check.status(), JobStatus::Stopped);
    }
    EXPECT_EQ(storedCounter(), before);
    EXPECT_EQ(useCount(2), 0);
    EXPECT_EQ(Mem.ForumNumber, active);

    OP_CLOSE(OpenShared, {5});  // the active database's persons, left open
    NextIdCheck check;
    int steps = 0;
    JobStatus result;
    while ((result = check.step()) == JobStatus::Running) ++steps;
    ASSERT_EQ(result, JobStatus::Done);
    EXPECT_GE(steps, 3);
    EXPECT_EQ(check.databasesChecked(), 2);
    EXPECT_EQ(check.report().lines.at(1), "Checking for highest existing ID ...OK!");
    EXPECT_EQ(check.nextNumber(), 400001u);
    EXPECT_EQ(Mem.ForumNumber, active);
    EXPECT_EQ(Mem.Dirnamn, "F2");
    for (int table : {1, 2, 3, 4, 5, 6, 7, 8, 25, 26, 34}) EXPECT_EQ(useCount(table), 0) << table;
    EXPECT_TRUE(ui.empty());
}


// Lowering the counter beside another process's import could hand out the
// identifiers that import has reserved but not yet stored: a check on its
// own waits for the installation's writing turn and writes nothing meanwhile.
TEST_F(NextIdCheckTest, ACheckOnItsOwnWaitsForTheWritingTurnOfAnotherProcess) {
    makeDatabase(TypeForum, "One");
    inActive([] {
        addText(950000, k20May1995);
        addPerson(400000);
    });
    const ULONG before = storedCounter();
    const std::string cfg = Mem.Net + "/CFG/postmoor.db";
    ASSERT_TRUE(test::storeExecute(cfg, "CREATE TABLE IF NOT EXISTS _pm_locks (tbl TEXT NOT NULL, rec INTEGER NOT NULL, "
                                  "owner TEXT NOT NULL, PRIMARY KEY (tbl, rec))"));
    ASSERT_TRUE(test::storeExecute(cfg, "INSERT INTO _pm_locks VALUES ('lock:import', -1, 'elsewhere:1')"));

    NextIdCheck check;
    for (int i = 0; i < 3; ++i) ASSERT_EQ(check.step(), JobStatus::Running);
    EXPECT_EQ(check.report().lines.at(1), "Waiting for the import, merge, purge or rebuild of elsewhere:1 to finish");
    EXPECT_EQ(check.databasesChecked(), 0);
    EXPECT_EQ(storedCounter(), before);

    ASSERT_TRUE(test::storeExecute(cfg, "DELETE FROM _pm_locks WHERE tbl = 'lock:import'"));
    ASSERT_EQ(runToEnd(check), JobStatus::Done);
    EXPECT_EQ(check.nextNumber(), 400001u);
    // The turn went back with the end of the check: the next one takes it at once.
    EXPECT_EQ(test::storeValue(cfg, "SELECT count(*) FROM _pm_locks WHERE tbl = 'lock:import'"), "0");
    EXPECT_EQ(runNextIdCheck(), 400001u);
    EXPECT_TRUE(ui.empty());
}
}  // namespace
}  // namespace pm
