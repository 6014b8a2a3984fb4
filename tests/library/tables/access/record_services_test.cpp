// Record writes, holds and form saves: the messages they show, the
// transactions they roll back, and silence during unattended runs.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "common/globals.h"
#include "tables/access/file_functions.h"
#include "tables/access/open_close.h"
#include "tables/access/record_services.h"
#include "tables/records/all_tables.h"
#include "tables/records/table_path.h"
#include "support/installation_fixture.h"

namespace pm {
namespace {

using RecordServices = test::InstallationTest;

void addPerson(ULONG id, const char* text) {
    Person.clear();
    PER.PERSONID = id;
    PER.PERSONSTRING = text;
    ASSERT_TRUE(UppDat(Person, AddRecord, ReportOnly));
}

TEST_F(RecordServices, DuplicateKeysAreReportedOrSilentWhenUnattended) {
    makeDatabase(TypeForum, "Alpha");
    OP_CLOSE(OpenShared, {5});
    addPerson(1, "John Smith");
    Person.clear();
    PER.PERSONID = 2;
    PER.PERSONSTRING = "JOHN SMITH";  // the string key ignores case
    EXPECT_FALSE(UppDat(Person, AddRecord, ReportOnly));
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.last().caption, "Person in F1/postmoor.db");  // the table as a person finds it
    EXPECT_EQ(ui.last().text, "Record add error!\r\nA record with identical key already exists!");

    ui.clear();
    Mem.DoTask = TaskRunning;
    EXPECT_FALSE(UppDat(Person, AddRecord, ReportOnly));
    EXPECT_TRUE(ui.empty());
    Mem.DoTask = TaskIdle;
    OP_CLOSE(ReleaseTable, {5});
}

TEST_F(RecordServices, ModeEightRollsBackAcrossTheCatalogAndADatabase) {
    makeDatabase(TypeForum, "Alpha");
    OP_CLOSE(OpenShared, {2, 5});
    const auto catalogBefore = Forums.records();
    ASSERT_TRUE(beginTransactionChecked({&Forums, &Person}));
    addPerson(1, "first");
    Forums.clear();
    FOR.ID = 999;
    FOR.DIRNUMBER = 99;
    FOR.DESCRIPTION = "Beta";
    ASSERT_TRUE(UppDat(Forums, AddRecord, RollBackAndReport));
    Person.clear();
    PER.PERSONID = 1;  // duplicate identifier
    PER.PERSONSTRING = "second";
    EXPECT_FALSE(UppDat(Person, AddRecord, RollBackAndReport));
    EXPECT_FALSE(inTransaction());
    EXPECT_TRUE(ui.sawText("The last transaction is rolled back."));
    EXPECT_EQ(Person.records(), 0);
    EXPECT_EQ(Forums.records(), catalogBefore);
    OP_CLOSE(ReleaseTable, {2, 5});
}

TEST_F(RecordServices, HoldReportsDeletedRecords) {
    makeDatabase(TypeForum, "Alpha");
    OP_CLOSE(OpenShared, {5});
    addPerson(1, "John");
    RecordPosition pos = Person.position();
    Person.clear();
    PER.PERSONID = 1;
    EXPECT_TRUE(HoldRec(Person, &PER_PersonKey));
    EXPECT_EQ(PER.PERSONSTRING.str(), "John");
    Person.release();
    ASSERT_EQ(Person.erase(), StorageStatus::Ok);
    EXPECT_FALSE(HoldRec(Person, nullptr, pos));
    EXPECT_EQ(ui.last().caption, "Person in F1/postmoor.db");  // the table as a person finds it
    EXPECT_EQ(ui.last().text, "The record has been deleted by another user!\r\n" + std::string(19, ' ') +
                                  "Update is cancelled!");
    OP_CLOSE(ReleaseTable, {5});
}

TEST_F(RecordServices, SaveRecRefusesARecordChangedMeanwhile) {
    makeDatabase(TypeForum, "Alpha");
    OP_CLOSE(OpenShared, {5});
    addPerson(1, "John");
    RecordPosition pos = Person.position();
    PersonRecord kept;
    std::memcpy(&kept, &PER, sizeof kept);

    // Someone else changes the record after the form read it.
    PER.FROMCOUNT = 5;
    ASSERT_EQ(Person.put(), StorageStatus::Ok);

    std::memcpy(&PER, &kept, sizeof kept);
    PER.LASTNAME = "Smith";
    GlobalRequest = ChangeRecord;
    EXPECT_EQ(SaveRec(Person, &kept, pos), "");
    EXPECT_EQ(ui.last().caption, "Warning!");
    EXPECT_EQ(PER.FROMCOUNT, 5u);  // the form now shows the current record

    // Saved from the current record, the change goes through.
    std::memcpy(&kept, &PER, sizeof kept);
    PER.LASTNAME = "Smith";
    EXPECT_EQ(SaveRec(Person, &kept, pos), "OK");
    Person.clear();
    PER.PERSONID = 1;
    ASSERT_EQ(Person.get(PER_PersonKey), StorageStatus::Ok);
    EXPECT_EQ(PER.LASTNAME.str(), "Smith");
    GlobalRequest = 0;
    OP_CLOSE(ReleaseTable, {5});
}

TEST_F(RecordServices, FilesPatternsAndPaths) {
    makeDatabase(TypeForum, "Alpha");
    const std::string dir = Mem.FileDir + "/" + Mem.Dirnamn;
    EXPECT_TRUE(DOSFunc(DeleteOneFile, dir + "/nothing.txt"));  // missing counts as deleted
    EXPECT_TRUE(ui.empty());
    OP_CLOSE(OpenShared, {3, 4, 5});
    OP_CLOSE(ReleaseTable, {3, 4, 5});
    EXPECT_TRUE(DOSFunc(FileExists, dir + "/IDX00?.TPS"));
    EXPECT_EQ(matchingFiles(dir + "/*.TPS").size(), 3u);
    EXPECT_EQ(matchingFiles(dir + "/*.DAT").size(), 1u);  // the identity record
    EXPECT_TRUE(DOSFunc(DeleteMatchingFiles, dir + "/*.TPS"));
    EXPECT_TRUE(DOSFunc(DeleteMatchingFiles, dir + "/*.DAT"));
    EXPECT_TRUE(std::filesystem::is_empty(dir));  // the store went with its last table

    EXPECT_TRUE(ExistPath(CheckPathArgument, 0, "", dir, false));
    EXPECT_FALSE(ExistPath(CheckPathArgument, 0, "", "relative/path", false));
    EXPECT_FALSE(ExistPath(CreatePathArgument, 0, "extra", dir + "/new", false));
    EXPECT_EQ(ui.last().caption, " Path Not Found");
    EXPECT_TRUE(std::filesystem::is_directory(dir + "/new"));

    EXPECT_EQ(CheckSpace(1), 0u);
    Mem.DoTask = TaskRunning;
    EXPECT_GT(CheckSpace(~0ull), 0u);  // unattended: no question, the free bytes
    Mem.DoTask = TaskIdle;
    ui.answer(ButtonCancel);
    EXPECT_GT(CheckSpace(~0ull), 0u);
    EXPECT_EQ(ui.last().caption, "Warning");
}

TEST(Wildcards, MatchLikeFileNames) {
    EXPECT_TRUE(wildcardMatch("*.TPS", "idx003.tps"));
    EXPECT_TRUE(wildcardMatch("IDX0??.*", "IDX013.TPS"));
    EXPECT_TRUE(wildcardMatch("*.*", "README"));
    EXPECT_FALSE(wildcardMatch("*.TPS", "IDX022.DAT"));
    EXPECT_TRUE(wildcardMatch("*.K*", "x.K01"));
    EXPECT_FALSE(wildcardMatch("a?c", "ac"));
}

}  // namespace
}  // namespace pm
