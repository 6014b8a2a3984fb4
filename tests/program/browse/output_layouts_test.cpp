// The layouts messages are written out in: exact bytes of each layout on the
// sample databases (dates, separators, ">From " quoting, code pages,
// re-wrapping, the banner), and the files and sets CopyMsg writes.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "browse_fixture.h"
#include "common/dates.h"
#include "common/globals.h"
#include "sets/copy_msg.h"
#include "sets/output_layouts.h"
#include "tables/config/settings.h"
#include "tables/records/all_tables.h"

namespace pm::test {

namespace {

OutputMessage readMessage(ULONG number) {
    OutputMessage m;
    EXPECT_TRUE(readOutputMessage(number, m)) << number;
    return m;
}

// The mail of the sample mailbox with subject `subject`.
ULONG mailWithSubject(const std::string& subject) {
    Mail.clear();
    Mail.set(MAI_DateKey);
    while (Mail.next() == StorageStatus::Ok)
        if (MAI.SUBJECT.str() == subject) return MAI.MAILID;
    return 0;
}

}  // namespace

class OutputLayouts : public BrowseTest {};

TEST_F(OutputLayouts, ForumReplyInTapcisAndOzWinII) {
    openSample(TypeForum);
    const OutputMessage reply = readMessage(101);
    // TAPCIS: the reply's subject carries its parent; the names in code page 850.
    EXPECT_EQ(layoutBlock(OutputLayout::Tapcis, reply, {}),
              "#: 101 S1/General  [Test Forum]\r\n"
              "    10-Nov-00 00:00:00 \r\n"
              "Sb: #100-Hello\r\n"
              "Fm: \x8Erger M\x81ller 22222,1\r\n"
              "To: John Smith 12345,678\r\n"
              "\r\n"
              "Text of message 101.\r\n"
              "Second line.\r\n"
              "\r\n");
    // OzWin II: Windows-1252, the parent left-aligned after "Par:".
    EXPECT_EQ(layoutBlock(OutputLayout::OzWin2, reply, {}),
              "#: 101 S1/General  (CIS:Test Forum)\r\n"
              "    10-Nov-00 00:00:00 \r\n"
              "Sb: Hello\r\n"
              "Fm: \xC4rger M\xFCller 22222,1\r\n"
              "To: John Smith 12345,678\r\n"
              "Replies:      TID:           Par:100        Chd:           Sib:\r\n"
              "\r\n"
              "Text of message 101.\r\n"
              "Second line.\r\n"
              "\r\n");
    // Without a parent the 11 characters after "Par:" stay blank.
    const std::vector<std::string> top = layoutHeaderLines(OutputLayout::OzWin2, readMessage(100));
    EXPECT_EQ(top[5], "Replies:      TID:           Par:           Chd:           Sib:");
    // A forum person without a last name is written as the address alone.
    EXPECT_EQ(outputPersonText({"", "", "76543,21"}, TypeForum), "76543,21");
    EXPECT_EQ(outputPersonText({"Ann", "", "76543,21"}, TypeForum), "76543,21");
    EXPECT_EQ(outputPersonText({"", "", "a@b.c"}, TypeMail), "<a@b.c>");
}

TEST_F(OutputLayouts, PlainCopyCarriesTheBannerAndRewrapsAtTheWidth) {
    openSample(TypeForum);
    OutputMessage m = readMessage(103);
    const std::string dashes(64, '-');
    EXPECT_EQ(plainCopy(m, {}), dashes + "\r\n"
                                "         Message retrieved by Postmoor Message Archiver         \r\n" +
                                    dashes + "\r\n"
                                    "Subject: Hello\r\n"
                                    "From: John Smith 12345,678\r\n"
                                    "To: Zo\xC3\xAB Adams 33333,3\r\n"
                                    "Date: 11-Nov-00\r\n"
                                    "Forum: Test Forum\r\n"
                                    "MsgNo: 103 (reply to 100)\r\n" +
                                    dashes + "\r\nText of message 103.\r\nSecond line.\r\n" + dashes +
                                    "\r\n                          End Of Quote                          \r\n\r\n");
    // Width 0 wraps at 78 characters, at the last blank before the width; a
    // word longer than the width is cut; accented letters count as one.
    m.text = std::string(70, 'a') + " " + std::string(20, 'b') + "\r\n" + std::string(100, 'c') + "\r\n" +
             "\xC3\xA9" + std::string(77, 'd');
    const std::vector<std::string> lines = outputTextLines(m.text, {0, true});
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], std::string(70, 'a'));
    EXPECT_EQ(lines[1], std::string(20, 'b'));
    EXPECT_EQ(lines[2], std::string(78, 'c'));
    EXPECT_EQ(lines[3], std::string(22, 'c'));
    EXPECT_EQ(lines[4], "\xC3\xA9" + std::string(77, 'd'));
    // Without re-wrapping the lines stay as stored, however long.
    EXPECT_EQ(outputTextLines(m.text, {78, false}).size(), 3u);
}

TEST_F(OutputLayouts, MailInEudoraUnixAndOzWinII) {
    openSample(TypeMail);
    OutputMessage received = readMessage(mailWithSubject("Hello World"));
    received.text = "From here on.\r\n>From quoted.\r\nFrom: not a header\r\nFromage";
    EXPECT_EQ(layoutBlock(OutputLayout::Eudora, received, {}),
              "From ???@??? Sat Feb 17 10:01:00 2001\r\n"
              "To: Inbox <me@home.org>\r\n"
              "From: Fred Foreign <fred@else.org>\r\n"
              "Subject: Hello World\r\n"
              "\r\n"
              ">From here on.\r\n"
              ">>From quoted.\r\n"
              "From: not a header\r\n"
              "Fromage\r\n"
              "\r\n");
    EXPECT_EQ(layoutHeaderLines(OutputLayout::UnixRfc822, received),
              (std::vector<std::string>{"From ???@??? Sat Feb 17 10:01:00 2001", "Date: Sat, 17-Feb-01 10:01:00",
                                        "From: Fred Foreign <fred@else.org>", "To: Inbox <me@home.org>",
                                        "Subject: Hello World"}));
    EXPECT_EQ(layoutHeaderLines(OutputLayout::OzWin2, received),
              (std::vector<std::string>{"Date:  17-Feb-01 10:01  MsgID:             ToID: ",
                                        "From:  Fred Foreign >INTERNET:fred@else.org", "Subj:  Hello World",
                                        "Chrg:          Imp:        Sens:        Receipt:       Parts:"}));
    const OutputMessage sent = readMessage(mailWithSubject("Re: Hello World"));
    EXPECT_TRUE(sent.sent);
    EXPECT_FALSE(received.sent);
    EXPECT_EQ(layoutHeaderLines(OutputLayout::OzWin2, sent),
              (std::vector<std::string>{"Date:  17-Feb-01 11:30  MsgID: OUTBOX", "MgTo:  Fred Foreign >INTERNET:fred@else.org",
                                        "Subj:  Re: Hello World"}));
    // TAPCIS mail: the date where TAPCIS writes it, the time as hh:mm, and
    // persons as the navigators wrote them, so their readers split them again.
    const OutputMessage late = readMessage(mailWithSubject("Question"));
    const std::vector<std::string> tapcis = layoutHeaderLines(OutputLayout::Tapcis, late);
    EXPECT_EQ(tapcis[0], "#: " + std::to_string(late.number) + " S0/CompuServe Mail  [MAIL]");
    EXPECT_EQ(tapcis[1], "    16-Feb-01  23:59");
    EXPECT_EQ(tapcis[3], "Fm: Name Unknown >INTERNET:bob@b.org");
    OutputMessage cis = late;
    cis.sender = {"", "", "70000,1"};
    EXPECT_EQ(layoutHeaderLines(OutputLayout::OzWin2, cis)[1], "From:  70000,1");
    EXPECT_EQ(plainHeaderLines(late)[0], "From: Name Unknown <bob@b.org>");
    // TAPCIS converts what code page 850 lacks to a near substitute.
    OutputMessage quotes = late;
    quotes.text = "\xE2\x80\x9Cquoted\xE2\x80\x9D \xE2\x80\x93 caf\xC3\xA9\xC2\xA0ok \xE2\x82\xAC \xE4\xB8\xAD";
    const std::string block = layoutBlock(OutputLayout::Tapcis, quotes, {});
    EXPECT_NE(block.find("\"quoted\" - caf\x82 ok EUR ?\r\n"), std::string::npos) << block;
}

TEST_F(OutputLayouts, NewsInUnixRfc822) {
    openSample(TypeNewsgroup);
    EXPECT_EQ(layoutBlock(OutputLayout::UnixRfc822, readMessage(12), {}),
              "From ???@??? Sat Dec 30 00:00:00 2000\r\n"
              "From: Ana N\xC3\xBA\xC3\xB1\x65z <ana@nunez.es>\r\n"
              "Newsgroups: comp.lang.test\r\n"
              "Date: 30-Dec-2000 00:00:00\r\n"
              "Subject: Parsing dates\r\n"
              "Message-ID: <12@test>\r\n"
              "References: <11@test>\r\n"
              "\r\n"
              "Posting 12\r\n"
              "-- \r\n"
              "sig\r\n"
              "\r\n");
    const std::vector<std::string> plain = plainHeaderLines(readMessage(11));
    EXPECT_EQ(plain.size(), 5u);  // no References without a parent
    EXPECT_EQ(plain[0], " From: Hans W\xC3\xBCst <hans@wuest.de>");
}

TEST_F(OutputLayouts, SetsGoToTheirFilesWithDefaultNamesAndDateRange) {
    openSample(TypeMail);
    Mem.TempDir = root.path();
    const ULONG hello = mailWithSubject("Hello World");
    auto run = [&](CopyRequest request) {
        CopyMsg copy(std::move(request));
        CopyResult r = copy.step(1);
        while (r == CopyResult::More) r = copy.step(2);
        EXPECT_NE(copy.step(3), CopyResult::Failed);
        return copy.written();
    };
    // Eudora with blank names: received mail to InBox.Mbx, sent to OutBox.Mbx.
    CopyRequest eudora;
    eudora.scope = SetScope::Date;
    eudora.origin.current = hello;
    eudora.layout = OutputLayout::Eudora;
    eudora.slice = 1;  // every message its own slice
    EXPECT_EQ(run(eudora), 4);
    const std::string in = readFile(root.path() + "/InBox.Mbx"), out = readFile(root.path() + "/OutBox.Mbx");
    EXPECT_EQ(in.find("Subject: Re: Hello World"), std::string::npos);
    EXPECT_NE(out.find("Subject: Re: Hello World"), std::string::npos);
    EXPECT_NE(in.find("Subject: Question"), std::string::npos);
    // TAPCIS: one file, SaveMail.Txt; the date range passes over the rest.
    CopyRequest tapcis = eudora;
    tapcis.layout = OutputLayout::Tapcis;
    tapcis.dates = {true, 73100, 73100};
    EXPECT_EQ(run(tapcis), 2);
    const std::string saved = readFile(root.path() + "/SaveMail.Txt");
    EXPECT_NE(saved.find("Sb: Hello World"), std::string::npos);
    EXPECT_NE(saved.find("Sb: Re: Hello World"), std::string::npos);
    EXPECT_EQ(saved.find("Sb: Question"), std::string::npos);
    // Appending keeps what was there.
    tapcis.writeMode = 2;
    EXPECT_EQ(run(tapcis), 2);
    EXPECT_EQ(readFile(root.path() + "/SaveMail.Txt"), saved + saved);
    // Equal names of a two-file layout and a name with a directory are
    // refused before anything is written.
    for (OutputFiles files : {OutputFiles{"same.mbx", "SAME.MBX"}, OutputFiles{"../escape.mbx", "b.mbx"}}) {
        CopyRequest bad = eudora;
        bad.files = files;
        CopyMsg copy(bad);
        EXPECT_EQ(copy.step(1), CopyResult::Failed);
        EXPECT_TRUE(ui.sawCaption("Filename error"));
        ui.clear();
    }
    EXPECT_FALSE(std::ifstream(root.path() + "/same.mbx").good());
    EXPECT_FALSE(std::ifstream(root.path() + "/../escape.mbx").good());
}

TEST_F(OutputLayouts, LayoutSettingsOfferWhatEachKindReads) {
    openSample(TypeForum);
    EXPECT_EQ(configuredLayout(TypeForum), OutputLayout::Tapcis);
    EXPECT_EQ(configuredLayout(TypeMail), OutputLayout::Tapcis);
    EXPECT_EQ(configuredLayout(TypeNewsgroup), OutputLayout::UnixRfc822);
    EXPECT_FALSE(setConfiguredLayout(TypeNewsgroup, OutputLayout::Eudora));
    EXPECT_FALSE(setConfiguredLayout(TypeForum, OutputLayout::UnixRfc822));
    EXPECT_TRUE(setConfiguredLayout(TypeMail, OutputLayout::OzWin2));
    EXPECT_EQ(configuredLayout(TypeMail), OutputLayout::OzWin2);
    EXPECT_EQ(offeredOutputFiles(TypeForum, OutputLayout::OzWin2, "Test Forum").first, "TestForu.SAV");
    EXPECT_EQ(offeredOutputFiles(TypeMail, OutputLayout::OzWin2, "Inbox").second, "CISMAIL.OUT");
    EXPECT_EQ(defaultOutputFiles(TypeMail, OutputLayout::Tapcis).first, "SaveMail.Txt");
    EXPECT_TRUE(defaultOutputFiles(TypeMail, OutputLayout::Tapcis).second.empty());
}

}  // namespace pm::test
