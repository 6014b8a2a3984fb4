// MIME part selection, transfer encodings, charsets and text assembly, run
// through the mail header analysis as the splitters will run them.
#include <gtest/gtest.h>

#include <string>

#include "import/internet/embedded_message.h"
#include "import/internet/mail_header.h"
#include "import/internet/mime_header.h"
#include "import/internet/text_assembly.h"
#include "internet_test_support.h"

namespace pm::inet {
namespace {

using test::visibleBreaks;

struct Assembled {
    bool ok = false;
    ContentKind kind = ContentKind::Plain;
    std::string text;
};

Assembled assemble(const std::string& message) {
    LineQueue queue = test::queueOf(message);
    test::FakeContext context;
    ParsedHeader header;
    Assembled result;
    result.ok = analyseMailHeader(queue, 1, context, header);
    if (!result.ok) return result;
    result.kind = header.contentKind();
    result.text = assembleText(queue, header.firstBodyLine, queue.size(), header.body);
    return result;
}

const char* const kHead = "From: a@x.org\r\nTo: b@y.org\r\nSubject: s\r\n";

TEST(MimeParts, PartSelection) {
    struct Case {
        const char* name;
        std::string message;
        const char* text;  // "|" = CR LF
        ContentKind kind;
    };
    const std::string alternativeHeader = std::string(kHead) +
        "MIME-Version: 1.0\r\nContent-Type: multipart/alternative; boundary=\"XX1\"\r\n\r\n";
    const Case cases[] = {
        {"plain first",
         alternativeHeader + "preamble\r\n--XX1\r\nContent-Type: text/plain; charset=us-ascii\r\n\r\n"
                             "plain body\r\n--XX1\r\nContent-Type: text/html\r\n\r\n<p>html body</p>\r\n--XX1--\r\nepilogue\r\n",
         "plain body|", ContentKind::Plain},
        {"html first",
         alternativeHeader + "--XX1\r\nContent-Type: text/html; charset=utf-8\r\n\r\n<p>html <b>body</b></p>\r\n"
                             "--XX1\r\nContent-Type: text/plain\r\n\r\nplain body\r\n--XX1--\r\n",
         "html body|", ContentKind::Html},
        {"nested mixed / related / alternative",
         std::string(kHead) + "Content-Type: multipart/mixed;\r\n\tboundary=\"outer\"\r\n\r\n"
             "--outer\r\nContent-Type: multipart/related; boundary=rel; type=\"multipart/alternative\"\r\n\r\n"
             "--rel\r\nContent-Type: multipart/alternative;\r\n boundary=\"alt\"\r\n\r\n"
             "--alt\r\nContent-Type: text/plain; charset=ISO-8859-1\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\n"
             "caf=E9 cr=\r\n=E8me\r\n--alt\r\nContent-Type: text/html\r\n\r\n<b>no</b>\r\n--alt--\r\n"
             "--rel\r\nContent-Type: image/png\r\n\r\niVBORw0KGgo=\r\n--rel--\r\n"
             "--outer\r\nContent-Type: text/plain\r\n\r\nsecond text part\r\n--outer--\r\n",
         "caf\xC3\xA9 cr\xC3\xA8me|", ContentKind::Plain},
        {"attachment before the text",
         std::string(kHead) + "Content-Type: multipart/mixed; boundary=bnd1\r\n\r\n"
             "--bnd1\r\nContent-Type: application/pdf\r\n\r\nJVBERi0=\r\n--bnd1\r\nContent-Type: text/plain\r\n\r\nthe text\r\n--bnd1--\r\n",
         "the text|", ContentKind::Plain},
        {"base64 text part",
         std::string(kHead) + "Content-Type: multipart/mixed; boundary=bnd1\r\n\r\n"
             "--bnd1\r\nContent-Type: text/plain; charset=utf-8\r\nContent-Transfer-Encoding: base64\r\n\r\n"
             "SGFsbMO2Cldl\r\nbHQK\r\n--bnd1--\r\n",
         "Hall\xC3\xB6|Welt|", ContentKind::Plain},
        {"part without a Content-Type is plain text",
         std::string(kHead) + "Content-Type: multipart/mixed; boundary=bnd1\r\n\r\n--bnd1\r\n\r\ndefault text\r\n--bnd1--\r\n",
         "default text|", ContentKind::Plain},
        {"only attachments",
         std::string(kHead) + "Content-Type: multipart/mixed; boundary=bnd1\r\n\r\n--bnd1\r\nContent-Type: image/gif\r\n\r\nR0lG\r\n--bnd1--\r\n",
         "", ContentKind::Plain},
        {"boundary never in the body: kept",
         std::string(kHead) + "Content-Type: multipart/mixed; boundary=nowhere\r\n\r\nthe body\r\n",
         "the body|", ContentKind::Plain},
        {"boundary on an unfolded following line",
         std::string(kHead) + "Content-Type: multipart/mixed;\r\nboundary=\"late\"\r\nX-Other: 1\r\n\r\n"
             "--late\r\nContent-Type: text/plain\r\n\r\nfound\r\n--late--\r\n",
         "found|", ContentKind::Plain},
        {"a quoted boundary-like line in the text stays",
         std::string(kHead) + "Content-Type: multipart/mixed; boundary=bnd1\r\n\r\n--bnd1\r\nContent-Type: text/plain\r\n\r\n"
             "> --bnd1 quoted\r\nmore\r\n--bnd1--\r\n",
         "> --bnd1 quoted|more|", ContentKind::Plain},
        {"empty boundary: parts separated by bare \"--\" lines",
         std::string(kHead) + "Content-Type: multipart/mixed; boundary=\"\"\r\n\r\npreamble\r\n"
             "--\r\nContent-Type: text/plain\r\n\r\nthe text\r\n--\r\nContent-Type: image/gif\r\n\r\nR0lG\r\n----\r\n",
         "the text|", ContentKind::Plain},
        {"empty boundary without any \"--\" line: the body as text",
         std::string(kHead) + "Content-Type: multipart/mixed; boundary=\"\"\r\n\r\njust text\r\n",
         "just text|", ContentKind::Plain},
        {"no boundary parameter at all: the body as text",
         std::string(kHead) + "Content-Type: multipart/mixed\r\n\r\n--xyz\r\nContent-Type: text/plain\r\n\r\nraw\r\n",
         "--xyz|Content-Type: text/plain||raw|", ContentKind::Plain},
        {"enriched part",
         std::string(kHead) + "Content-Type: multipart/alternative; boundary=bnd1\r\n\r\n--bnd1\r\nContent-Type: text/enriched\r\n\r\n"
             "<bold>rich</bold>\r\n--bnd1--\r\n",
         "rich|", ContentKind::Enriched},
    };
    for (const Case& c : cases) {
        Assembled got = assemble(c.message);
        ASSERT_TRUE(got.ok) << c.name;
        EXPECT_EQ(visibleBreaks(got.text), c.text) << c.name;
        EXPECT_EQ(got.kind, c.kind) << c.name;
    }
}

TEST(MimeParts, BoundaryExtraction) {
    struct Case {
        const char* line;
        const char* boundary;
    };
    const Case cases[] = {
        {"Content-Type: multipart/mixed; boundary=\"----=_NextPart_000\"", "----=_NextPart_000"},
        {"Content-Type: multipart/mixed; BOUNDARY=simple; charset=x", "simple"},
        {"\tboundary=\"unclosed;", "unclosed"},
        {"boundary=\"semi;colon\"; x=1", "semi;colon"},
        {"boundary=x", "x"},  // short boundaries are legal
        {"boundary=\"\"", ""},
        {"no parameter here", ""},
        {"boundary=CaseKept", "CaseKept"},
    };
    for (const Case& c : cases) EXPECT_EQ(extractBoundary(c.line), c.boundary) << c.line;
}

TEST(TextAssembly, BodyCharsetsAndEncodings) {
    struct Case {
        const char* name;
        std::string headerLines;
        std::string body;
        const char* text;
        ContentKind kind = ContentKind::Plain;
    };
    const Case cases[] = {
        {"Latin-1 body", "Content-Type: text/plain; charset=\"iso-8859-1\"\r\n", "Gr\xFC\xDF" "e\r\n", "Gr\xC3\xBC\xC3\x9F" "e|"},
        {"UTF-8 body without charset", "", "Gr\xC3\xBC\xC3\x9F" "e\r\n", "Gr\xC3\xBC\xC3\x9F" "e|"},
        {"invalid UTF-8 without charset is Windows-1252", "", "\x93Hi\x94 \x80 5\r\n",
         "\xE2\x80\x9CHi\xE2\x80\x9D \xE2\x82\xAC 5|"},
        {"windows-1251 body", "Content-Type: text/plain; charset=windows-1251\r\n", "\xCF\xF0\xE8\xE2\xE5\xF2\r\n",
         "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82|"},
        {"quoted-printable body", "Content-Transfer-Encoding: Quoted-Printable\r\nContent-Type: text/plain; charset=utf-8\r\n",
         "=41 and caf=C3=A9 and a soft=\r\nbreak, =ZZ kept\r\n", "A and caf\xC3\xA9 and a softbreak, =ZZ kept|"},
        {"base64 single part", "Content-Transfer-Encoding: base64\r\n", "SGVsbG8NCg0KV29ybGQ=\r\n", "Hello||World|"},
        {"top-level html", "Content-Type: text/html\r\n", "<html><p>Hi &amp; bye</p></html>\r\n", "Hi & bye|",
         ContentKind::Html},
        {"top-level enriched", "Content-Type: text/enriched\r\n", "<italic>it</italic>\r\n", "it|", ContentKind::Enriched},
        {"plain text that is HTML", "", "<HTML><BODY>x<BR>y</BODY></HTML>\r\n", "x|y|"},
        {"HTML beyond the eighth character stays plain", "", "<!DOCTYPE html><b>x</b>\r\n", "<!DOCTYPE html><b>x</b>|"},
        {"leading blank lines skipped", "", "\r\n\r\n  indented\r\n\r\nsecond\r\n", "  indented||second|"},
        {"removal mark text left out", "", "a\r\n!!!Remove this!!!\r\n!!!Remove this!!! too\r\nb\r\n", "a|b|"},
    };
    for (const Case& c : cases) {
        Assembled got = assemble(std::string(kHead) + c.headerLines + "\r\n" + c.body);
        ASSERT_TRUE(got.ok) << c.name;
        EXPECT_EQ(visibleBreaks(got.text), c.text) << c.name;
        EXPECT_EQ(got.kind, c.kind) << c.name;
    }
}

TEST(TextAssembly, ContinuedPiecesJoinDirectly) {
    LineQueue queue;
    queue.push(std::string(1000, 'x'));
    queue.push("next");
    EXPECT_EQ(assembleText(queue, 1, queue.size(), {}), std::string(1000, 'x') + "\r\nnext\r\n");
}

TEST(TextAssembly, SeventyThousandCharactersAreCut) {
    // 1,000 lines of 68 characters + CR LF = 70,000 characters.
    std::string body;
    for (int i = 0; i < 1000; ++i) {
        std::string line = std::to_string(i);
        line += std::string(68 - line.size(), 'a' + i % 26);
        body += line + "\r\n";
    }
    ASSERT_EQ(body.size(), 70000u);
    Assembled got = assemble(std::string(kHead) + "\r\n" + body);
    ASSERT_EQ(got.text.size(), 64000u);
    EXPECT_EQ(got.text.substr(0, 63998), body.substr(0, 63998));
    EXPECT_EQ(got.text.substr(63998), "\r\n");
}

TEST(TextAssembly, LengthRuleCountsWholeCharactersAndKeepsShortTexts) {
    // 64,001 characters: 63,998 stay, the second "é" goes.
    std::string text = std::string(63997, 'a') + "\xC3\xA9\xC3\xA9\r\n";
    limitMessageText(text);
    EXPECT_EQ(text, std::string(63997, 'a') + "\xC3\xA9\r\n");

    // 40,000 two-byte characters are 80,000 bytes but far below the limit.
    std::string accents;
    for (int i = 0; i < 40000; ++i) accents += "\xC3\xA9";
    accents += "\r\n";
    std::string kept = accents;
    limitMessageText(kept);
    EXPECT_EQ(kept, accents);

    std::string exact = std::string(63998, 'b') + "\r\n";
    std::string copy = exact;
    limitMessageText(copy);
    EXPECT_EQ(copy, exact);

    // A line that ends exactly at 63,999 bytes, then another line.
    std::string edge = std::string(63997, 'c') + "\r\n" + "next\r\n";
    limitMessageText(edge);
    EXPECT_EQ(edge, std::string(63997, 'c') + "\r\n");
}

TEST(EmbeddedMessage, CaptureMailWithAnInternetBody) {
    LineQueue queue = test::queueOf(
        "Received: from x\r\nContent-Type: multipart/alternative; boundary=\"bnd1\"\r\n\r\n\r\n"
        "--bnd1\r\nContent-Type: text/html\r\n\r\n<p>Hello</p>\r\n--bnd1--\r\n");
    ASSERT_TRUE(startsEmbeddedHeader(queue.text(1)));
    EmbeddedBody body = analyseEmbeddedHeader(queue, 1, queue.size());
    EXPECT_EQ(body.body.kind, ContentKind::Html);
    EXPECT_EQ(assembleText(queue, body.firstTextLine, queue.size(), body.body), "Hello\r\n");

    LineQueue sniffed = test::queueOf("From: x@y\r\n\r\n<html>   <body>Hi</body>\r\n");
    body = analyseEmbeddedHeader(sniffed, 1, sniffed.size());
    EXPECT_EQ(body.firstTextLine, 3u);
    EXPECT_EQ(body.body.kind, ContentKind::Html);

    EXPECT_FALSE(startsEmbeddedHeader("Hello there"));
}

}  // namespace
}  // namespace pm::inet
