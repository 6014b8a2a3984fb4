// What the listing commands print for people and for programs: the
// catalog with a header line or as JSON, the settings by name.
#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>

#include "support/command_runner.h"
#include "support/json_reader.h"
#include "support/test_root.h"
#include "tables/config/config_names.h"
#include "tables/config/settings.h"

namespace pm::test {
namespace {

class Listing : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(run({"init"}).code, 0); }
    CommandResult run(std::vector<std::string> args) {
        args.insert(args.begin(), {"--root", root.path()});
        return runCommand(std::move(args));
    }
    TempDir root;
};

TEST_F(Listing, DbListHeaderNamesTheColumnsOfTheLines) {
    ASSERT_EQ(run({"db", "create", "mail", "My \"quoted\" \\ mail", "--address", "me@example.com"}).code, 0);
    ASSERT_EQ(run({"db", "create", "newsgroup", "comp.lang.c"}).code, 0);
    const CommandResult plain = run({"db", "list"});
    const CommandResult headed = run({"db", "list", "--header"});
    ASSERT_EQ(headed.code, 0);
    EXPECT_EQ(headed.out, "id\tname\ttype\tdir\tmsgcount\tnoimport\n" + plain.out);
    EXPECT_EQ(run({"db", "list", "--header", "--json"}).code, 2);

    // The JSON members carry the same names; texts survive whatever they hold.
    const CommandResult json = run({"db", "list", "--json"});
    ASSERT_EQ(json.code, 0);
    const Json list = parseJson(json.out);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0]["name"].text, "My \"quoted\" \\ mail");
    EXPECT_EQ(list[0]["type"].text, "mail");
    EXPECT_EQ(list[0]["dir"].text, "F1");
    EXPECT_EQ(list[0]["msgcount"].number, 0);
    EXPECT_FALSE(list[0]["noimport"].boolean);
    EXPECT_EQ(list[1]["type"].text, "newsgroup");
    std::istringstream first(plain.out);
    std::string id;
    std::getline(first, id, '\t');
    EXPECT_EQ(std::to_string(static_cast<long long>(list[0]["id"].number)), id);

    // An empty catalog is an empty array, not nothing.
    TempDir other;
    ASSERT_EQ(runCommand({"--root", other.path(), "init"}).code, 0);
    EXPECT_EQ(parseJson(runCommand({"--root", other.path(), "db", "list", "--json"}).out).size(), 0u);
}

TEST_F(Listing, ConfigListShowsEveryItemByNameAndGetAndSetTakeTheNames) {
    const CommandResult list = run({"config", "list"});
    ASSERT_EQ(list.code, 0);
    std::istringstream lines(list.out);
    int rows = 0;
    for (std::string line; std::getline(lines, line); ++rows) {
        std::istringstream columns(line);
        std::string name, number, value, meaning;
        std::getline(columns, name, '\t');
        std::getline(columns, number, '\t');
        std::getline(columns, value, '\t');
        std::getline(columns, meaning);
        EXPECT_FALSE(meaning.empty()) << line;
        EXPECT_EQ(configItemByName(name), std::stoi(number)) << line;
        EXPECT_EQ(run({"config", "get", number}).out, value + "\n") << line;
    }
    EXPECT_EQ(rows, static_cast<int>(configItemNames().size()));

    EXPECT_EQ(run({"config", "set", "Date-Format", "10"}).code, 0);
    EXPECT_EQ(run({"config", "get", "10"}).out, "10\n");
    EXPECT_EQ(run({"config", "get", "date-format"}).out, "10\n");
    const CommandResult unknown = run({"config", "get", "date-formats"});
    EXPECT_EQ(unknown.code, 2);
    EXPECT_NE(unknown.err.find("config list"), std::string::npos) << unknown.err;
}

TEST(ConfigNames, EverySettingsItemHasOneNameAndEveryNameAnItem) {
    std::set<std::string> seen;
    for (int item = 0; item < 100; ++item) {
        const char* name = configItemName(item);
        EXPECT_EQ(name != nullptr, configItemKind(item) != ConfigItemKind::None) << item;
        if (!name) continue;
        EXPECT_TRUE(seen.insert(name).second) << name << " is used twice";
        EXPECT_EQ(configItemByName(name), item);
    }
    EXPECT_EQ(configItemByName("no-such-item"), 0);
}

}  // namespace
}  // namespace pm::test
