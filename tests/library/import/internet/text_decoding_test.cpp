// Subjects, quoted-printable, Base64, encoded words and charsets.
#include <gtest/gtest.h>

#include "import/internet/base64.h"
#include "import/internet/charset.h"
#include "import/internet/encoded_words.h"
#include "import/internet/quoted_printable.h"
#include "import/internet/subject.h"

namespace pm::inet {
namespace {

TEST(Subject, OneReplyPrefixIsRemoved) {
    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"Re: Re: hello", "Re: hello"}, {"RE:hello", "hello"}, {"  re:   spaced", "spaced"},
        {"Reply: no", "Reply: no"},     {"Fwd: Re: x", "Fwd: Re: x"}, {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(stripReplyPrefix(c.in), c.out) << c.in;
}

TEST(QuotedPrintable, AnyByteSoftBreaksAndInvalidEscapes) {
    struct Case {
        std::string in;
        std::string out;
    };
    const Case cases[] = {
        {"=41=42C", "ABC"},                               // escapes below 128 decode too
        {"caf=C3=A9", "caf\xC3\xA9"},                     // UTF-8 bytes
        {"=3D=20=09", "= \t"},
        {"lower =c3=a9", "lower \xC3\xA9"},
        {"a=00b", std::string("a\0b", 3)},
        {"soft=\r\nbreak", "softbreak"},
        {"soft=  \r\nbreak", "softbreak"},                // transport padding after "="
        {"lf=\nonly", "lfonly"},
        {"hard\r\nbreak", "hard\r\nbreak"},
        {"=ZZ stays, =4 too, so does =", "=ZZ stays, =4 too, so does "},
        {"x==41", "x=A"},
        {"end=", "end"},
    };
    for (const Case& c : cases) EXPECT_EQ(decodeQuotedPrintable(c.in), c.out) << c.in;
}

TEST(Base64, DecodesAcrossLinesAndPadding) {
    EXPECT_EQ(decodeBase64("SGVsbG8sIFdvcmxkIQ=="), "Hello, World!");
    EXPECT_EQ(decodeBase64("SGVs\r\nbG8s\r\nIFdv cmxk\r\nIQ==\r\n"), "Hello, World!");
    EXPECT_EQ(decodeBase64("QQ==Qg=="), "AB");  // two blocks one after another
    EXPECT_EQ(decodeBase64("w6k="), "\xC3\xA9");
    EXPECT_EQ(decodeBase64("!!!"), "");
    EXPECT_EQ(decodeBase64("Q"), "");  // incomplete bits dropped
}

TEST(EncodedWords, Decoding) {
    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"=?UTF-8?B?SsO2cmc=?=", "J\xC3\xB6rg"},
        {"=?utf-8?q?J=C3=B6rg_M=C3=BCller?=", "J\xC3\xB6rg M\xC3\xBCller"},
        {"=?ISO-8859-1?Q?Andr=E9?= Dupont", "Andr\xC3\xA9 Dupont"},
        // ISO-8859-2: the real letters are kept (ł, ś).
        {"=?ISO-8859-2?Q?=B3=B6?=", "\xC5\x82\xC5\x9B"},
        // windows-1251 Cyrillic "Привет".
        {"=?windows-1251?B?z/Do4uXy?=", "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82"},
        // Adjacent words join without the blank; text before and after stays.
        {"Re: =?UTF-8?Q?a?= =?UTF-8?Q?b?= tail", "Re: ab tail"},
        {"=?UTF-8?Q?a?=\t  =?ISO-8859-1?Q?=E9?=", "a\xC3\xA9"},
        // A character split across two words of one charset survives.
        {"=?UTF-8?B?ww==?= =?UTF-8?B?qQo=?=", "\xC3\xA9\n"},
        // Unknown charset, malformed words: as written.
        {"=?x-no-such-charset?Q?abc?= =?UTF-8?Q?d?=", "=?x-no-such-charset?Q?abc?= d"},
        {"=?UTF-8?X?abc?=", "=?UTF-8?X?abc?="},
        {"=?UTF-8?Q?never closed", "=?UTF-8?Q?never closed"},
        {"plain text", "plain text"},
        // Decoded once: an encoded word inside the result stays.
        {"=?UTF-8?Q?=3D=3FUTF-8=3FQ=3Fx=3F=3D?=", "=?UTF-8?Q?x?="},
        // Language suffix (RFC 2231).
        {"=?UTF-8*de?Q?gr=C3=BC=C3=9F?=", "gr\xC3\xBC\xC3\x9F"},
    };
    for (const Case& c : cases) EXPECT_EQ(decodeEncodedWords(c.in), c.out) << c.in;
}

TEST(EncodedWords, HeaderTextReadsRawBytesAndControls) {
    EXPECT_EQ(decodeHeaderText("Ren\xE9 =?UTF-8?Q?=C3=A9?="), "Ren\xC3\xA9 \xC3\xA9");
    EXPECT_EQ(decodeHeaderText("a\tb=?UTF-8?Q?c=0Ad?="), "a bc d");
}

TEST(Charset, ConversionToUtf8) {
    struct Case {
        std::string bytes;
        const char* charset;
        std::string utf8;
    };
    const Case cases[] = {
        {"caf\xE9", "ISO-8859-1", "caf\xC3\xA9"},
        {"\x93quoted\x94", "iso-8859-1", "\xE2\x80\x9Cquoted\xE2\x80\x9D"},  // read as Windows-1252
        {"caf\xC3\xA9", "", "caf\xC3\xA9"},                                 // valid UTF-8, no charset
        {"caf\xE9", "", "caf\xC3\xA9"},                                     // invalid UTF-8: Windows-1252
        {"\x80", "", "\xE2\x82\xAC"},
        {"caf\xE9", "us-ascii", "caf\xC3\xA9"},                             // mislabelled 8-bit text
        {"caf\xE9", "x-unknown-charset", "caf\xC3\xA9"},
        {"\xD2\xD4\xC9", "\"KOI8-R\"", "\xD1\x80\xD1\x82\xD0\xB8"},
        {"\xB1", "iso-8859-2", "\xC4\x85"},
        {"bad\xFF", "utf-8", "bad\xC3\xBF"},                              // declared UTF-8, stray byte read as Windows-1252
        {"caf\xC3\xA9 and caf\xE9", "utf-8", "caf\xC3\xA9 and caf\xC3\xA9"},      // mixed: both kept as é
        {"plain", "iso-8859-15", "plain"},
    };
    for (const Case& c : cases) EXPECT_EQ(toUtf8(c.bytes, c.charset), c.utf8) << c.bytes << " / " << c.charset;
}

TEST(Charset, Utf8Validity) {
    EXPECT_TRUE(isValidUtf8("plain \xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"));
    EXPECT_FALSE(isValidUtf8("\xC0\xAF"));          // overlong
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));      // surrogate
    EXPECT_FALSE(isValidUtf8("\xF4\x90\x80\x80"));  // above U+10FFFF
    EXPECT_FALSE(isValidUtf8("\xC3"));              // cut short
}

}  // namespace
}  // namespace pm::inet
