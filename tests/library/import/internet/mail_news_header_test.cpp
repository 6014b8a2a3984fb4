// The mail and news header analyses end to end on small message texts.
#include <gtest/gtest.h>

#include <string>

#include "common/dates.h"
#include "import/internet/mail_header.h"
#include "import/internet/news_header.h"
#include "import/internet/text_assembly.h"
#include "internet_test_support.h"

namespace pm::inet {
namespace {

// "S=addr/name R=addr/name T=mailType H=heading K=kind B=firstBodyLine".
std::string render(const ParsedHeader& h) {
    return "S=" + h.senderAddress.str() + "/" + h.senderName.str() + " R=" + h.receiverAddress.str() + "/" +
           h.receiverName.str() + " T=" + std::to_string(h.mailType) + " H=" + h.heading.str() +
           " K=" + std::to_string(static_cast<int>(h.contentKind())) + " B=" + std::to_string(h.firstBodyLine);
}

std::string renderIds(const ParsedHeader& h) {
    std::string out = "M=" + std::to_string(h.msgNumber) + " Ref=" + std::to_string(h.refNumber);
    for (const MessageIdPair& p : h.messageIds) out += " " + p.idString.str() + "=" + std::to_string(p.number);
    return out;
}

TEST(MailHeader, Analyses) {
    struct Case {
        const char* name;
        const char* message;
        bool ok;
        const char* rendered;
    };
    const Case cases[] = {
        {"received mail",
         "From: \"John Smith\" <John@X.org>\r\nTo: me@home.example\r\nSubject: Re: Re: hello\r\n"
         "Date: Mon, 5 Jun 1995 22:30:45 -0800\r\n\r\n\r\nbody\r\n",
         true, "S=john@x.org/John Smith R=me@home.example/My Mailbox T=1 H=Re: hello K=0 B=7"},
        {"sent mail (owner address in another case)",
         "from: Me <ME@Home.Example>\r\nto: Ann <ann@y.org>\r\nsubject: hi\r\n\r\nbody\r\n", true,
         "S=me@home.example/My Mailbox R=ann@y.org/Ann T=2 H=hi K=0 B=5"},
        {"folded fields and encoded words",
         "From:\r\n =?ISO-8859-1?Q?Ren=E9?=\r\n <rene@x.fr>\r\nSubject: =?UTF-8?Q?Gr=C3=BC?=\r\n"
         "\t=?UTF-8?Q?=C3=9Fe?= und mehr\r\nContent-Type: text/html\r\n\r\n<p>x</p>\r\n",
         true, "S=rene@x.fr/Ren\xC3\xA9 R=me@home.example/My Mailbox T=1 H=Gr\xC3\xBC\xC3\x9F" "e und mehr K=1 B=8"},
        {"no subject, no date, header without body",
         "From: a@x.org\r\nX-Mailer: test", true, "S=a@x.org/ R=me@home.example/My Mailbox T=1 H= K=0 B=3"},
        {"list mail cross-posted to a newsgroup is mail",
         "From: a@x.org\r\nNewsgroups: comp.lang.c\r\n\r\nbody\r\n", true,
         "S=a@x.org/ R=me@home.example/My Mailbox T=1 H= K=0 B=4"},
        {"multipart without boundary keeps its body as text",
         "From: a@x.org\r\nContent-Type: multipart/mixed\r\n\r\nbody\r\n", true,
         "S=a@x.org/ R=me@home.example/My Mailbox T=1 H= K=0 B=4"},
        {"multipart/digest is taken as it stands",
         "From: a@x.org\r\nContent-Type: multipart/digest\r\n\r\nbody\r\n", true,
         "S=a@x.org/ R=me@home.example/My Mailbox T=1 H= K=0 B=4"},
    };
    for (const Case& c : cases) {
        LineQueue queue = test::queueOf(c.message);
        test::FakeContext context;
        ParsedHeader header;
        bool ok = analyseMailHeader(queue, 1, context, header);
        EXPECT_EQ(ok, c.ok) << c.name;
        if (ok) {
            EXPECT_EQ(render(header), c.rendered) << c.name;
        }
    }
}

TEST(MailHeader, DatesAndHeaderStart) {
    LineQueue queue = test::queueOf(
        "junk before\r\nFrom: a@x.org\r\nDate: Tuesday, 6 Jun 95 08:00:01\r\n\r\nx\r\n");
    test::FakeContext context;
    ParsedHeader header;
    ASSERT_TRUE(analyseMailHeader(queue, 2, context, header, MailHeaderOptions{true}));
    EXPECT_EQ(header.date, dayNumber(1995, 6, 6));
    EXPECT_EQ(header.time, (8 * 3600 + 1) * 100);
    EXPECT_FALSE(analyseMailHeader(queue, 9, context, header));
    EXPECT_FALSE(analyseMailHeader(queue, 0, context, header));
}

TEST(NewsHeader, Analyses) {
    struct Case {
        const char* name;
        const char* message;
        const char* group;
        int kind;
        const char* rendered;
        const char* ids;
        LONG lines = -1;
    };
    const Case cases[] = {
        {"article answering another, group with a database",
         "Path: a!b\r\nFrom: Ann <ann@x.org>\r\nNewsgroups: alt.none, comp.lang.c,misc.test\r\n"
         "Subject: Re: question\r\nDate: 12 Jan 1995 10:11:12 GMT\r\nMessage-ID: <m1@x.org>\r\n"
         "References: <r1@x.org>\r\n     <r2@x.org>\r\nLines: 12\r\n\r\n\r\nbody\r\n",
         "comp.lang.c", 3, "S=ann@x.org/Ann R=/Unknown T=0 H=question K=0 B=12",
         "M=100 Ref=101 <m1@x.org>=100 <r2@x.org>=101", 12},
        {"article without reference, no group with a database",
         "Newsgroups: alt.one,alt.two\r\nFrom: bob@y.org (Bob)\r\nMessage-ID: <m2@y>\r\n\r\nbody\r\n",
         "alt.one", 3, "S=bob@y.org/Bob R=/All T=0 H= K=0 B=5", "M=100 Ref=0 <m2@y>=100"},
        {"in-reply-to with text after the identifier",
         "Newsgroups: alt.one\r\nIn-Reply-To: <p@z> (Ann's message of Monday)\r\nContent-Type: text/html\r\n\r\n<b>x</b>\r\n",
         "alt.one", 3, "S=/ R=/Unknown T=0 H= K=1 B=5", "M=0 Ref=100 <p@z>=100"},
        {"forum message of kind 1 with Fm: and (X)",
         "Subject: Forum topic\r\nFm: Fred <fred@cis.example> (X)\r\nTo: All\r\nDate: 03-Feb-96 09:10\r\n\r\nbody\r\n",
         "", 1, "S=fred@cis.example/Fred R=all/ T=0 H=Forum topic K=0 B=6", "M=0 Ref=0"},
        {"mail sent by You",
         "From: You\r\nTo: Carl <carl@c.org>\r\nSubject: Re: plans\r\nDate: 1 Mar 1997 12:00\r\n\r\ntext\r\n",
         "", 2, "S=me@home.example/My Mailbox R=carl@c.org/Carl T=2 H=plans K=0 B=6", "M=0 Ref=0"},
        {"received mail without To: goes to the owner; Young is not You",
         "From: Young Bob <yb@x.org>\r\nDate: 1 Mar 1997 12:00\r\n\r\nSubject: late subject\r\n\r\nbody\r\n",
         "", 2, "S=yb@x.org/Young Bob R=me@home.example/My Mailbox T=1 H=late subject K=0 B=6", "M=0 Ref=0"},
        {"Reply to: gives the subject of a non-news message",
         "Subject: first\r\nReply to: second\r\nTo: x@y.z\r\n\r\nbody\r\n",
         "", 1, "S=/ R=x@y.z/ T=0 H=second K=0 B=5", "M=0 Ref=0"},
        {"Reply to: does not change a news article's subject",
         "Newsgroups: g.h\r\nSubject: first\r\nReply to: second\r\n\r\nbody\r\n",
         "g.h", 3, "S=/ R=/All T=0 H=first K=0 B=5", "M=0 Ref=0"},
    };
    for (const Case& c : cases) {
        LineQueue queue = test::queueOf(c.message);
        test::FakeContext context;
        context.databases = {"comp.lang.c", "misc.test"};
        ParsedHeader header;
        ULONG counter = 100;
        ASSERT_TRUE(analyseNewsHeader(queue, 1, counter, context, header)) << c.name;
        EXPECT_EQ(header.forDescription.str(), c.group) << c.name;
        EXPECT_EQ(static_cast<int>(header.newsKind), c.kind) << c.name;  // 1 forum message, 2 mail, 3 article
        EXPECT_EQ(render(header), c.rendered) << c.name;
        EXPECT_EQ(renderIds(header), c.ids) << c.name;
        EXPECT_EQ(header.lineCount, c.lines) << c.name;
        EXPECT_EQ(counter, 100 + header.messageIds.size()) << c.name;
    }
}

TEST(NewsHeader, ParentOfALongReferencesChain) {
    std::string message = "Newsgroups: g\r\nReferences: <first@x>\r\n";
    for (int i = 0; i < 60; ++i) message += " <ancestor" + std::to_string(i) + "@some.long.host.example>\r\n";
    message += "\t<parent@x>\r\nMessage-ID: <me@x>\r\n\r\nbody\r\n";
    LineQueue queue = test::queueOf(message);
    test::FakeContext context;
    ParsedHeader header;
    ULONG counter = 7;
    ASSERT_TRUE(analyseNewsHeader(queue, 1, counter, context, header));
    EXPECT_EQ(renderIds(header), "M=7 Ref=8 <me@x>=7 <parent@x>=8");
}

TEST(NewsHeader, CompuServeRuleAndDates) {
    LineQueue queue = test::queueOf(
        "Subject: Hello\r\nFm: John Smith 12345,678\r\nTo: Sysop\r\nDate: Mi, 3 M\xC3\xA4r 1999 12:00:00\r\n\r\nbody\r\n");
    test::FakeContext context;
    context.cisSplit = [](std::string_view text, std::string& address, std::string& name) {
        std::size_t blank = text.rfind(' ');
        address = blank == std::string_view::npos ? std::string() : std::string(text.substr(blank + 1));
        name = blank == std::string_view::npos ? std::string(text) : std::string(text.substr(0, blank));
    };
    ParsedHeader header;
    ULONG counter = 1;
    ASSERT_TRUE(analyseNewsHeader(queue, 1, counter, context, header, NewsHeaderOptions{true}));
    EXPECT_EQ(render(header), "S=12345,678/John Smith R=/Sysop T=0 H=Hello K=0 B=6");
    EXPECT_EQ(header.date, dayNumber(1999, 3, 3));
    EXPECT_EQ(header.time, 12 * 3600 * 100);
}

TEST(NewsHeader, MultipartArticleBody) {
    LineQueue queue = test::queueOf(
        "Newsgroups: g\r\nMessage-ID: <1@g>\r\nContent-Type: multipart/alternative; boundary=\"bnd2\"\r\n\r\n"
        "--bnd2\r\nContent-Type: text/html; charset=iso-8859-1\r\n\r\n<p>caf&eacute; \xE9</p>\r\n--bnd2--\r\n");
    test::FakeContext context;
    ParsedHeader header;
    ULONG counter = 5;
    ASSERT_TRUE(analyseNewsHeader(queue, 1, counter, context, header));
    EXPECT_EQ(header.contentKind(), ContentKind::Html);
    EXPECT_EQ(assembleText(queue, header.firstBodyLine, queue.size(), header.body), "caf\xC3\xA9 \xC3\xA9\r\n");
}

}  // namespace
}  // namespace pm::inet
