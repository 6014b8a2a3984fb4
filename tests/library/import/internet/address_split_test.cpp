#include "import/internet/address_split.h"

#include <gtest/gtest.h>

namespace pm::inet {
namespace {

TEST(AddressSplit, Rules) {
    struct Case {
        const char* text;
        const char* address;
        const char* name;
    };
    const Case cases[] = {
        {"John Smith <John.Smith@Example.ORG>", "john.smith@example.org", "John Smith"},
        {"\"Smith, John\" <js@example.org>", "js@example.org", "Smith, John"},
        {"js@example.org", "js@example.org", ""},
        {"  <js@example.org>  ", "js@example.org", ""},
        {"js@example.org (John Smith)", "js@example.org", "John Smith"},
        {"John Smith js@example.org", "js@example.org", "John Smith"},
        {"(\"John\") js@example.org", "js@example.org", "\"John\""},
        {"Sysop", "sysop", ""},
        {"12345,678", "12345,678", ""},
        {"js@example.org>", "js@example.org>", ""},
        // Encoded words in the name; raw Latin-1; Unicode lower-casing.
        {"=?ISO-8859-1?Q?Ren=E9?= <rene@example.fr>", "rene@example.fr", "Ren\xC3\xA9"},
        {"\"=?UTF-8?B?SsO2cmc=?=\" <J@X.DE>", "j@x.de", "J\xC3\xB6rg"},
        {"Ren\xE9 <rene@example.fr>", "rene@example.fr", "Ren\xC3\xA9"},
        {"\xC3\x89MILE@EXAMPLE.FR", "\xC3\xA9mile@example.fr", ""},
        // A list: the first address with an "@".
        {"Ann <ann@x.org>, Bob <bob@y.org>", "ann@x.org", "Ann"},
        {"\"Doe, Jane\" <jane@x.org>, bob@y.org", "jane@x.org", "Doe, Jane"},
        {"Doe, Jane <jane@x.org>", "jane@x.org", "Doe, Jane"},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        AddressParts parts = splitAddress(c.text);
        EXPECT_EQ(parts.address, c.address) << c.text;
        EXPECT_EQ(parts.name, c.name) << c.text;
    }
}

TEST(AddressSplit, WidthsCutAtCharacterBoundaries) {
    std::string longName(59, 'n');
    AddressParts parts = splitAddress(longName + "\xC3\xA9 <" + std::string(70, 'a') + "@x.org>");
    EXPECT_EQ(parts.name, longName);  // the "é" would need bytes 60 and 61
    EXPECT_EQ(parts.address, std::string(60, 'a'));
}

}  // namespace
}  // namespace pm::inet
