// A whole session in command mode: an installation, a mail database, an
// import, the word index, searching and reading a message, an address book.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>

#include "support/command_runner.h"
#include "support/test_root.h"

namespace pm::test {
namespace {

TEST(CommandSession, ImportIndexSearchShow) {
    TempDir root;
    auto run = [&](std::vector<std::string> args) {
        args.insert(args.begin(), {"--root", root.path()});
        return runCommand(std::move(args));
    };
    ASSERT_EQ(run({"init"}).code, 0);
    ASSERT_EQ(run({"db", "create", "mail", "My Mail", "--address", "me@home.example"}).code, 0);
    const std::string mbox = std::string(POSTMOOR_TEST_DATA) + "/generic-mail-2/inbox.mbox";
    CommandResult imported = run({"import", "--format", "generic mail type 2", "--mailbox", "My", mbox});
    ASSERT_EQ(imported.code, 0) << imported.err;
    EXPECT_NE(imported.out.find("imported\t"), std::string::npos);

    CommandResult list = run({"db", "list"});
    EXPECT_NE(list.out.find("\tMy Mail\tmail\tF1\t"), std::string::npos) << list.out;

    ASSERT_EQ(run({"index", "My Mail"}).code, 0);
    CommandResult found = run({"search", "My Mail", "lunch"});
    ASSERT_EQ(found.code, 0) << found.err;
    std::istringstream numbers(found.out);
    std::string first;
    ASSERT_TRUE(std::getline(numbers, first));
    EXPECT_NE(found.err.find("LUNCH"), std::string::npos);

    // A search that pauses after every hit: without --all the pause question
    // takes its No answer; --all goes through every block without a question.
    ASSERT_EQ(run({"config", "set", "50", "1"}).code, 0);
    CommandResult paused = run({"search", "My Mail", "lunch"});
    EXPECT_EQ(paused.code, 0) << paused.err;
    EXPECT_NE(paused.err.find("Search More?: 1 search hits found!"), std::string::npos) << paused.err;
    EXPECT_NE(paused.err.find("(more to search: --all goes through every block)"), std::string::npos) << paused.err;
    CommandResult all = run({"search", "My Mail", "lunch", "--all"});
    EXPECT_EQ(all.code, 0) << all.err;
    EXPECT_EQ(all.out, found.out);
    EXPECT_EQ(all.err.find("Search More?"), std::string::npos) << all.err;
    EXPECT_LT(std::count(paused.out.begin(), paused.out.end(), '\n'), std::count(all.out.begin(), all.out.end(), '\n'));

    CommandResult shown = run({"show", "My Mail", first});
    ASSERT_EQ(shown.code, 0) << shown.err;
    EXPECT_NE(shown.out.find("Subject:  "), std::string::npos);
    EXPECT_NE(shown.out.find("unch"), std::string::npos);  // subject or text of the message found
    EXPECT_EQ(run({"show", "My Mail", "1"}).code, 1);
    EXPECT_EQ(run({"show", "My Mail", "x"}).code, 2);
    EXPECT_EQ(run({"show", "Nothing", "1"}).code, 2);

    CommandResult words = run({"words", "My Mail", "--top", "3"});
    EXPECT_EQ(words.code, 0);
    EXPECT_EQ(std::count(words.out.begin(), words.out.end(), '\n'), 3);

    CommandResult book = run({"addresses", "My Mail", "1", "book.txt"});
    ASSERT_EQ(book.code, 0) << book.err;
    std::ifstream file(root / "TEMP/book.txt");
    std::stringstream content;
    content << file.rdbuf();
    EXPECT_NE(content.str().find("INTERNET:anna@example.com|"), std::string::npos) << content.str();

    CommandResult check = run({"nextid-check"});
    EXPECT_EQ(check.code, 0) << check.err;
}

}  // namespace
}  // namespace pm::test
