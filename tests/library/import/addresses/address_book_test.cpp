// Address-book entries byte for byte, and the block-buffered writer.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "import/addresses/address_book.h"
#include "support/test_root.h"

namespace pm {
namespace {

using namespace std::string_literals;

struct EntryCase {
    int format;
    AddressBookPerson person;
    std::string bytes;
};

TEST(AddressBook, EntriesByFormat) {
    const AddressBookPerson full{"John", "Smith", "12345,678"};
    const AddressBookPerson net{"Mary Ann  ", "Jones   ", "mary@example.com  "};
    const AddressBookPerson lastOnly{"", "Sysop", "76543,210"};
    const AddressBookPerson firstOnly{"Cher", "", "cher@example.com"};
    const AddressBookPerson noName{"", "", "11111,222"};
    const AddressBookPerson noAddress{"John", "Smith", "   "};
    const EntryCase cases[] = {
        {1, full, "John Smith 12345,678|\r\n"},
        {1, net, "Mary Ann Jones INTERNET:mary@example.com|\r\n"},
        {1, firstOnly, "Cher INTERNET:cher@example.com|\r\n"},
        {1, noName, " 11111,222|\r\n"},
        {2, full, "alias \"John Smith\" 12345.678@compuserve.com\r\n"},
        {2, net, "alias \"Mary Ann Jones\" mary@example.com\r\n"},
        {2, lastOnly, "alias Sysop 76543.210@compuserve.com\r\n"},
        {2, firstOnly, "alias cher@example.com\r\n"},
        {3, full, "\"John Smith\" 12345.678@compuserve.com\r\n"},
        {3, lastOnly, "Sysop 76543.210@compuserve.com\r\n"},
        {3, noName, "11111.222@compuserve.com\r\n"},
        {4, full, "\x0A" "John Smith" "\x09" "12345,678" "\0\0"s},
        {4, net, "\x0E" "Mary Ann Jones" "\x19" "INTERNET:mary@example.com" "\0\0"s},
        {4, noName, "\x00" "\x09" "11111,222" "\0\0"s},
        {1, noAddress, ""}, {2, noAddress, ""}, {3, noAddress, ""}, {4, noAddress, ""},
        {0, full, ""}, {5, full, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(addressBookEntry(c.format, c.person), c.bytes)
            << c.format << " " << c.person.lastName;
}

TEST(AddressBook, BinaryFieldsCutTo255WholeCharacters) {
    const std::string name = std::string(254, 'n') + "é";  // 256 bytes
    const std::string entry = addressBookEntry(4, {"", name, std::string(300, 'a')});
    ASSERT_EQ(entry.size(), 1 + 254 + 1 + 255 + 2u);
    EXPECT_EQ(static_cast<unsigned char>(entry[0]), 254);
    EXPECT_EQ(static_cast<unsigned char>(entry[255]), 255);
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(AddressBookWriter, WritesInBlocksAndFinishes) {
    test::TempDir dir;
    const std::string path = dir / "Address.Txt";
    const AddressBookPerson person{"John", "Smith", "12345,678"};
    const std::string entry = addressBookEntry(1, person);  // 23 bytes

    AddressBookWriter writer(path);
    ASSERT_TRUE(writer.ok());
    std::string expected;
    while (expected.size() < AddressBookWriter::BlockSize) {
        ASSERT_TRUE(writer.add(1, person));
        expected += entry;
    }
    // One full block is on disk, the rest waits for the next block.
    EXPECT_EQ(std::filesystem::file_size(path), AddressBookWriter::BlockSize);
    EXPECT_TRUE(writer.add(1, {"John", "Smith", ""}));  // skipped, adds nothing
    EXPECT_TRUE(writer.finish());
    EXPECT_EQ(readFile(path), expected);
    EXPECT_EQ(writer.entryCount(), expected.size() / entry.size());
    EXPECT_FALSE(writer.add(1, person));
    EXPECT_TRUE(writer.finish());
}

TEST(AddressBookWriter, UncreatableFileWritesNothing) {
    test::TempDir dir;
    AddressBookWriter writer(dir / "missing/Address.Txt");
    EXPECT_FALSE(writer.ok());
    EXPECT_FALSE(writer.add(1, {"John", "Smith", "12345,678"}));
    EXPECT_FALSE(writer.finish());
    EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
}

}  // namespace
}  // namespace pm
