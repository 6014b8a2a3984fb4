// Command mode around the word index: which databases an index run without
// a name takes, the search output formats and errors, the stop words and
// the deletion marks that the next run applies.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>

#include "support/command_runner.h"
#include "support/json_reader.h"
#include "support/test_root.h"

namespace pm::test {
namespace {

constexpr const char* kSecondMail =
    "From carol@example.net Wed Mar  5 09:00:00 1997\n"
    "From: Carol Smith <carol@example.net>\n"
    "To: me@home.example\n"
    "Subject: Zeppelin tickets\n"
    "Date: Wed, 5 Mar 1997 09:00:00 +0000\n"
    "Message-ID: <z1@example.net>\n"
    "\n"
    "The zeppelin leaves at noon.\n"
    "\n";

class SearchCommands : public ::testing::Test {
protected:
    CommandResult run(std::vector<std::string> args) {
        args.insert(args.begin(), {"--root", root.path()});
        return runCommand(std::move(args));
    }
    void SetUp() override {
        ASSERT_EQ(run({"init"}).code, 0);
        ASSERT_EQ(run({"db", "create", "mail", "My Mail", "--address", "me@home.example"}).code, 0);
    }
    void importFile(const std::string& path) {
        CommandResult imported = run({"import", "--format", "generic mail type 2", "--mailbox", "My", path});
        ASSERT_EQ(imported.code, 0) << imported.err;
    }
    void importFirst() { importFile(std::string(POSTMOOR_TEST_DATA) + "/generic-mail-2/inbox.mbox"); }
    TempDir root;
};

TEST_F(SearchCommands, IndexWithoutNameTakesEveryDatabaseThatReceivedMessages) {
    importFirst();
    ASSERT_EQ(run({"index"}).code, 0);
    EXPECT_EQ(run({"index"}).out, "No database needs word indexing.\n");

    // New mail into a database that is already indexed: it needs indexing
    // again, and a run over the marked databases makes it searchable.
    const std::string second = root / "second.mbox";
    std::ofstream(second) << kSecondMail;
    importFile(second);
    CommandResult indexed = run({"index"});
    ASSERT_EQ(indexed.code, 0) << indexed.err;
    EXPECT_NE(indexed.out.find("My Mail: indexed (partial run) - 1 message indexed"), std::string::npos)
        << indexed.out;
    EXPECT_EQ(run({"search", "My Mail", "zeppelin"}).code, 0);
    EXPECT_EQ(run({"index"}).out, "No database needs word indexing.\n");
}

TEST_F(SearchCommands, SearchFormatsAndTheUnindexedDatabase) {
    importFirst();
    CommandResult unindexed = run({"search", "My Mail", "lunch"});
    EXPECT_EQ(unindexed.code, 1);
    EXPECT_EQ(unindexed.err, "pmoor32: My Mail is not word indexed (run: pmoor32 index \"My Mail\")\n");
    EXPECT_EQ(run({"words", "My Mail"}).code, 1);

    ASSERT_EQ(run({"index", "My Mail"}).code, 0);
    CommandResult numbers = run({"search", "My Mail", "lunch"});
    ASSERT_EQ(numbers.code, 0) << numbers.err;
    EXPECT_EQ(numbers.out, run({"search", "My Mail", "lunch", "--format", "numbers"}).out);

    CommandResult summary = run({"search", "My Mail", "lunch", "--format", "summary"});
    ASSERT_EQ(summary.code, 0);
    const std::string first = numbers.out.substr(0, numbers.out.find('\n'));
    const std::string line = summary.out.substr(0, summary.out.find('\n'));
    // number, date, sender, subject
    EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 3) << line;
    EXPECT_EQ(line.rfind(first + "\t1997-03-", 0), 0u) << line;
    EXPECT_NE(line.find("\tLunch on Friday"), std::string::npos) << line;

    CommandResult json = run({"search", "My Mail", "lunch", "--format", "json"});
    ASSERT_EQ(json.code, 0);
    const Json parsed = parseJson(json.out);
    ASSERT_EQ(parsed.kind, Json::Kind::Array);
    ASSERT_EQ(parsed.size(), static_cast<std::size_t>(std::count(numbers.out.begin(), numbers.out.end(), '\n')));
    EXPECT_EQ(std::to_string(static_cast<long long>(parsed[0]["number"].number)), first);
    for (const char* field : {"date", "time", "sender", "receiver", "subject"})
        EXPECT_EQ(parsed[0][field].kind, Json::Kind::String) << field;
    EXPECT_EQ(parsed[0]["status"].text, "Normal");

    EXPECT_EQ(run({"search", "My Mail", "lunch", "--format", "xml"}).code, 2);
    // The end-of-word match under its name and its older alias.
    CommandResult suffix = run({"search", "My Mail", "unch", "--suffix"});
    EXPECT_EQ(suffix.out, numbers.out);
    EXPECT_EQ(run({"search", "My Mail", "unch", "--whole"}).out, numbers.out);
    EXPECT_EQ(run({"search", "My Mail", "unch"}).code, 1);
    EXPECT_EQ(run({"search", "My Mail", "unch", "--suffix", "--prefix"}).code, 2);
}

TEST_F(SearchCommands, StopWordsAndDeletionMarks) {
    importFirst();
    ASSERT_EQ(run({"index", "My Mail"}).code, 0);
    EXPECT_EQ(run({"stopwords", "My Mail", "add", "noon", "The", "  "}).code, 0);
    EXPECT_EQ(run({"stopwords", "My Mail", "list"}).out, "NOON\nTHE\n");
    CommandResult again = run({"stopwords", "My Mail", "add", "the"});
    EXPECT_EQ(again.out, "THE is a stop word already\n");
    EXPECT_EQ(run({"stopwords", "My Mail", "remove", "noon"}).code, 0);
    EXPECT_EQ(run({"stopwords", "My Mail", "list"}).out, "THE\n");
    EXPECT_EQ(run({"stopwords", "My Mail", "rename", "x"}).code, 2);

    // A mark alone changes nothing; the next run removes the word, which
    // becomes a stop word; an unknown word is named and leaves exit 1.
    CommandResult marked = run({"words", "My Mail", "--mark-delete", "lunch", "bogus"});
    EXPECT_EQ(marked.code, 1);
    EXPECT_NE(marked.err.find("BOGUS is not an indexed word"), std::string::npos) << marked.err;
    EXPECT_EQ(run({"search", "My Mail", "lunch"}).code, 0);
    // The marks make the database one that an index run without a name takes.
    ASSERT_EQ(run({"index"}).code, 0);
    EXPECT_EQ(run({"search", "My Mail", "lunch"}).code, 1);
    EXPECT_EQ(run({"words", "My Mail"}).out.find("LUNCH\t"), std::string::npos);
    EXPECT_EQ(run({"stopwords", "My Mail", "list"}).out, "LUNCH\nTHE\n");

    // Unmarking before the run keeps the word.
    ASSERT_EQ(run({"words", "My Mail", "--mark-delete", "friday"}).code, 0);
    ASSERT_EQ(run({"words", "My Mail", "--unmark", "friday"}).code, 0);
    ASSERT_EQ(run({"index", "My Mail"}).code, 0);
    EXPECT_EQ(run({"search", "My Mail", "friday"}).code, 0);
}

}  // namespace
}  // namespace pm::test
