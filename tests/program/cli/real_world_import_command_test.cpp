// pmoor32 import of the real-world samples (tests/data/real-world), and the
// commands around them: exact database names, copied, moved and repaired
// installations.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "support/command_runner.h"
#include "support/test_root.h"

namespace pm::test {
namespace {

namespace fs = std::filesystem;
using Result = CommandResult;

Result pmoor32(const std::string& root, std::vector<std::string> args) {
    args.insert(args.begin(), {"--root", root});
    return runCommand(std::move(args));
}

std::string sample(const std::string& name) { return std::string(POSTMOOR_TEST_DATA) + "/real-world/" + name; }

// The first column of every row a query over a store gives.
std::vector<std::string> queryColumn(const std::string& store, const std::string& sql) {
    sqlite3* db = nullptr;
    std::vector<std::string> values;
    if (sqlite3_open_v2(store.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK)
            while (sqlite3_step(statement) == SQLITE_ROW) {
                const unsigned char* text = sqlite3_column_text(statement, 0);
                values.emplace_back(text ? reinterpret_cast<const char*>(text) : "");
            }
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    return values;
}

// The first value a query gives; "" when there is none.
std::string queryStore(const std::string& store, const std::string& sql) {
    const std::vector<std::string> values = queryColumn(store, sql);
    return values.empty() ? std::string() : values.front();
}

// The rest of the line of `text` that begins with `label`.
std::string lineAfter(const std::string& text, const std::string& label) {
    const std::size_t at = text.find("\n" + label);
    if (at == std::string::npos) return {};
    const std::size_t start = at + 1 + label.size();
    return text.substr(start, text.find('\n', start) - start);
}

class RealWorldCommand : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(pmoor32(root.path(), {"init"}).code, 0);
        ASSERT_EQ(pmoor32(root.path(), {"db", "create", "mail", "Inbox", "--address", "me@home.example"}).code, 0);
    }
    Result importMail(const std::string& file) {
        return pmoor32(root.path(), {"import", "--format", "Generic Mail Type 2", "--mailbox", "Inbox", sample(file)});
    }
    // `show Inbox N` of the mail with this subject.
    Result showMail(const std::string& subject) {
        const std::string id = queryStore(root / "F1/postmoor.db",
                                          "SELECT MAILID FROM Mail WHERE trim(SUBJECT) = '" + subject + "'");
        return pmoor32(root.path(), {"show", "Inbox", id.empty() ? "0" : id});
    }
    TempDir root;
};

TEST_F(RealWorldCommand, EverySampleImportsWithNothingLostOrDoubled) {
    const struct {
        const char* file;
        const char* counters;
    } cases[] = {
        {"near-duplicates.mbox", "imported\t1\nskipped\t1\n"},   {"newsgroups-header.mbox", "imported\t2\nskipped\t0\n"},
        {"from-lines.mbox", "imported\t3\nskipped\t0\n"},        {"mboxrd.mbox", "imported\t2\nskipped\t0\n"},
        {"content-length.mbox", "imported\t3\nskipped\t0\n"},    {"empty-boundary.mbox", "imported\t2\nskipped\t0\n"},
        {"long-lines.mbox", "imported\t4\nskipped\t0\n"},        {"dates.mbox", "imported\t8\nskipped\t0\n"},
    };
    for (const auto& c : cases) {
        const Result r = importMail(c.file);
        EXPECT_EQ(r.code, 0) << c.file << r.err;
        EXPECT_EQ(r.out, c.counters) << c.file;
    }

    Result shown = showMail("Escaped lines");
    EXPECT_NE(shown.out.find("\nFrom the start it was clear.\n>From a quoted line.\n"), std::string::npos)
        << shown.out;
    shown = showMail("One long paragraph");
    EXPECT_NE(shown.out.find("word899\nThe end."), std::string::npos) << shown.out.substr(0, 400);
    shown = showMail("no date field");
    EXPECT_NE(shown.out.find("Date:     1997-03-06 09:10"), std::string::npos) << shown.out;
    shown = showMail("asctime");
    EXPECT_NE(shown.out.find("Date:     2006-02-01 19:06"), std::string::npos) << shown.out;
}

TEST_F(RealWorldCommand, CodePage850CaptureAndExactDatabaseNames) {
    // "Alpha" is a database of its own while "Alphabet" exists.
    ASSERT_EQ(pmoor32(root.path(), {"db", "create", "forum", "Alphabet"}).code, 0);
    ASSERT_EQ(pmoor32(root.path(), {"db", "create", "forum", "Alpha"}).code, 0);
    Result r = pmoor32(root.path(), {"import", "--format", "TAPCIS 6.x", "--target", "Alpha", sample("cp850.msg")});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "imported\t1\nskipped\t0\n");
    r = pmoor32(root.path(), {"show", "alpha", "200001"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("Subject:  Heating at 20 C\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Set it to 20 C.\nTotal === line, cedilla x, no break."), std::string::npos) << r.out;
    // A prefix of both is still ambiguous.
    EXPECT_EQ(pmoor32(root.path(), {"show", "Alph", "200001"}).code, 2);
}

TEST_F(RealWorldCommand, ARedirectTargetKeepsASectionPerNewsgroup) {
    ASSERT_EQ(pmoor32(root.path(), {"db", "create", "newsgroup", "comp.lang.c"}).code, 0);
    ASSERT_EQ(pmoor32(root.path(), {"db", "create", "newsgroup", "comp.lang.c.moderated"}).code, 0);
    const std::string catalog = root / "CFG/postmoor.db";
    const std::string target = queryStore(catalog, "SELECT ID FROM Forums WHERE trim(DESCRIPTION) = 'comp.lang.c'");
    ASSERT_FALSE(target.empty());
    queryStore(catalog, "UPDATE Forums SET REDIRNOW = " + target +
                            " WHERE trim(DESCRIPTION) = 'comp.lang.c.moderated'");
    const Result r = pmoor32(root.path(), {"import", "--format", "Unix News", sample("redirected.news")});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "imported\t3\nskipped\t0\n");
    // Subject and section of every stored article, as show prints them.
    std::map<std::string, std::string> sections;
    for (const std::string& number : queryColumn(root / "F2/postmoor.db", "SELECT MSGNUMBER FROM MsgNmbr")) {
        const std::string shown = pmoor32(root.path(), {"show", "comp.lang.c", number}).out;
        sections[lineAfter(shown, "Subject:  ")] = lineAfter(shown, "Section:  ");
    }
    EXPECT_EQ(sections, (std::map<std::string, std::string>{{"Own group", "comp.lang.c"},
                                                            {"Moderated first", "comp.lang.c.moderated"},
                                                            {"Moderated again", "comp.lang.c.moderated"}}));
}

TEST_F(RealWorldCommand, ACopiedInstallationWorksOnItsOwnFilesAndAMovedOneWhereItIs) {
    TempDir place;
    const std::string copy = place / "copy";
    fs::copy(root.path(), copy, fs::copy_options::recursive);
    ASSERT_EQ(pmoor32(copy, {"db", "create", "forum", "Only In The Copy"}).code, 0);
    EXPECT_TRUE(fs::is_directory(copy + "/F2"));
    EXPECT_FALSE(fs::exists(root / "F2"));
    EXPECT_EQ(pmoor32(copy, {"config", "get", "18"}).out, copy + "\n");
    EXPECT_EQ(pmoor32(copy, {"config", "get", "17"}).out, copy + "/TEMP\n");

    const std::string moved = place / "moved";
    fs::rename(copy, moved);
    const Result r = importMail("near-duplicates.mbox");
    EXPECT_EQ(r.code, 0) << r.err;
    const Result inMoved =
        pmoor32(moved, {"import", "--format", "Generic Mail Type 2", "--mailbox", "Inbox", sample("mboxo.mbox")});
    EXPECT_EQ(inMoved.code, 0) << inMoved.err;
    EXPECT_EQ(inMoved.out, "imported\t1\nskipped\t0\n");
    EXPECT_EQ(queryStore(moved + "/F1/postmoor.db", "SELECT count(*) FROM Mail"), "1");
    EXPECT_EQ(queryStore(root / "F1/postmoor.db", "SELECT count(*) FROM Mail"), "1");
}

TEST_F(RealWorldCommand, AMissingTopDirectoryIsNamedAndConfigSetRepairsIt) {
    TempDir elsewhere;
    const std::string databases = elsewhere / "databases";
    ASSERT_EQ(pmoor32(root.path(), {"config", "set", "18", databases}).code, 0);
    ASSERT_EQ(pmoor32(root.path(), {"db", "create", "forum", "Travel"}).code, 0);
    const std::string movedTo = elsewhere / "moved";
    fs::rename(databases, movedTo);

    Result r = pmoor32(root.path(), {"db", "list"});
    EXPECT_EQ(r.code, 4);  // an installation that cannot be used as it stands
    EXPECT_NE(r.err.find(databases), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("config set 18 PATH"), std::string::npos) << r.err;

    r = pmoor32(root.path(), {"config", "set", "18", movedTo});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(pmoor32(root.path(), {"config", "get", "18"}).out, movedTo + "\n");
    r = pmoor32(root.path(), {"import", "--format", "TAPCIS 6.x", "--target", "Travel", sample("cp850.msg")});
    EXPECT_EQ(r.out, "imported\t1\nskipped\t0\n") << r.err;
}

}  // namespace
}  // namespace pm::test
