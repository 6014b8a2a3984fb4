// Splitting sender and receiver texts into name and address.
#include <gtest/gtest.h>

#include <string>

#include "import/addresses/cis_address.h"

namespace pm {
namespace {

struct CisCase {
    int mode;
    std::string input;
    const char* name;
    const char* address;
};

TEST(FindCISAdress, SplitsByTheRules) {
    const std::string box = "\xE2\x94\x82";  // U+2502
    const CisCase cases[] = {
        {1, "John Smith 12345,678", "John Smith", "12345,678"},
        {1, "John Smith [12345,678]", "John Smith", "12345,678"},
        {1, "John Smith 12345.678", "John Smith", "12345,678"},
        {1, "Sysop", "Sysop", ""},
        {2, "John Smith INTERNET:john.smith@example.com", "John Smith", "john.smith@example.com"},
        {2, "John Smith INTERNET:js@example", "John Smith", "js@example"},
        {1, "Fred 12.5", "Fred", "12,5"},
        {1, "Bob Jones", "Bob Jones", ""},
        {2, "Bob Jones", "Bob", "Jones"},
        {2, "John Smith 12345,678", "John Smith", "12345,678"},
        {1, "John Smith 12345. 678", "John Smith", "12345,678"},
        {1, "John Smith [12345. 678]", "John Smith", "12345,678"},
        {1, "12345,678", "", "12345,678"},
        {1, "[12345,678]", "", "12345,678"},
        {1, "John Smith> 12345,678", "John Smith", "12345,678"},
        {1, "John Smith " + box + "12345,678", "John Smith", "12345,678"},
        {1, "John Smith" + box + " 12345,678", "John Smith", "12345,678"},
        {1, "John Smith \xB3" "12345,678", "John Smith", "12345,678"},  // stray old box byte
        {1, "José Gómez 12345,678", "José Gómez", "12345,678"},
        {1, "Fabián Ló 1234,5", "Fabián Ló", "1234,5"},  // "ó" ends in byte B3
        {2, "Ann Ló" + box + "ann@example.com", "Ann Ló", "ann@example.com"},
        {1, "Smith 12a45,678", "Smith 12a45,678", ""},
        // A rejected candidate leaves the text as it was.
        {1, "Dr. Who. 5", "Dr. Who. 5", ""},
        {2, "Dr. Who. 5", "Dr. Who.", "5"},
        {1, "Version 2. 5", "Version", "2,5"},
        {2, "Sysop [abc,123]", "Sysop", "[abc,123]"},
        {2, "John Smith CSINET:12345.678@compuserve.com", "John Smith", "12345.678"},
        {2, "CSINET:12345.678", "", "12345.678"},
        {2, "John CSINET", "John", ""},
        {2, "John CSINET:@x.com", "John", "@x.com"},
        {1, "John CSINET:12345.678", "John CSINET:12345.678", ""},  // CSINET is mail-only
        {2, "INTERNET:a@b.com", "", "a@b.com"},
        {2, "John Smith INTERNET:", "John Smith", "INTERNET:"},
        {2, "John Smith >", "John Smith", ">"},
        {1, "", "", ""},
        {2, "", "", ""},
        {1, "[", "[", ""},
        {2, "[", "", "["},
        {1, "]", "]", ""},
        {1, "12345", "12345", ""},
        {2, "12345", "", "12345"},
        {1, "1,", "1,", ""},
        {1, ",123", ",123", ""},
        {1, "John Smith [,123]", "John Smith [,123]", ""},
    };
    for (const auto& c : cases) {
        std::string address = "old", name = "old";
        FindCISAdress(c.mode, c.input, address, name);
        EXPECT_EQ(name, c.name) << c.mode << " " << c.input;
        EXPECT_EQ(address, c.address) << c.mode << " " << c.input;
    }
}

TEST(FindCISAdress, CutsLongTextsToBufferWidth) {
    std::string address, name;
    const std::string longName = std::string(99, 'x') + "ü" + std::string(20, 'y');
    FindCISAdress(1, longName + " 12345,678", address, name);
    EXPECT_EQ(name, std::string(99, 'x'));
    EXPECT_EQ(address, "12345,678");

    FindCISAdress(2, "Bob " + std::string(150, 'a') + "@example.com", address, name);
    EXPECT_EQ(name, "Bob");
    EXPECT_EQ(address, std::string(100, 'a'));

    const std::string digits(5000, '7');
    FindCISAdress(1, digits, address, name);
    EXPECT_EQ(name, std::string(100, '7'));
    EXPECT_EQ(address, "");
}

}  // namespace
}  // namespace pm
