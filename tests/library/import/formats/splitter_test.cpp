// Where each splitter family cuts: table-driven over small files, each
// message shown as its queued lines joined with "|".
#include <gtest/gtest.h>

#include <functional>

#include "import/formats/eudora.h"
#include "import/formats/header_splitter.h"
#include "import/formats/marker_splitter.h"
#include "import/formats/news_cache.h"
#include "import/formats/separator_splitter.h"
#include "splitter_support.h"

namespace pm::formats {
namespace {

using test::cutMessages;
using test::TempDir;
using Messages = std::vector<std::string>;
using namespace std::string_literals;

struct SplitCase {
    const char* what;
    std::function<std::unique_ptr<MessageSplitter>()> splitter;
    std::string content;
    Messages expected;
};

void runCases(const std::vector<SplitCase>& cases) {
    for (const SplitCase& c : cases) {
        TempDir dir;
        EXPECT_EQ(cutMessages(c.splitter(), c.content, dir), c.expected) << c.what;
    }
}

TEST(SeparatorSplitters, CutAtTheirSeparatorLinesOnly) {
    runCases({
        {"bytes before the first separator are no message", makeMailboxSplitter,
         "preamble\nFrom a@b Mon Mar  3 10:15:00 1997\nSubject: x\n\nbody\nFrom c@d Tue Mar  4 10:15:00 1997\r\n"
         "Subject: y\r\n",
         {"Subject: x||body", "Subject: y"}},
        {"an escaped line stays", makeMailboxSplitter, "From a@b\nS: 1\n>From here\n", {"S: 1|>From here"}},
        {"only envelope lines separate", makeMailboxSplitter,
         "From a@b\nS: 1\n\nFrom Russia with love\nYear: 1963\nFrom 5 to 7\nFrom x at y.org  Sat Mar  8 08:00 1997\n"
         "S: 2\nFrom -\nS: 3\n",
         {"S: 1||From Russia with love|Year: 1963|From 5 to 7", "S: 2", "S: 3"}},
        {"the escaping convention, told by a twice-escaped line", makeMailboxSplitter,
         "From a@b\nS: 1\n\n>From here\n>>From there\n> From a quote\nFrom c@d\nS: 2\n\n>From again\n",
         {"S: 1||From here|>From there|> From a quote", "S: 2||From again"}},
        {"a count that points at the next envelope", makeMailboxSplitter,
         "From a@b\nS: 1\nContent-Length: 16\n\nFrom c@d\nS: no\n\n\nFrom e@f\nS: 2\n",
         {"S: 1|Content-Length: 16||From c@d|S: no||", "S: 2"}},
        {"a count that points elsewhere", makeMailboxSplitter,
         "From a@b\nS: 1\nContent-Length: 5\n\nFrom c@d\nS: 2\n",
         {"S: 1|Content-Length: 5|", "S: 2"}},
        {"Netscape needs the dash", makeNetscapeMailSplitter, "From - Mon\nS: 1\nFrom a@b\nFrom - \nS: 2\n",
         {"S: 1|From a@b", "S: 2"}},
        {"Unix news: an @ within the first 100 characters", makeUnixNewsSplitter,
         "From a@b Mon\nS: 1\nFrom the book\nFrom a@b " + std::string(100, 'x') + "\nFrom c@d\nS: 2\n",
         {"S: 1|From the book|From a@b " + std::string(100, 'x'), "S: 2"}},
        {"Agent layout on its own line", makeAgentNewsSplitter,
         "========\r\nFrom a@b\r\nS: 1\r\nFrom c@d\r\n========\r\nFrom e@f\r\nS: 2\r\n",
         {"From a@b|S: 1|From c@d", "From e@f|S: 2"}},
        {"Agent layout on the separator line", makeAgentNewsSplitter, "========From a@b\nS: 1\n========From c@d\nS: 2\n",
         {"S: 1", "S: 2"}},
        {"Agent file without the layout reads as Unix news", makeAgentNewsSplitter, "From a@b\nS: 1\nFrom c@d\nS: 2\n",
         {"S: 1", "S: 2"}},
        {"Pegasus: Ctrl-Z after a line end, the file's start begins", makePegasusSplitter,
         "S: 1\r\nbody\r\n\x1A\x1AS: 2\r\n\x1A", {"S: 1|body", "S: 2", ""}},
        {"Pegasus: Ctrl-Z inside a line is text", makePegasusSplitter, "S: 1 \x1A x\r\n", {"S: 1 \x1A x"}},
        {"VirtualAccess: ten = signs", makeVirtualAccessSplitter, "==========\ntitle\n=========\n==========x\nt2\n",
         {"title|=========", "t2"}},
    });
}

// The look for the escaping convention goes through the file in pieces of
// 1 MB: a twice-escaped line is seen wherever it falls, on either side of a
// piece's end or astride it, and at the file's very end.
TEST(SeparatorSplitters, TheEscapingConventionIsFoundAnywhereInALargeFile) {
    constexpr std::size_t Piece = std::size_t{1} << 20;
    const std::string head = "From a@b\nS: 1\n\n";
    for (const std::size_t lineEnd : {Piece - 4, Piece - 2, Piece - 1, Piece, Piece + 1, Piece + 3, 3 * Piece + 7,
                                     // where the first read ends (it reads a window's worth beyond the piece)
                                     Piece + WindowSize - 3, Piece + WindowSize - 2, Piece + WindowSize - 1}) {
        // Filler lines up to the line end before the escaped line (its
        // index in the file), then the line and one more message.
        std::string content = head;
        while (content.size() + 10 < lineEnd) content += "filler...\n";
        content += std::string(lineEnd - content.size(), 'x');
        content += "\n>>From there\nFrom c@d\nS: 2\n\n>From again\n";
        TempDir dir;
        const Messages cut = cutMessages(makeMailboxSplitter(), content, dir);
        ASSERT_EQ(cut.size(), 2u) << lineEnd;
        EXPECT_NE(cut[0].find("|>From there"), std::string::npos) << lineEnd;
        EXPECT_EQ(cut[1], "S: 2||From again") << lineEnd;
    }
    // At the very end, with nothing after it.
    std::string content = head + std::string(Piece + 5, 'y') + "\n>>From the end";
    TempDir dir;
    const Messages cut = cutMessages(makeMailboxSplitter(), content, dir);
    ASSERT_EQ(cut.size(), 1u);
    EXPECT_NE(cut[0].find("|>From the end"), std::string::npos);
}

TEST(HeaderSplitters, FindMessagesByTheirHeaderBlocks) {
    auto mail = [] { return makeHeaderSplitter(false); };
    auto gravity = [] { return makeHeaderSplitter(true); };
    runCases({
        {"back to back", mail, "From: a\r\nSubject: 1\r\n\r\nbody\r\nDate: x\r\nFrom: b\r\n\r\nb2\r\n",
         {"From: a|Subject: 1||body", "Date: x|From: b||b2"}},
        {"a quoted single header line stays", mail, "From: a\nSubject: 1\n\nbody\n\nFrom: quoted\nmore text\n",
         {"From: a|Subject: 1||body||From: quoted|more text"}},
        {"a MIME part header stays", mail,
         "From: a\nContent-Type: multipart/mixed; boundary=b\n\n--b\nContent-Type: text/plain\nContent-Length: 4\n\nx\n",
         {"From: a|Content-Type: multipart/mixed; boundary=b||--b|Content-Type: text/plain|Content-Length: 4||x"}},
        {"a header after control bytes", mail, "junk line\n\x00\x00\x1A" "From: a\nTo: b\n\nx\n"s,
         {"From: a|To: b||x"}},
        {"a header block must be all header lines", mail, "junk\nFrom: a\nnot a header\nSubject: s\n\n", {}},
        {"a message file begins at its start, whatever its header holds", mail,
         "Subject: only\nbroken line\n\nx\n", {"Subject: only|broken line||x"}},
        {"a quoted or forwarded header stays", mail,
         "From: a\nTo: b\n\nreply\n-----Original Message-----\nFrom: c\nSent: today\nTo: b\nSubject: s\n\nold\n"
         "---------- Forwarded message ----------\nFrom: d\nDate: x\nSubject: t\n\nfwd\n",
         {"From: a|To: b||reply|-----Original Message-----|From: c|Sent: today|To: b|Subject: s||old|"
          "---------- Forwarded message ----------|From: d|Date: x|Subject: t||fwd"}},
        {"a multipart body holds its attached messages", mail,
         "From: a\nContent-Type: multipart/mixed; boundary=b\n\n--b\nContent-Type: message/rfc822\n\n"
         "From: c\nDate: x\n\ninner\n--b--\nFrom: d\nDate: y\n\nnext\n",
         {"From: a|Content-Type: multipart/mixed; boundary=b||--b|Content-Type: message/rfc822||From: c|Date: x||inner|--b--",
          "From: d|Date: y||next"}},
        {"a multipart body without its closing line does not swallow the next message", mail,
         "From: a\nContent-Type: multipart/mixed; boundary=b\n\n--b\nContent-Type: text/plain\n\ntext\n"
         "From: d\nDate: y\n\nnext\n",
         {"From: a|Content-Type: multipart/mixed; boundary=b||--b|Content-Type: text/plain||text", "From: d|Date: y||next"}},
        {"an attached message's header belongs to it", mail,
         "From: a\nContent-Type: message/rfc822\n\nFrom: c\nDate: x\n\ninner\n",
         {"From: a|Content-Type: message/rfc822||From: c|Date: x||inner"}},
        {"a line of tabs inside a header is a folded line", mail,
         "From: a\nTo: b,\n\t\n\tc\nDate: x\n\nbody\n", {"From: a|To: b,|\t|\tc|Date: x||body"}},
        {"Gravity needs a blank line before", gravity, "From: a\nSubject: 1\n\nbody\nFrom: b\nSubject: 2\n\nx\n",
         {"From: a|Subject: 1||body|From: b|Subject: 2||x"}},
        {"Gravity after a blank line", gravity, "From: a\nSubject: 1\n\nbody\n\nFrom: b\nSubject: 2\n\nx\n",
         {"From: a|Subject: 1||body|", "From: b|Subject: 2||x"}},
    });
}

TEST(RecordSplitters, FindTheHeaderBehindTheRecordsOwnBytes) {
    const std::string record = std::string("\x7F\x00\x7F\x00\x01\x02\x03", 7);
    runCases({
        {"folder records", makeMarkerSplitter,
         "JMF6 header\r\n" + record + "From: a\r\n\r\nx\r\n" + std::string(5, '\0') + record + "\x05\x06" "Date: d\r\n",
         {"From: a||x", "Date: d"}},
        {"a record without a header keeps its bytes", makeMarkerSplitter, record + "plain\r\n", {"\x01\x02\x03plain"}},
    });
}

std::string cacheRecord(const std::string& id, const std::string& article) {
    return "\xBC" + std::string(21, '\x01') + id + std::string(3, '\0') + article;
}

TEST(RecordSplitters, NewsCachesFollowLinesCountsAndMarkers) {
    runCases({
        {"counted body, padding passed over", makeNewsCacheSplitter,
         cacheRecord("<1@x>", "From: a\r\nLines: 1\r\n\r\nbody\r\nleft over\r\n") + std::string(20, '\0') +
             cacheRecord("<2@x>", "Subject: s\r\n\r\nb2\r\n"),
         {"From: a|Lines: 1||body", "Subject: s||b2"}},
        {"uncounted body runs to the next article start", makeNewsCacheSplitter,
         "Newsgroups: g\nFrom: a\n\nb\nDate: 1\nx\n", {"Newsgroups: g|From: a||b", "Date: 1|x"}},
        {"a lower-case field starts no article", makeNewsCacheSplitter, "From: a\n\nb\nfrom: c\n", {"From: a||b|from: c"}},
        {"0xBC inside text is no marker", makeNewsCacheSplitter, "From: a\n\nM\xC3\xBC" "ller\n",
         {"From: a||M\xC3\xBC" "ller"}},
    });
    EXPECT_EQ(linesFieldCount("Lines: 12"), 12);
    EXPECT_EQ(linesFieldCount("LINES:  3x"), 3);
    EXPECT_EQ(linesFieldCount("Lines: "), -1);
    EXPECT_EQ(linesFieldCount("Lines: x"), -1);
    EXPECT_TRUE(isArticleStartLine("Messages: x"));
    EXPECT_FALSE(isArticleStartLine("Message of the day"));
    EXPECT_FALSE(isArticleStartLine("DATE: x"));
}

TEST(Eudora, TableOfContentsListsTheOffsetsBehindRunsOfSixFF) {
    TempDir dir;
    std::string toc = std::string(10, '\0') + std::string(8, '\xFF') + "\x01" + std::string(40, '\0');
    toc.replace(10 + 2 + 38, 4, std::string("\x10\x00\x00\x00", 4));  // run of six starts at 12
    toc += std::string(6, '\xFF') + std::string(38, '\0');
    toc.replace(toc.size() - 6, 4, std::string("\x00\x01\x00\x00", 4));  // 256, 38 after the second run
    toc += std::string(6, '\xFF');  // a run at the end without a following byte
    test::writeFile(dir / "IN.TOC", toc);
    EXPECT_EQ(readEudoraToc(dir / "IN.TOC"), (std::vector<std::int64_t>{1, 17, 257}));
    EXPECT_EQ(eudoraTocFile(dir / "In.mbx"), dir / "IN.TOC");
    EXPECT_EQ(eudoraTocFile(dir / "In"), "");
    EXPECT_EQ(eudoraTocFile(dir / "Out.mbx"), "");
    EXPECT_TRUE(readEudoraToc(dir / "missing.toc").empty());
}

TEST(Eudora, ListedSeparatorsStartMessagesAndAnySeparatorEndsOne) {
    TempDir dir;
    const std::string mbox = "From ???@??? 1\r\nS: 1\r\nFrom ???@??? 2\r\nS: 2\r\nFrom ???@??? 3\r\nS: 3\r\n";
    // Offsets 0 and 44: the first and the third separator.
    std::string toc = std::string(6, '\xFF') + std::string(38, '\0');
    toc.replace(38, 4, std::string("\x2C\x00\x00\x00", 4));
    test::writeFile(dir / "In.toc", toc);
    EXPECT_EQ(cutMessages(makeEudoraSplitter(), mbox, dir, "In.mbx"), (Messages{"S: 1", "S: 3"}));
    EXPECT_EQ(cutMessages(makeEudoraSplitter(), mbox, dir, "All.mbx"), (Messages{"S: 1", "S: 2", "S: 3"}));
}

}  // namespace
}  // namespace pm::formats
