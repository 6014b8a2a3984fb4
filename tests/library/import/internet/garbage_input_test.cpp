// Hostile and broken input: never crash, never hang, always UTF-8 out.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>

#include "import/internet/charset.h"
#include "import/internet/encoded_words.h"
#include "import/internet/enriched_text.h"
#include "import/internet/html_to_text.h"
#include "import/internet/mail_header.h"
#include "import/internet/message_date.h"
#include "import/internet/news_header.h"
#include "common/utf8.h"
#include "import/internet/text_assembly.h"
#include "internet_test_support.h"

namespace pm::inet {
namespace {

// Runs both analyses and the assembly over `message`; checks the results
// are well-formed.
void parseEverything(const std::string& message, const char* what) {
    LineQueue queue = test::queueOf(message);
    test::FakeContext context;
    ParsedHeader header;
    if (analyseMailHeader(queue, 1, context, header)) {
        std::string text = assembleText(queue, header.firstBodyLine, queue.size(), header.body);
        EXPECT_TRUE(isValidUtf8(text)) << what;
        EXPECT_LE(utf8CharCount(text), MaxMessageText) << what;
        EXPECT_TRUE(isValidUtf8(header.heading.view())) << what;
        EXPECT_TRUE(isValidUtf8(header.senderName.view())) << what;
        EXPECT_TRUE(isValidUtf8(header.senderAddress.view())) << what;
    }
    LineQueue again = test::queueOf(message);
    ULONG counter = 1;
    if (analyseNewsHeader(again, 1, counter, context, header)) {
        std::string text = assembleText(again, header.firstBodyLine, again.size(), header.body);
        EXPECT_TRUE(isValidUtf8(text)) << what;
        EXPECT_LE(utf8CharCount(text), MaxMessageText) << what;
        EXPECT_TRUE(isValidUtf8(header.forDescription.view())) << what;
    }
}

std::string randomBytes(std::size_t n, std::uint32_t seed) {
    std::string out(n, '\0');
    for (char& c : out) {
        seed = seed * 1664525u + 1013904223u;
        c = static_cast<char>(seed >> 24);
    }
    return out;
}

TEST(GarbageInput, BrokenMessagesAreHandled) {
    const std::string cases[] = {
        "",
        "\r\n\r\n\r\n",
        "From: a@x.org",                                    // header without a body
        "From: a@x.org\r\nContent-Type: multipart/mixed; boundary=\"abc\"\r\n\r\n--abc\r\nContent-Type: text/plain",
        "From: a@x.org\r\nContent-Type: multipart/mixed; boundary=\"abc\"\r\n\r\n--abc--\r\n--abc\r\n",
        "From: a@x.org\r\nContent-Transfer-Encoding: base64\r\nContent-Type: text/plain; charset=utf-16\r\n\r\n////\r\n",
        "From: a@x.org\r\nContent-Type: text/html\r\n\r\n<<<<>>>>&&&&;;;;<a href=\"<!--",
        "Newsgroups: ,,,\r\nReferences:\r\nMessage-ID:\r\n\r\n",
        std::string("From: \0\0\0@\xFF\xFE\r\nSubject: =?utf-8?B?////?=\r\n\r\n\0\0\0", 40),
        randomBytes(100000, 1),
        "From: a@x.org\r\n\r\n" + randomBytes(100000, 2),
    };
    int i = 0;
    for (const std::string& message : cases) parseEverything(message, ("case " + std::to_string(i++)).c_str());
}

TEST(GarbageInput, EndlessLinesAndHostileMarkupStayLinear) {
    auto start = std::chrono::steady_clock::now();

    // A ten-megabyte line without a line end.
    std::string endless(10'000'000, 'x');
    LineQueue queue;
    EXPECT_EQ(queue.push(endless), MaxSourceLineBytes / LineEntryWidth);
    parseEverything("From: a@x.org\r\nSubject: " + endless + "\r\n\r\n" + endless, "endless line");

    // Texts made to defeat naive scans.
    std::string many;
    for (int k = 0; k < 100000; ++k) many += "<a x='>&a=?";
    EXPECT_TRUE(isValidUtf8(htmlToText(many)));
    EXPECT_FALSE(htmlToText(std::string(300000, '<') + "b").empty());
    EXPECT_FALSE(htmlToText(std::string(300000, '&')).empty());
    EXPECT_FALSE(enrichedToText(std::string(300000, '<')).empty());
    EXPECT_EQ(decodeEncodedWords(std::string(300000, '=') + "?").size(), 300001u);
    std::string questions;
    for (int k = 0; k < 100000; ++k) questions += "=?a?";
    EXPECT_EQ(decodeEncodedWords(questions), questions);
    EXPECT_EQ(parseMessageDate(std::string(100000, '9')).date, 0);

    // A message of a million short lines.
    std::string big = "From: a@x.org\r\nContent-Type: text/html\r\n\r\n";
    for (int k = 0; k < 1'000'000; ++k) big += "<p>x\r\n";
    parseEverything(big, "a million lines");

    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 20.0) << "a scan went quadratic";
}

}  // namespace
}  // namespace pm::inet
