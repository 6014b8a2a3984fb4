// The open/close service: use counts, creation of missing tables, and every
// repair or fatal path of the open.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "common/fatal_error.h"
#include "common/globals.h"
#include "storage/table.h"
#include "tables/access/file_functions.h"
#include "tables/access/open_close.h"
#include "tables/records/all_tables.h"
#include "tables/records/table_path.h"
#include "support/installation_fixture.h"

namespace pm {
namespace {

using OpenClose = test::InstallationTest;

// Catches the FatalError of `body` and returns it.
template <typename F>
FatalError fatalOf(F body) {
    try {
        body();
    } catch (const FatalError& e) {
        return e;
    }
    ADD_FAILURE() << "no fatal error";
    return FatalError("", "");
}

TEST_F(OpenClose, CountedOpensNestAndMissingTablesAreCreated) {
    makeDatabase(TypeForum, "Alpha");
    EXPECT_FALSE(DOSFunc(FileExists, tableFileName(3)));
    OP_CLOSE(OpenShared, {3, 4});
    EXPECT_EQ(FileName, tableFileName(4));  // the name of the last open stays
    OP_CLOSE(OpenShared, {3});
    EXPECT_TRUE(MsgNmbr.isOpen());
    OP_CLOSE(ReleaseTable, {3});
    EXPECT_TRUE(MsgNmbr.isOpen());
    EXPECT_EQ(useCount(3), 1);
    OP_CLOSE(ReleaseTable, {3, 3, 4});  // a release below zero stays at zero
    EXPECT_FALSE(MsgNmbr.isOpen());
    EXPECT_EQ(useCount(3), 0);
    EXPECT_TRUE(ui.empty());  // created silently
    EXPECT_TRUE(DOSFunc(FileExists, tableFileName(3)));

    OP_CLOSE(OpenShared, {3});
    OP_CLOSE(ForceClose, {3});
    EXPECT_FALSE(MsgNmbr.isOpen());
    EXPECT_EQ(useCount(3), 0);
}

TEST_F(OpenClose, AScopeReleasesWhatItOpenedOnceAndOnlyOnce) {
    makeDatabase(TypeForum, "Alpha");
    OP_CLOSE(OpenShared, {&MsgNmbr});  // held by someone else meanwhile
    {
        TableScope scope({&MsgNmbr, &MsgText});
        EXPECT_EQ(useCount(MsgNmbr), 2);
        EXPECT_TRUE(MsgText.isOpen());
        TableScope moved = std::move(scope);
        EXPECT_FALSE(scope.holds());
        moved.release();
        moved.release();
        EXPECT_EQ(useCount(MsgNmbr), 1);
        EXPECT_FALSE(MsgText.isOpen());
        moved.open({&MsgText});
    }
    EXPECT_FALSE(MsgText.isOpen());
    EXPECT_EQ(useCount(MsgNmbr), 1);
    EXPECT_TRUE(MsgNmbr.isOpen());

    // A table that is not the registry's has no use count to keep.
    ForumsRecord record{};
    Table stray(ForumsDef(), &record);
    FatalError fatal = fatalOf([&] { OP_CLOSE(OpenShared, {&stray}); });
    EXPECT_EQ(fatal.caption(), "Program Failure!");
}

TEST_F(OpenClose, UnknownNumbersAndBlankNamesEndTheProgram) {
    FatalError unknown = fatalOf([] { OP_CLOSE(OpenShared, {14}); });
    EXPECT_EQ(unknown.caption(), "Program Failure!");
    EXPECT_EQ(unknown.haltText(), "Program Failure!");
    EXPECT_NE(unknown.text().find("File no 14 not defined!"), std::string::npos);
    EXPECT_NE(unknown.text().find("Postmoor will terminate!"), std::string::npos);

    // No active database: the per-database table has no name to open.
    Mem.Dirnamn.clear();
    FatalError blank = fatalOf([] { OP_CLOSE(OpenShared, {3}); });
    EXPECT_EQ(blank.caption(), "Invalid File Name Error");
}

TEST_F(OpenClose, AMissingDirectoryEndsTheProgramWithItsHaltText) {
    makeDatabase(TypeForum, "Alpha");
    std::filesystem::remove_all(Mem.FileDir + "/" + Mem.Dirnamn);
    FatalError e = fatalOf([] { OP_CLOSE(OpenShared, {3}); });
    EXPECT_EQ(e.caption(), "Path Not Found");
    EXPECT_EQ(e.haltText(), "Check your directory setup in Preferences and run File/Rebuild.");
    EXPECT_NE(e.text().find(Mem.Dirnamn + "/"), std::string::npos);
}

TEST_F(OpenClose, OutdatedLayoutsAreReplacedOnlyWhenNothingIsLost) {
    makeDatabase(TypeForum, "Alpha");
    // An older store of Search, Codes and MsgNmbr: same names, other columns.
    struct Old { ULONG X; };
    static const TableDef oldSearch = makeTableDef(32, "Search", "SEA", Location::Tmp, StorageClass::Keyed, 4, true,
                                                   {PM_FIELD(Old, X, ULong)}, {}, {{"K", Primary, {asc("X")}}});
    static const TableDef oldCodes = makeTableDef(1, "Codes", "COD", Location::Db, StorageClass::Keyed, 4, true,
                                                  {PM_FIELD(Old, X, ULong)}, {}, {{"K", Primary, {asc("X")}}});
    static const TableDef oldHeaders = makeTableDef(3, "MsgNmbr", "MSG", Location::Db, StorageClass::Keyed, 4, true,
                                                    {PM_FIELD(Old, X, ULong)}, {}, {{"K", Primary, {asc("X")}}});
    Old buffer{7};
    auto plant = [&](const TableDef& def, int number, bool withRecord) {
        Table t(def, &buffer);
        t.setFileName(tableFileName(number));
        ASSERT_EQ(t.create(), StorageStatus::Ok);
        if (withRecord) {
            ASSERT_EQ(t.open(), StorageStatus::Ok);
            ASSERT_EQ(t.add(), StorageStatus::Ok);
            t.close();
        }
    };
    plant(oldSearch, 32, true);
    OP_CLOSE(OpenShared, {32});  // replaced silently, even with records
    EXPECT_EQ(Search.records(), 0);
    OP_CLOSE(ReleaseTable, {32});

    plant(oldCodes, 1, false);
    OP_CLOSE(OpenShared, {1});  // empty: replaced
    OP_CLOSE(ReleaseTable, {1});
    plant(oldCodes, 1, true);
    FatalError codes = fatalOf([] { OP_CLOSE(OpenShared, {1}); });
    EXPECT_EQ(codes.caption(), " File Open Error - Invalid record declaration");

    plant(oldHeaders, 3, false);
    FatalError headers = fatalOf([] { OP_CLOSE(OpenShared, {3}); });
    EXPECT_EQ(headers.caption(), " File Open Error - Invalid record declaration");
    EXPECT_TRUE(ui.empty());
}

TEST_F(OpenClose, DamagedKeysAreRebuiltWithAMessageUnlessUnattended) {
    makeDatabase(TypeForum, "Alpha");
    OP_CLOSE(OpenShared, {5});
    Person.clear();
    PER.PERSONID = 1;
    PER.PERSONSTRING = "someone";
    ASSERT_EQ(Person.append(), StorageStatus::Ok);  // leaves the keys to be built
    OP_CLOSE(ReleaseTable, {5});
    OP_CLOSE(OpenShared, {5});
    EXPECT_TRUE(ui.sawCaption("File Open Error - Bad keys"));
    Person.clear();
    PER.PERSONID = 1;
    EXPECT_EQ(Person.get(PER_PersonKey), StorageStatus::Ok);
    OP_CLOSE(ReleaseTable, {5});
}

TEST_F(OpenClose, CheckModeFlagsAnOutdatedLayoutWithoutRepairingIt) {
    makeDatabase(TypeForum, "Alpha");
    struct Old { ULONG X; };
    static const TableDef oldThreads = makeTableDef(7, "Threads", "THR", Location::Db, StorageClass::Keyed, 4, true,
                                                    {PM_FIELD(Old, X, ULong)}, {}, {{"K", Primary, {asc("X")}}});
    Old buffer{};
    Table t(oldThreads, &buffer);
    t.setFileName(tableFileName(7));
    ASSERT_EQ(t.create(), StorageStatus::Ok);
    OP_CLOSE(CheckTable, {6});
    EXPECT_EQ(IndexingInProgress, 0);
    OP_CLOSE(CheckTable, {7});
    EXPECT_EQ(IndexingInProgress, 1);
    EXPECT_FALSE(Threads.isOpen());
}

TEST_F(OpenClose, StoresThatCannotBeUsedEndTheProgram) {
    makeDatabase(TypeForum, "Alpha");
    const std::string store = Mem.FileDir + "/" + Mem.Dirnamn + "/postmoor.db";
    closeAllTables();
    closeStorage();

    // Not a database at all: any other error, with its number.
    std::filesystem::remove(store);
    { std::FILE* f = std::fopen(store.c_str(), "wb"); std::fputs(std::string(4096, 'x').c_str(), f); std::fclose(f); }
    FatalError garbage = fatalOf([] { OP_CLOSE(OpenShared, {3}); });
    EXPECT_EQ(garbage.caption(), "File Open Error");
    EXPECT_NE(garbage.text().find("Error no "), std::string::npos);

    // A store that cannot be opened or created.
    closeStorage();
    std::filesystem::remove(store);
    std::filesystem::create_directory(store);
    FatalError denied = fatalOf([] { OP_CLOSE(OpenShared, {3}); });
    EXPECT_EQ(denied.caption(), " File Open Error - Access denied");
    EXPECT_EQ(denied.haltText(), "Check your network access rights or the possible need for SHARE or VSHARE");
}

TEST_F(OpenClose, KeysThatCannotBeRebuiltEndTheProgram) {
    makeDatabase(TypeForum, "Alpha");
    OP_CLOSE(OpenShared, {5});
    for (int i = 0; i < 2; ++i) {
        Person.clear();
        PER.PERSONID = 7;  // the same identifier twice: the unique key cannot be built
        PER.PERSONSTRING = "p" + std::to_string(i);
        ASSERT_EQ(Person.append(), StorageStatus::Ok);
    }
    OP_CLOSE(ReleaseTable, {5});
    FatalError e = fatalOf([] { OP_CLOSE(OpenShared, {5}); });
    EXPECT_EQ(e.caption(), "File Rebuild Error");
    EXPECT_TRUE(ui.sawCaption("File Open Error - Bad keys"));
}

TEST_F(OpenClose, EmptyPackAndDelete) {
    makeDatabase(TypeForum, "Alpha");
    OP_CLOSE(OpenShared, {5});
    for (ULONG i = 1; i <= 3; ++i) {
        Person.clear();
        PER.PERSONID = i;
        PER.PERSONSTRING = "p" + std::to_string(i);
        ASSERT_EQ(Person.add(), StorageStatus::Ok);
    }
    OP_CLOSE(EmptyTable, {5});
    EXPECT_FALSE(Person.isOpen());
    EXPECT_EQ(useCount(5), 0);
    OP_CLOSE(OpenShared, {5});
    EXPECT_EQ(Person.records(), 0);
    OP_CLOSE(PackTable, {5});
    EXPECT_TRUE(OP_CLOSE(DeleteTableFile, {5}));
    EXPECT_FALSE(DOSFunc(FileExists, tableFileName(5)));
    EXPECT_TRUE(OP_CLOSE(DeleteTableFile, {5}));  // deleting a missing file succeeds
    EXPECT_TRUE(ui.empty());
}

}  // namespace
}  // namespace pm
