// The regions of a message that are indexed: header, MIME and uuencode
// removal for mail; footer removal for forum and newsgroup messages.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "wordindex/text_regions.h"
#include "wordindex/word_breaker.h"

namespace pm {
namespace {

std::string words(std::string_view text) {
    std::string out;
    for (const auto& w : breakWords(text)) out += (out.empty() ? "" : "|") + w;
    return out;
}

struct Case {
    const char* name;
    std::string text;
    std::string words;
};

TEST(MailBody, HeaderRemoval) {
    const std::string plainPart =
        "--XyZ\r\nContent-Type: text/plain; charset=us-ascii\r\n\r\nHello plain world\r\n";
    const std::string htmlPart = "--XyZ\r\nContent-Type: text/html\r\n\r\n<p>html words</p>\r\n";
    const std::string binaryPart =
        "--XyZ\r\nContent-Type: application/octet-stream\r\nContent-Transfer-Encoding: base64\r\n\r\nQUJD\r\n";
    const Case cases[] = {
        {"no header", "Hello there, just text\r\nsecond line", "HELLO|THERE|JUST|TEXT|SECOND|LINE"},
        {"Message-ID on line 3, no empty line after",
         "From: a@b.c\r\nTo: d@e.f\r\nMessage-ID: <1@b.c>\r\nSome text that is never indexed", ""},
        {"Message-ID with body", "From: a@b.c\r\nMessage-Id: <1@b.c>\r\n\r\nBody words here", "BODY|WORDS|HERE"},
        {"X-Mailer with body", "x-mailer: Tool 1.0\r\nSubject: s\r\n\r\nBody", "BODY"},
        {"text/plain", "Content-Type: text/plain; charset=utf-8\r\nSubject: x\r\n\r\nPlain body", "PLAIN|BODY"},
        {"text/html is indexed whole", "Content-Type: text/html\r\n\r\n<b>bold</b>", "B|BOLD|B"},
        {"multipart picks the text/plain part",
         "Content-Type: multipart/mixed; boundary=\"XyZ\"\r\n\r\npreamble\r\n" + htmlPart + plainPart +
             binaryPart + "--XyZ--\r\n",
         "CONTENT|TYPE|TEXT|PLAIN|CHARSET|US|ASCII|HELLO|PLAIN|WORLD"},
        {"multipart without text/plain",
         "Content-Type: multipart/mixed; boundary=\"XyZ\"\r\n\r\n" + htmlPart + binaryPart + "--XyZ--\r\n", ""},
        {"boundary on the next line, unquoted, Content-Type after Message-ID",
         "Message-ID: <9@x>\r\nMIME-Version: 1.0\r\nContent-Type: multipart/mixed;\r\n\tboundary=XyZ; x=y\r\n\r\n" +
             binaryPart + plainPart + "--XyZ--\r\n",
         "CONTENT|TYPE|TEXT|PLAIN|CHARSET|US|ASCII|HELLO|PLAIN|WORLD"},
        {"nested multipart/alternative",
         "Content-Type: multipart/mixed; boundary=\"==out==\"\r\n\r\n--==out==\r\n"
         "Content-Type: multipart/alternative; boundary=\"==in==\"\r\n\r\n"
         "--==in==\r\nContent-Type: text/plain\r\n\r\nInner text\r\n"
         "--==in==\r\nContent-Type: text/html\r\n\r\nhtml\r\n--==in==--\r\n"
         "--==out==\r\nContent-Type: image/png\r\n\r\niVBOR\r\n--==out==--\r\n",
         "CONTENT|TYPE|TEXT|PLAIN|INNER|TEXT"},
        {"multipart without a boundary is indexed whole",
         "Content-Type: multipart/mixed\r\n\r\nall of it", "ALL|OF|IT"},
        {"uuencode cut",
         "X-Mailer: x\r\nContent-Transfer-Encoding: x-uuencode\r\n\r\nSee attached\r\nbegin 644 f.zip\r\nM9V]O\r\n",
         "SEE|ATTACHED"},
        {"uuencode at the body start",
         "X-Mailer: x\r\nX-Note: UUENCODE\r\n\r\nbegin 644 f.zip\r\nM9V]O\r\n", ""},
        {"uuencode header without begin line", "X-Mailer: x\r\nX-Enc: uuencode\r\n\r\nJust text", "JUST|TEXT"},
        {"fewer than 15 bytes are not examined", "Message-ID: x", "MESSAGE|ID|X"},
        {"only the first 31 lines are examined",
         [] {
             std::string t;
             for (int i = 0; i < 31; ++i) t += "line\r\n";
             return t + "Message-ID: <1@x>\r\nmore";
         }(),
         [] {
             std::string w;
             for (int i = 0; i < 31; ++i) w += "LINE|";
             return w + "MESSAGE|ID|1|X|MORE";
         }()},
    };
    for (const Case& c : cases) EXPECT_EQ(words(mailBodyRange(c.text).of(c.text)), c.words) << c.name;
}

TEST(Footer, Removal) {
    const Case cases[] = {
        {"last paragraph after an empty line", "Hello world.\r\n\r\nJoe Smith\r\nTag line here", "HELLO|WORLD"},
        {"no empty line", "Line one\r\nline two\r\nline three", "LINE|ONE|LINE|TWO|LINE|THREE"},
        {"a line of blanks and dashes counts as empty", "Body text\r\n -- \r\nSig", "BODY|TEXT"},
        {"last of several empty lines", "One\r\n\r\nTwo\r\n\r\nFooter", "ONE|TWO"},
        {"REPL line dropped", "Thanks for the help.\r\nReply", "THANKS|FOR|THE|HELP"},
        {"REPL line dropped, then the footer", "Body\r\n\r\nFooter line\r\nSee replies.", "BODY"},
        {"REPL on the only line stays", "Please reply", "PLEASE|REPLY"},
        {"empty lines at the start only", "\r\n\r\nText here\r\nmore", "TEXT|HERE|MORE"},
        {"trailing empty lines and blanks", "Body one\r\nBody two\r\n\r\n   \r\n   ", "BODY|ONE|BODY|TWO"},
        {"separators only", " .-\r\n\r\n!! ", ""},
        {"non-ASCII last word", "Grüße\r\n\r\nÄrger", "GRÜSSE"},
    };
    for (const Case& c : cases) EXPECT_EQ(words(textWithoutFooter(c.text).of(c.text)), c.words) << c.name;
}

TEST(IndexRegions, ByDatabaseType) {
    const std::string text = "Body\r\n\r\nFooter";
    IndexRegions forum = messageIndexRegions(TypeForum, "Thread heading     ", text, 0);
    EXPECT_EQ(forum.heading, "Thread heading");
    EXPECT_EQ(words(forum.text), "BODY");

    const std::string padded = text + "   ";
    IndexRegions withFooters = messageIndexRegions(TypeNewsgroup, "Heading", padded, 1);
    EXPECT_EQ(withFooters.text, text);

    const std::string mail = "From: a\r\nMessage-ID: <x>\r\nno empty line";
    IndexRegions m = messageIndexRegions(TypeMail, "Subject line   ", mail, 0);
    EXPECT_EQ(m.heading, "Subject line");
    EXPECT_TRUE(m.text.empty());
    // Footers are not removed from mail.
    EXPECT_EQ(mailIndexRegions("s", text).text, text);
}

}  // namespace
}  // namespace pm
