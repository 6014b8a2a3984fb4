// Creating mail databases, and the commands of command mode that reach the
// store: db create mail and addresses.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/command_line.h"
#include "common/globals.h"
#include "support/command_runner.h"
#include "support/installation_fixture.h"
#include "tables/access/open_close.h"
#include "tables/catalog/active_database.h"
#include "tables/catalog/mail_database.h"
#include "tables/persons/person_store.h"
#include "tables/records/all_tables.h"

namespace pm {
namespace {

using MailDatabase = test::InstallationTest;

ULONG catalogRecords() {
    OP_CLOSE(OpenShared, {2});
    const ULONG n = static_cast<ULONG>(Forums.records());
    OP_CLOSE(ReleaseTable, {2});
    return n;
}

TEST_F(MailDatabase, IsCreatedWithItsOwnerAndAddressesAndLeavesTheActiveDatabaseAlone) {
    makeDatabase(TypeForum, "A Forum");
    std::vector<std::string> alternatives;
    for (int i = 1; i <= 11; ++i) alternatives.push_back("Alt" + std::to_string(i) + "@Example.ORG");
    const ULONG id = createMailDatabase("Inbox", "Me@Home.ORG", alternatives);
    ASSERT_NE(id, 0u);
    EXPECT_TRUE(ui.empty());
    EXPECT_EQ(Mem.Dirnamn, "F1");
    EXPECT_EQ(useCount(5), 0);

    ASSERT_TRUE(activateDatabase(id));
    EXPECT_EQ(Mem.Dirnamn, "F2");
    EXPECT_EQ(Mem.ForumType, TypeMail);
    OP_CLOSE(OpenShared, {2, 5, 22});
    Forums.clear();
    FOR.ID = id;
    ASSERT_EQ(Forums.get(FOR_ForumKey), StorageStatus::Ok);
    EXPECT_EQ(FOR.MAILADDRESS.str(), "me@home.org");
    EXPECT_EQ(FOR.ALTADDRESS[0].str(), "alt1@example.org");
    EXPECT_EQ(FOR.ALTADDRESS[9].str(), "alt10@example.org");  // the eleventh is dropped
    EXPECT_EQ(FOR.MSGCOUNT, 0u);
    EXPECT_EQ(FOR.DUMMY, 0);
    EXPECT_EQ(FOR.WORDLISTINDEXNEEDSUPDATE, 1);
    EXPECT_EQ(Mem.PersonID, FOR.PERSONID);

    Person.clear();
    PER.PERSONID = FOR.PERSONID;
    ASSERT_EQ(Person.get(PER_PersonKey), StorageStatus::Ok);
    EXPECT_EQ(PER.PERSONSTRING.str(), "INBOX ME@HOME.ORG");
    EXPECT_EQ(Person.records(), 1);
    REFFile.setPhysical();
    ASSERT_EQ(REFFile.next(), StorageStatus::Ok);
    EXPECT_EQ(REF.TYPE, TypeMail);
    EXPECT_EQ(static_cast<ULONG>(REF.PERSONID), FOR.PERSONID);
    EXPECT_EQ(REF.MAILADDRESS.str(), "me@home.org");
    EXPECT_EQ(REF.ALTADDRESS[9].str(), "alt10@example.org");
    OP_CLOSE(ReleaseTable, {2, 5, 22});
}

TEST_F(MailDatabase, AFailureLeavesNoCatalogRecordNoDirectoryAndNoUsedIdentifier) {
    makeDatabase(TypeForum, "Taken");
    const ULONG before = catalogRecords();
    EXPECT_EQ(createMailDatabase("TAKEN", "me@home.org", {}), 0u);  // the name key ignores case
    EXPECT_TRUE(ui.sawText("The last transaction is rolled back."));
    EXPECT_EQ(catalogRecords(), before);
    EXPECT_FALSE(std::filesystem::exists(root / "F2"));
    EXPECT_EQ(Mem.Dirnamn, "F1");
    // The identifiers taken inside the transaction were given back.
    const ULONG next = createMailDatabase("Inbox", "me@home.org", {});
    EXPECT_EQ(next, 250001u);
    EXPECT_TRUE(std::filesystem::exists(root / "F2"));
}

TEST_F(MailDatabase, IsRefusedWhileAPersonTableIsOpen) {
    makeDatabase(TypeForum, "A Forum");
    OP_CLOSE(OpenShared, {5});
    EXPECT_EQ(createMailDatabase("Inbox", "me@home.org", {}), 0u);
    EXPECT_FALSE(ui.empty());
    OP_CLOSE(ReleaseTable, {5});
    EXPECT_EQ(catalogRecords(), 1u);
}

// Runs pmoor32 in this process on the test's installation.
using CommandRun = test::CommandResult;

CommandRun pmoor(const std::string& root, std::vector<std::string> args) {
    args.insert(args.begin(), {"--root", root});
    return test::runCommand(std::move(args));
}

TEST_F(MailDatabase, CommandsCreateMailDatabasesAndWriteAddressBooks) {
    const std::string r = root.path();
    const struct {
        std::vector<std::string> args;
        int code;
    } usage[] = {
        {{"db", "create", "mail", "Inbox"}, 2},
        {{"db", "create", "mail", "--address", "a@b"}, 2},
        {{"db", "create", "mail", "Inbox", "--address", "a@b", "--alt", "1", "--alt", "2", "--alt", "3", "--alt",
          "4", "--alt", "5", "--alt", "6", "--alt", "7", "--alt", "8", "--alt", "9", "--alt", "10", "--alt", "11"},
         2},
        {{"addresses", "Inbox"}, 2},
        {{"addresses", "Nothing", "1"}, 2},
    };
    for (const auto& u : usage) EXPECT_EQ(pmoor(r, u.args).code, u.code) << u.args.back();

    CommandRun created = pmoor(r, {"db", "create", "mail", "Inbox", "--address", "Me@Home.org", "--alt", "me@work.org"});
    EXPECT_EQ(created.code, 0);
    EXPECT_EQ(created.out, "250000\tInbox\tF1\n");
    EXPECT_EQ(pmoor(r, {"addresses", "Inbox", "5"}).code, 2);

    CommandRun book = pmoor(r, {"addresses", "Inb", "2", "owner.txt"});
    EXPECT_EQ(book.code, 0);
    EXPECT_EQ(book.out, r + "/TEMP/owner.txt\n");
    std::ifstream in(r + "/TEMP/owner.txt", std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    EXPECT_EQ(content.str(), "alias Inbox me@home.org\r\n");

    EXPECT_EQ(pmoor(r, {"db", "create", "forum", "Empty"}).code, 0);
    EXPECT_EQ(pmoor(r, {"addresses", "Empty", "1"}).code, 1);  // no persons, no book
}

}  // namespace
}  // namespace pm
