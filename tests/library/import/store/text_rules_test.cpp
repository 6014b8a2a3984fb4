// The text rules of the store: encoded header words and the duplicate test
// of two texts.
#include <gtest/gtest.h>

#include "import/store/dup_string.h"
#include "import/store/header_words.h"

namespace pm {
namespace {

TEST(HeaderWords, DecodeEncodedWordsAndLeaveEverythingElse) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"Plain subject", "Plain subject"},
        {"=?ISO-8859-1?Q?Andr=E9?= Smith", "André Smith"},
        {"=?utf-8?b?R3LDvMOfZQ==?=", "Grüße"},
        {"Re: =?UTF-8?Q?caf=C3=A9_au_lait?= now", "Re: café au lait now"},
        {"=?ISO-8859-1?Q?a?= =?ISO-8859-1?Q?b?=", "ab"},        // blanks between words go
        {"=?ISO-8859-1?Q?a?= x =?ISO-8859-1?Q?b?=", "a x b"},    // other text stays
        {"=?UTF-8?B?w6k=?=  =?ISO-8859-1?Q?=E9?=", "éé"},        // charsets may change
        {"=?UTF-8?B?R3LD?= =?UTF-8?B?vMOfZQ==?=", "Grüße"},      // a character split over two words
        {"=?X-UNKNOWN?Q?abc?= end", "=?X-UNKNOWN?Q?abc?= end"},
        {"=?UTF-8?Q?bad=ZZ?=", "bad=ZZ"},  // an escape that cannot be decoded stays as written
        {"=?UTF-8?X?abc?=", "=?UTF-8?X?abc?="},
        {"=? not a word", "=? not a word"},
        {"=?UTF-8?Q?unclosed", "=?UTF-8?Q?unclosed"},
        {"=?windows-1252?Q?=80_5?=", "€ 5"},
        {"=?ISO-8859-1*en?Q?Caf=E9?=", "Café"},
    };
    for (const auto& c : cases) {
        std::string text = c.in;
        decodeHeaderWords(text);
        EXPECT_EQ(text, c.out) << c.in;
    }
}

TEST(DupString, TextsDifferingOnlyByFewerThanTwentyTrailingCharactersAreDuplicates) {
    const std::string base = "Line one\r\nLine two\r\n";
    const struct {
        std::string a, b;
        bool duplicate;
    } cases[] = {
        {base, base, true},
        {base, base + std::string(19, 'x'), true},
        {base + std::string(19, 'x'), base, true},
        {base, base + std::string(20, 'x'), false},
        {base, base + std::string(19, 'x') + std::string(40, ' '), true},  // trailing blanks ignored
        {base, base + std::string(19, 'x') + "\r\n", true},                // trailing line ends ignored
        {base, base + std::string(20, 'x') + "\r\n", false},
        {"Thanks.\r\n", "Thanks. Fred\r\n", true},                       // a signature on the last line
        {"Thanks.\r\n\r\n\t", "Thanks.", true},
        {base, "Line One\r\nLine two\r\n", false},                          // letter case counts
        {base, base + "ééééééééééééééééééé", true},                         // characters, not bytes
        {"", std::string(19, 'x'), true},
        {"", std::string(20, 'x'), false},
        {std::string(64000, 'a') + "tail beyond the limit", std::string(64000, 'a'), true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(textsAreDuplicates(c.a, c.b), c.duplicate) << c.a.size() << " / " << c.b.size();
}

}  // namespace
}  // namespace pm
