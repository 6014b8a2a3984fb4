// Splitting full names into last and first name.
#include <gtest/gtest.h>

#include <string>

#include "tables/persons/parse_name.h"

namespace pm {
namespace {

struct NameCase {
    const char* input;
    const char* last;
    const char* first;
};

TEST(ParseName, SplitsByTheRules) {
    const NameCase cases[] = {
        {"John Smith", "Smith", "John"},
        {"Smith", "Smith", ""},
        {"John Smith III", "Smith III", "John"},
        {"Smith III", "Smith III", ""},
        {"Mary Ann Smith", "Smith", "Mary Ann"},
        {"John Smith V", "Smith V", "John"},
        {"John Smith v", "v", "John Smith"},       // suffixes are case-sensitive
        {"John Smith lll", "Smith lll", "John"},   // look-alike with lower-case L
        {"John Smith lV", "Smith lV", "John"},
        {"John Smith IIII", "IIII", "John Smith"}, // whole field only
        {"John Smith VI", "VI", "John Smith"},
        {"John Smith   ", "Smith", "John"},
        {"", "", ""},
        {" Smith", " Smith", ""},                  // a leading blank never splits
        {"Smith  III", "Smith  III", ""},          // blank run before the suffix
        {"John  Smith III", "Smith III", "John"},
        {"Zoë Müller", "Müller", "Zoë"},
    };
    for (const auto& c : cases) {
        std::string last = "old", first = "old";
        ParseName(c.input, last, first);
        EXPECT_EQ(last, c.last) << c.input;
        EXPECT_EQ(first, c.first) << c.input;
    }
}

TEST(ParseName, CutsToFieldWidthAtWholeCharacters) {
    std::string last, first;
    // 24 ASCII bytes and a two-byte "é": the "é" does not fit into 25 bytes.
    ParseName(std::string(24, 'a') + "é " + std::string(30, 'b'), last, first);
    EXPECT_EQ(last, std::string(25, 'b'));
    EXPECT_EQ(first, std::string(24, 'a'));
}

}  // namespace
}  // namespace pm
