// CopyAddress: the persons of a database as an address book, end to end.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/globals.h"
#include "import/store/copy_address.h"
#include "store_fixture.h"
#include "tables/persons/person_store.h"

namespace pm {
namespace {

using test::StoreTest;
using CopyAddressTest = StoreTest;

std::string fileContent(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

TEST_F(CopyAddressTest, WritesEveryLayoutInNameOrderOnePersonPerStep) {
    openDatabase(TypeForum, "Test Forum");
    for (auto [name, address] : {std::pair{"John Smith", "john@x.org"}, {"Sysop", "12345,678"},
                                 {"Nobody", ""}, {"Mary Ann Jones", "76543,21"}})
        ASSERT_EQ(AddPers(name, address), 0);
    commit();

    using namespace std::string_literals;
    const struct {
        int format;
        std::string expected;
    } layouts[] = {
        {1, "Mary Ann Jones 76543,21|\r\nJohn Smith INTERNET:john@x.org|\r\nSysop 12345,678|\r\n"},
        {2, "alias \"Mary Ann Jones\" 76543.21@compuserve.com\r\nalias \"John Smith\" john@x.org\r\n"
            "alias Sysop 12345.678@compuserve.com\r\n"},
        {3, "\"Mary Ann Jones\" 76543.21@compuserve.com\r\n\"John Smith\" john@x.org\r\n"
            "Sysop 12345.678@compuserve.com\r\n"},
        {4, "\x0EMary Ann Jones\x08" "76543,21\0\0"s "\x0AJohn Smith\x13INTERNET:john@x.org\0\0"s
            "\x05Sysop\x09" "12345,678\0\0"s},
    };
    for (const auto& layout : layouts) {
        CopyAddress copy(layout.format, layout.format == 1 ? "" : "book" + std::to_string(layout.format));
        int steps = 1;
        CopyAddress::Status status;
        while ((status = copy.step()) == CopyAddress::Status::Running) ++steps;
        EXPECT_EQ(status, CopyAddress::Status::Done);
        EXPECT_EQ(steps, 6) << "open, four persons, close";
        EXPECT_EQ(copy.entries(), 3u);
        EXPECT_EQ(copy.step(), CopyAddress::Status::Done);
        if (layout.format == 1) {
            EXPECT_EQ(copy.path(), Mem.TempDir + "/Address.Txt");
        }
        EXPECT_EQ(fileContent(copy.path()), layout.expected) << layout.format;
    }
}

TEST_F(CopyAddressTest, WritesNothingWithoutPersonsOrWithoutAFile) {
    openDatabase(TypeForum, "Test Forum");
    commit();
    CopyAddress none(1, "none.txt");
    EXPECT_EQ(none.step(), CopyAddress::Status::Nothing);
    EXPECT_FALSE(std::filesystem::exists(none.path()));

    ASSERT_TRUE(MessageStore::beginTransactionFor(TypeForum));
    ASSERT_EQ(AddPers("A B", "a@b"), 0);
    commit();
    CopyAddress badPath(1, root.path() + "/no/such/dir/book.txt");
    EXPECT_EQ(badPath.step(), CopyAddress::Status::Nothing);
    EXPECT_TRUE(ui.empty());  // silently
}

}  // namespace
}  // namespace pm
