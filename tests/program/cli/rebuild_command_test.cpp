// pmoor32 rebuild: a catalog that was deleted, emptied or edited by hand is
// made whole again from the database directories (name, type, owner and
// counts), directories copied in are attached, and what cannot be trusted
// is dropped or left alone, with its log.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/command_runner.h"
#include "support/sample_messages.h"
#include "support/store_query.h"
#include "support/test_root.h"

namespace pm::test {
namespace {

namespace fs = std::filesystem;

class RebuildCommand : public ::testing::Test {
protected:
    CommandResult pmoor32(std::vector<std::string> args) {
        args.insert(args.begin(), {"--root", root.path()});
        return runCommand(std::move(args));
    }
    // Three databases with messages: a forum, a newsgroup and a mail box.
    void SetUp() override {
        ASSERT_EQ(pmoor32({"init"}).code, 0);
        ASSERT_EQ(pmoor32({"db", "create", "forum", "CPMSIG"}).code, 0);
        ASSERT_EQ(pmoor32({"import", "--format", "TAPCIS 6.x", "--target", "CPMSIG",
                           std::string(POSTMOOR_TEST_DATA) + "/capture/tapcis6/forum.msg"})
                      .code,
                  0);
        writeNewsFile(root / "news.txt", "comp.lang.c", 1, 5);
        ASSERT_EQ(pmoor32({"import", "--format", "Unix News", root / "news.txt"}).code, 0);
        ASSERT_EQ(pmoor32({"db", "create", "mail", "My Mail", "--address", "me@home.example", "--alt", "me@work.example"})
                      .code,
                  0);
        writeMailbox(root / "in.mbox", 1, 7);
        ASSERT_EQ(pmoor32({"import", "--format", "Generic Mail Type 2", "--mailbox", "My Mail", root / "in.mbox"}).code,
                  0);
        before = catalog();
        ASSERT_EQ(before,
                  "CPMSIG\t1\tF1\t4\t0\t\t\n"
                  "comp.lang.c\t3\tF2\t5\t0\t\t\n"
                  "My Mail\t2\tF3\t7\t" + owner() + "\tme@home.example\tme@work.example\n");
    }
    std::string cfg() const { return root / "CFG/postmoor.db"; }
    // The catalog without identifiers, in directory order.
    std::string catalog() const {
        return storeRows(cfg(), "SELECT DESCRIPTION, TYPE, 'F' || DIRNUMBER, MSGCOUNT, PERSONID, MAILADDRESS, "
                                "ALTADDRESS_1 FROM Forums ORDER BY DIRNUMBER");
    }
    std::string owner() const { return storeValue(root / "F3/postmoor.db", "SELECT min(PERSONID) FROM Person"); }
    // The highest identifier in use anywhere.
    long long highestId() const {
        long long m = std::stoll(storeValue(cfg(), "SELECT max(ID) FROM Forums"));
        for (const char* dir : {"F1", "F2", "F3"}) {
            const std::string store = root / (std::string(dir) + "/postmoor.db");
            for (const char* sql : {"SELECT max(MSGNUMBER) FROM MsgText", "SELECT max(PERSONID) FROM Person"}) {
                const std::string v = storeValue(store, sql);
                if (!v.empty()) m = std::max(m, std::stoll(v));
            }
        }
        return m;
    }
    std::string log() const {
        std::ifstream in(root / "CFG/TestDB.Txt");
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    TempDir root;
    std::string before;
};

TEST_F(RebuildCommand, AConnectedCatalogStaysAsItIsAndTheCounterRisesAboveEveryIdentifier) {
    ASSERT_TRUE(storeExecute(cfg(), "UPDATE Control SET NEXTNUMBER = 250000 WHERE ID = 1"));
    const CommandResult r = pmoor32({"rebuild"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "next id\t" + std::to_string(highestId() + 1) + "\n");
    EXPECT_EQ(catalog(), before);
    const std::string text = log();
    EXPECT_NE(text.find(" Databases recorded in the IDX002.TPS file\r\n"), std::string::npos);
    EXPECT_NE(text.find("Forum      F1 CPMSIG\r\nOK .. testing Forum msg header file "), std::string::npos) << text;
    EXPECT_NE(text.find("Newsgroup  F2 comp.lang.c\r\n"), std::string::npos);
    EXPECT_NE(text.find("Mail       F3 My Mail\r\nOK .. testing mail header file "), std::string::npos);
    EXPECT_NE(text.find(" All databases are connected\r\n"), std::string::npos);
}

TEST_F(RebuildCommand, ADeletedOrTruncatedCatalogIsRestoredFromTheDirectories) {
    for (const char* damage : {"DROP TABLE Forums", "DELETE FROM Forums"}) {
        SCOPED_TRACE(damage);
        ASSERT_TRUE(storeExecute(cfg(), damage));
        const CommandResult r = pmoor32({"rebuild", "--report", root / "report.txt"});
        EXPECT_EQ(r.code, 0) << r.err;
        EXPECT_NE(r.out.find("attached\tF1\tCPMSIG\tForum\nattached\tF2\tcomp.lang.c\tNewsgroup\n"
                             "attached\tF3\tMy Mail\tMail\n"),
                  std::string::npos)
            << r.out;
        EXPECT_EQ(catalog(), before);
        EXPECT_EQ(storeValue(cfg(), "SELECT count(DISTINCT ID) FROM Forums"), "3");
        EXPECT_NE(r.out.find("next id\t" + std::to_string(highestId() + 1) + "\n"), std::string::npos);
        std::ifstream report(root / "report.txt");
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(report), std::istreambuf_iterator<char>()), log());
        EXPECT_NE(log().find(" Databases not recorded in the IDX002.TPS file"), std::string::npos);
    }
    // The databases work on: another import goes into the re-attached box.
    writeMailbox(root / "more.mbox", 8, 2);
    EXPECT_EQ(pmoor32({"import", "--format", "Generic Mail Type 2", "--mailbox", "My Mail", root / "more.mbox"}).out,
              "imported\t2\nskipped\t0\n");
}

TEST_F(RebuildCommand, ACatalogEditedByHandTakesNameTypeAndOwnerFromTheIdentityRecords) {
    ASSERT_TRUE(storeExecute(cfg(), "UPDATE Forums SET DESCRIPTION = 'Renamed', MSGCOUNT = 99 WHERE DIRNUMBER = 1;"
                                    "UPDATE Forums SET TYPE = 1 WHERE DIRNUMBER = 2;"
                                    "UPDATE Forums SET PERSONID = 12345, MAILADDRESS = 'x@y', ALTADDRESS_1 = '' "
                                    "WHERE DIRNUMBER = 3"));
    const CommandResult r = pmoor32({"rebuild"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("corrected\tF1\tCPMSIG\tname Renamed -> CPMSIG\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("corrected\tF2\tcomp.lang.c\ttype Forum -> Newsgroup\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("corrected\tF3\tMy Mail\towner 12345 -> " + owner() + "\n"), std::string::npos) << r.out;
    EXPECT_EQ(catalog(), before);
}

TEST_F(RebuildCommand, TwoDatabasesSwappingNamesInTheCatalogGetTheirOwnBack) {
    ASSERT_TRUE(storeExecute(cfg(), "UPDATE Forums SET DESCRIPTION = 'tmp' WHERE DIRNUMBER = 1;"
                                    "UPDATE Forums SET DESCRIPTION = 'CPMSIG' WHERE DIRNUMBER = 2;"
                                    "UPDATE Forums SET DESCRIPTION = 'comp.lang.c' WHERE DIRNUMBER = 1"));
    EXPECT_EQ(pmoor32({"rebuild"}).code, 0);
    EXPECT_EQ(catalog(), before);
}

TEST_F(RebuildCommand, AMissingDirectoryIsDroppedOnlyWhenThePersonSaysOK) {
    fs::remove_all(root / "F2");
    CommandResult r = pmoor32({"rebuild"});
    EXPECT_EQ(r.code, 3);
    EXPECT_NE(r.err.find("Directory path " + root.path() + "/F2 for database comp.lang.c does not exist!"),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("Program aborted!"), std::string::npos);
    EXPECT_EQ(catalog(), before);

    r = pmoor32({"--yes", "rebuild"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("dropped\tF2\tcomp.lang.c\tdirectory "), std::string::npos) << r.out;
    EXPECT_EQ(storeValue(cfg(), "SELECT group_concat(DESCRIPTION) FROM Forums"), "CPMSIG,My Mail");
}

TEST_F(RebuildCommand, DirectoriesCopiedInAreAttachedUnderTheirOwnOrAnUnknownName) {
    // A database copied in from another installation, under a directory
    // number of its own; a second copy carrying the same name; a copy
    // without identity record; one whose identity record says another type;
    // and one whose tables add up to no type at all.
    fs::copy(root / "F1", root / "F7", fs::copy_options::recursive);
    fs::copy(root / "F1", root / "f8", fs::copy_options::recursive);
    fs::copy(root / "F3", root / "F9", fs::copy_options::recursive);
    ASSERT_TRUE(storeExecute(root / "F9/postmoor.db", "DELETE FROM REF"));
    fs::copy(root / "F2", root / "F10", fs::copy_options::recursive);
    ASSERT_TRUE(storeExecute(root / "F10/postmoor.db", "UPDATE REF SET TYPE = 2, DESCRIPTION = 'Other'"));
    fs::copy(root / "F1", root / "F11", fs::copy_options::recursive);
    fs::copy(root / "F3/postmoor.db", root / "F11/mail.db");
    ASSERT_TRUE(storeExecute(root / "F11/postmoor.db", "ATTACH '" + root / "F11/mail.db" +
                                                           "' AS m; CREATE TABLE Mail AS SELECT * FROM m.Mail"));
    ASSERT_TRUE(storeExecute(cfg(), "UPDATE Control SET NEXTNUMBER = 250000 WHERE ID = 1"));

    const CommandResult r = pmoor32({"rebuild"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("attached\tF7\tUnknown:F7\tForum\n"
                         "attached\tF8\tUnknown:F8\tForum\n"
                         "attached\tF9\tUnknown:F9\tMail\n"
                         "attached\tF10\tUnknown:F10\tNewsgroup\n"
                         "not recognized\tF11\tCPMSIG\tnot a recognizable database\n"),
              std::string::npos)
        << r.out;
    EXPECT_TRUE(fs::is_directory(root / "F8"));
    EXPECT_EQ(storeRows(cfg(), "SELECT 'F' || DIRNUMBER, MSGCOUNT FROM Forums WHERE DIRNUMBER > 3 ORDER BY DIRNUMBER"),
              "F7\t4\nF8\t4\nF9\t7\nF10\t5\n");
    // Identifiers of the catalog stay unique, and the counter is above all of them.
    EXPECT_EQ(storeValue(cfg(), "SELECT count(DISTINCT ID) FROM Forums"), "7");
    EXPECT_NE(r.out.find("next id\t" + std::to_string(highestId() + 1)), std::string::npos) << r.out;
    // Every attached directory now carries an identity record that agrees.
    EXPECT_EQ(storeRows(root / "F9/postmoor.db", "SELECT TYPE, DESCRIPTION FROM REF"), "2\tUnknown:F9\n");
    const std::string text = log();
    EXPECT_NE(text.find("Invalid DB F11 CPMSIG\r\nError .. Database type not recognizable\r\n"
                        "\\IDX003.TPS exists\r\n\\IDX007.TPS exists\r\n\\IDX013.TPS exists\r\n"
                        "\\IDX025.TPS does not exist\r\n\\IDX005.TPS exists\r\n"
                        "This database may contains surplus files that do not belong there.\r\n"),
              std::string::npos)
        << text;
    EXPECT_NE(r.err.find("Database CPMSIG in directory F11 is not a recognizable current version Postmoor database."),
              std::string::npos);
}

TEST_F(RebuildCommand, ADirectoryHoldingOnlyItsOwnerIsAMailDatabase) {
    fs::create_directory(root / "F12");
    fs::copy(root / "F3/postmoor.db", root / "F12/postmoor.db");
    ASSERT_TRUE(storeExecute(root / "F12/postmoor.db",
                             "DROP TABLE Mail; DROP TABLE REF; DELETE FROM Person WHERE PERSONID <> "
                             "(SELECT min(PERSONID) FROM Person)"));
    const CommandResult r = pmoor32({"rebuild"});
    EXPECT_NE(r.out.find("attached\tF12\tUnknown:F12\tMail\n"), std::string::npos) << r.out << r.err;
}

TEST_F(RebuildCommand, ADatabaseWithoutMessagesKeepsItsPlaceAfterTheNextIdCheckOpenedItsTables) {
    ASSERT_EQ(pmoor32({"db", "create", "forum", "Empty"}).code, 0);
    ASSERT_EQ(pmoor32({"nextid-check"}).code, 0);
    ASSERT_TRUE(storeExecute(cfg(), "DELETE FROM Forums"));
    const CommandResult r = pmoor32({"rebuild"});
    EXPECT_NE(r.out.find("attached\tF4\tEmpty\tForum\n"), std::string::npos) << r.out << r.err;
}

TEST_F(RebuildCommand, AnEmptyTopDirectoryEndsTheRun) {
    for (const char* dir : {"F1", "F2", "F3"}) fs::remove_all(root / dir);
    const CommandResult r = pmoor32({"--yes", "rebuild"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("No database available at " + root.path() + "."), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("Rebuild process aborted."), std::string::npos) << r.err;
}

}  // namespace
}  // namespace pm::test
