// Every mail and news format imports its sample file end to end: numbers of
// messages, senders, dates, subjects and threads, and the texts and fields
// that the format's own rules decide.
#include <gtest/gtest.h>

#include <cctype>

#include "common/dates.h"
#include "formats_fixture.h"
#include "splitter_support.h"

namespace pm::test {
namespace {

using FormatImport = FormatImportTest;

const std::string Lunch = "Lunch on Friday";
const std::string Greetings = "Grüße aus Zürich";
const std::string Pointer = "Pointer question";
const std::string Style = "Style guide";

struct FormatCase {
    const char* format;
    const char* file;
    const char* database;
    std::size_t messages, senders, dated;
    std::set<std::string> subjects;
    long long threads;  // -1: a mail database keeps none
    long long skipped;
};

const FormatCase kCases[] = {
    {"Eudora", "eudora/In.mbx", "Inbox", 2, 2, 2, {Lunch, Greetings}, -1, 0},
    {"Eudora", "eudora/All.mbx", "Inbox", 3, 3, 3, {Lunch, Greetings}, -1, 0},
    {"IE Mail", "ie-mail/Inbox.mbx", "Inbox", 4, 4, 4, {Lunch, Greetings, "Soft breaks"}, -1, 0},
    {"Outlook Express 4 Mail", "ie-mail/Inbox.mbx", "Inbox", 4, 4, 4, {Lunch, Greetings, "Soft breaks"}, -1, 0},
    {"Outlook Express 5 Mail", "oe5-dbx/Inbox.dbx", "Inbox", 3, 3, 3, {Lunch, "Soft breaks"}, -1, 1},
    {"Pegasus", "pegasus/Folder.pmm", "Inbox", 3, 3, 3, {Lunch, Greetings}, -1, 0},
    {"Generic Mail Type 1", "generic-mail-1/Mail.txt", "Inbox", 4, 4, 4, {Lunch, Greetings, "Forwarded note"}, -1, 0},
    {"Becky Mail", "generic-mail-1/Mail.txt", "Inbox", 4, 4, 4, {Lunch, Greetings, "Forwarded note"}, -1, 0},
    {"Agent Mail", "generic-mail-1/Mail.txt", "Inbox", 4, 4, 4, {Lunch, Greetings, "Forwarded note"}, -1, 0},
    {"Generic Mail Type 2", "generic-mail-2/inbox.mbox", "Inbox", 3, 3, 3, {Lunch, Greetings}, -1, 0},
    {"Netscape Mail", "netscape-mail/Inbox", "Inbox", 3, 3, 3, {Lunch, Greetings}, -1, 0},
    // The third article has no "Lines:": its body ends at the quoted
    // "From:" line, which starts a block without a newsgroup (skipped).
    {"IE News", "ie-news/comp.lang.c.nch", "comp.lang.c", 3, 2, 3, {Pointer, Style}, 2, 1},
    {"Outlook Express 4 News", "ie-news/comp.lang.c.nch", "comp.lang.c", 3, 2, 3, {Pointer, Style}, 2, 1},
    {"Netscape News", "netscape-news/comp.lang.c.snm", "comp.lang.c", 2, 2, 2, {Pointer}, 1, 0},
    {"Outlook Express 5 News", "oe5-dbx/comp.lang.c.dbx", "comp.lang.c", 3, 2, 3, {Pointer, Style}, 2, 0},
    {"Unix News", "unix-news/comp.lang.c.txt", "comp.lang.c", 3, 2, 3, {Pointer, Style}, 2, 0},
    {"Agent News", "agent-news/comp.lang.c.txt", "comp.lang.c", 3, 2, 3, {Pointer, Style}, 2, 0},
    {"Gravity", "gravity/comp.lang.c.txt", "comp.lang.c", 3, 2, 3, {Pointer, Style}, 2, 0},
};

class EveryFormat : public FormatImportTest, public ::testing::WithParamInterface<FormatCase> {};

TEST_P(EveryFormat, ImportsItsSampleFile) {
    const FormatCase& c = GetParam();
    SCOPED_TRACE(std::string(c.format) + " " + c.file);
    const ImportCounts counts = import(c.format, {sampleFile(c.file)});
    EXPECT_EQ(counts.outcome, ImportOutcome::Completed);
    EXPECT_EQ(counts.imported, static_cast<long long>(c.messages));
    EXPECT_EQ(counts.skipped, c.skipped);
    const DatabaseContents db = contents(c.database);
    ASSERT_TRUE(db.found);
    EXPECT_EQ(db.messages.size(), c.messages);
    EXPECT_EQ(db.senders(), c.senders);
    EXPECT_EQ(db.dated(), c.dated);
    EXPECT_EQ(db.subjects(), c.subjects);
    if (c.threads >= 0) {
        EXPECT_EQ(db.threads, c.threads);
    }
    for (const StoredMessage& m : db.messages) EXPECT_FALSE(m.text.empty()) << m.subject;
}

std::string caseName(const ::testing::TestParamInfo<FormatCase>& info) {
    std::string name = std::string(info.param.format) + "_" + info.param.file;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Samples, EveryFormat, ::testing::ValuesIn(kCases), caseName);

TEST_F(FormatImport, MailFieldsDatesAndTextsAreDecodedOnce) {
    ASSERT_EQ(import("Generic Mail Type 2", {sampleFile("generic-mail-2/inbox.mbox")}).imported, 3);
    const DatabaseContents db = contents("Inbox");
    ASSERT_EQ(db.messages.size(), 3u);
    const StoredMessage& anna = db.messages[0];
    EXPECT_EQ(anna.subject, Lunch);
    EXPECT_EQ(anna.senderName, "Miller");
    EXPECT_EQ(anna.senderAddress, "anna@example.com");
    EXPECT_EQ(anna.date, dayNumber(1997, 3, 3));
    EXPECT_EQ(anna.time, (10 * 3600 + 15 * 60) * 100);  // the zone is not applied
    // An escaped mailbox line stays in the text as written.
    EXPECT_EQ(anna.text, "Shall we meet at noon?\r\nAnna\r\n>From the mailbox: this line was escaped.\r\n");

    // Quoted-printable: any byte, read in the part's charset; soft breaks joined.
    const StoredMessage& bob = db.messages[1];
    EXPECT_EQ(bob.senderName, "Jones");
    EXPECT_EQ(bob.text, "The café costs = 5 Euro and is really good.\r\nFrom there it is close.\r\nBob\r\n");

    // Sent by the owner: encoded words of one charset joined, the Base64
    // text part chosen over the HTML one.
    const StoredMessage& sent = db.messages[2];
    EXPECT_EQ(sent.subject, Greetings);
    EXPECT_EQ(sent.senderAddress, "me@home.example");
    EXPECT_EQ(sent.receiverAddress, "anna@example.com");
    EXPECT_EQ(sent.text, "Grüße aus Zürich!\r\n");
}

TEST_F(FormatImport, FolderRecordsJoinSoftBreaksOnlyWhereNoEncodingIsDeclared) {
    ASSERT_EQ(import("IE Mail", {sampleFile("ie-mail/Inbox.mbx")}).imported, 4);
    const DatabaseContents ie = contents("Inbox");
    ASSERT_EQ(ie.messages.size(), 4u);
    const StoredMessage* soft = ie.bySubject("Soft breaks");
    ASSERT_NE(soft, nullptr);
    EXPECT_EQ(soft->text,
              "This line was broken by the sender's software and is one line.\r\n"
              "A blank before the break stays: here.\r\n"
              "Equations: a =3D b keep their escapes.\r\n");
    // The declared quoted-printable message is decoded once, not twice.
    EXPECT_EQ(ie.messages[1].text, "The café costs = 5 Euro and is really good.\r\nFrom there it is close.\r\nBob\r\n");
    // Record padding never reaches a text.
    for (const StoredMessage& m : ie.messages) EXPECT_EQ(m.text.find('\0'), std::string::npos);
}

TEST_F(FormatImport, BlockChainsKeepSoftBreaksTheyDoNotDeclare) {
    ASSERT_EQ(import("Outlook Express 5 Mail", {sampleFile("oe5-dbx/Inbox.dbx")}).imported, 3);
    const DatabaseContents db = contents("Inbox");
    const StoredMessage* chained = db.bySubject("Soft breaks");
    ASSERT_NE(chained, nullptr);
    // The chain jumped over a foreign block; its two pieces join seamlessly.
    EXPECT_NE(chained->text.find("softw=\r\nare"), std::string::npos);
    EXPECT_NE(chained->text.find("More text.\r\nMore text.\r\n"), std::string::npos);
}

TEST_F(FormatImport, EudoraTableOfContentsChoosesTheListedMessages) {
    ASSERT_EQ(import("Eudora", {sampleFile("eudora/In.mbx")}).imported, 2);
    const DatabaseContents listed = contents("Inbox");
    ASSERT_EQ(listed.messages.size(), 2u);
    EXPECT_EQ(listed.messages[0].senderName, "Miller");
    // The deleted second message does not spill into the first.
    EXPECT_EQ(listed.messages[0].text, "Shall we meet at noon?\r\nAnna\r\n");
    EXPECT_EQ(listed.messages[1].subject, Greetings);
}

TEST_F(FormatImport, PegasusDatesDropTheWeekday) {
    ASSERT_EQ(import("Pegasus", {sampleFile("pegasus/Folder.pmm")}).imported, 3);
    const DatabaseContents db = contents("Inbox");
    EXPECT_EQ(db.messages[0].date, dayNumber(1997, 3, 3));
    EXPECT_EQ(db.messages[1].date, dayNumber(1997, 3, 4));
    EXPECT_EQ(db.messages[1].time, 8 * 3600 * 100);
    EXPECT_EQ(db.messages[2].date, dayNumber(1997, 3, 5));
}

TEST_F(FormatImport, HeaderDrivenMailKeepsAQuotedFromLineInItsBody) {
    ASSERT_EQ(import("Generic Mail Type 1", {sampleFile("generic-mail-1/Mail.txt")}).imported, 4);
    const DatabaseContents db = contents("Inbox");
    const StoredMessage* note = db.bySubject("Forwarded note");
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->text,
              "Look at this:\r\n\r\nFrom: someone@else.example\r\nwrote something worth keeping.\r\n\r\nDora\r\n");
}

TEST_F(FormatImport, NewsArticlesThreadByReferencesAndAddressAll) {
    ASSERT_EQ(import("Unix News", {sampleFile("unix-news/comp.lang.c.txt")}).imported, 3);
    EXPECT_EQ(databases(), (std::vector<std::string>{"Inbox", "comp.lang.c"}));
    const DatabaseContents db = contents("comp.lang.c");
    ASSERT_EQ(db.messages.size(), 3u);
    const StoredMessage& question = db.messages[0];
    const StoredMessage& answer = db.messages[1];
    EXPECT_EQ(answer.ref, question.number);
    EXPECT_EQ(answer.thread, question.thread);
    EXPECT_NE(db.messages[2].thread, question.thread);
    EXPECT_EQ(question.receiverName, "All");
    EXPECT_EQ(answer.receiverAddress, "dave@news.example");  // the parent's sender
    EXPECT_EQ(question.text, "Why does this crash?\r\nchar *p; *p = 1;\r\n");
    // Neither a "From " line without "@" nor one past 100 characters separates.
    EXPECT_NE(db.messages[2].text.find("From the book, chapter 5.\r\nFrom dave@news.example xxx"), std::string::npos);
}

TEST_F(FormatImport, NewsCacheBodiesFollowTheirLinesCount) {
    ASSERT_EQ(import("IE News", {sampleFile("ie-news/comp.lang.c.nch")}).imported, 3);
    const DatabaseContents db = contents("comp.lang.c");
    ASSERT_EQ(db.messages.size(), 3u);
    // Two counted lines, then cache padding that is no text.
    EXPECT_EQ(db.messages[0].text, "Why does this crash?\r\nchar *p; *p = 1;\r\n");
    EXPECT_EQ(db.messages[1].text, "> Why does this crash?\r\n\r\np points nowhere.\r\n");
    EXPECT_EQ(db.messages[2].text, "Read K&R first.\r\n");
}

TEST_F(FormatImport, NetscapeNewsSplitsCompuServeSendersByTheirIdentifier) {
    ASSERT_EQ(import("Netscape News", {sampleFile("netscape-news/comp.lang.c.snm")}).imported, 2);
    const DatabaseContents db = contents("comp.lang.c");
    ASSERT_EQ(db.messages.size(), 2u);
    EXPECT_EQ(db.messages[0].senderName, "Bloggs");
    EXPECT_EQ(db.messages[0].senderAddress, "76543,210");
    // An Internet sender keeps its address without angle brackets.
    EXPECT_EQ(db.messages[1].senderAddress, "ellen@news.example");
}

TEST_F(FormatImport, VirtualAccessSortsItsThreeKinds) {
    const ImportCounts counts = import("VirtualAccess", {sampleFile("virtual-access/Messages")});
    EXPECT_EQ(counts.imported, 5);
    EXPECT_EQ(counts.skipped, 1);  // the message without its rule line
    EXPECT_EQ(databases(), (std::vector<std::string>{"Inbox", "PHOTOFORUM", "comp.lang.c"}));

    const DatabaseContents forum = contents("PHOTOFORUM");
    ASSERT_EQ(forum.messages.size(), 2u);
    EXPECT_EQ(forum.messages[0].number, 123456u);
    EXPECT_EQ(forum.messages[0].date, dayNumber(1997, 3, 12));
    EXPECT_EQ(forum.messages[0].senderAddress, "76543,210");
    EXPECT_EQ(forum.messages[1].number, 123460u);
    EXPECT_EQ(forum.messages[1].ref, 123456u);
    EXPECT_EQ(forum.messages[1].date, dayNumber(1997, 3, 13));
    EXPECT_EQ(forum.threads, 1);

    const DatabaseContents mail = contents("Inbox");
    ASSERT_EQ(mail.messages.size(), 2u);
    EXPECT_EQ(mail.messages[0].senderAddress, "70000,123");
    EXPECT_EQ(mail.messages[0].receiverAddress, "me@home.example");
    // "You" is the owner.
    EXPECT_EQ(mail.messages[1].senderAddress, "me@home.example");
    EXPECT_EQ(mail.messages[1].receiverAddress, "70000,123");
    EXPECT_EQ(contents("comp.lang.c").messages.size(), 1u);

    // A second run keeps the register's forum messages out.
    const ImportCounts again = import("VirtualAccess", {sampleFile("virtual-access/Messages")});
    EXPECT_EQ(again.imported, 0);
    EXPECT_EQ(contents("PHOTOFORUM").messages.size(), 2u);
}

TEST_F(FormatImport, StoredTextIsUtf8WhateverTheBodyWasWrittenIn) {
    const std::string mbox =
        "From a@b\nFrom: a@b\nSubject: no charset, old bytes\nDate: 1 Mar 1997 10:00\n\n\x93quoted\x94 caf\xE9\n"
        "From a@b\nFrom: a@b\nSubject: no charset, UTF-8\nDate: 2 Mar 1997 10:00\n\ncaf\xC3\xA9 \xE2\x82\xAC\n"
        "From a@b\nFrom: a@b\nSubject: =?koi8-r?B?8NLJ18XU?=\nDate: 3 Mar 1997 10:00\n"
        "Content-Type: text/plain; charset=koi8-r\n\n\xF0\xD2\xC9\xD7\xC5\xD4\n"
        "From a@b\nFrom: a@b\nSubject: long\nDate: 4 Mar 1997 10:00\n\n";
    std::string longBody;
    for (int i = 0; i < 1000; ++i) longBody += std::string(68, 'y') + "\n";
    const std::string path = root / "charsets.mbox";
    test::writeFile(path, mbox + longBody);
    ASSERT_EQ(import("Generic Mail Type 2", {path}).imported, 4);
    const DatabaseContents db = contents("Inbox");
    ASSERT_EQ(db.messages.size(), 4u);
    EXPECT_EQ(db.messages[0].text, "\u201Cquoted\u201D café\r\n");  // Windows-1252
    EXPECT_EQ(db.messages[1].text, "café €\r\n");
    EXPECT_EQ(db.messages[2].subject, "Привет");
    EXPECT_EQ(db.messages[2].text, "Привет\r\n");
    // A text beyond the limit keeps 63,998 bytes and a final line end: 914
    // whole lines of 70 bytes and 18 bytes of the next.
    const std::string& cut = db.messages[3].text;
    EXPECT_EQ(cut.size(), 64000u);
    EXPECT_TRUE(cut.ends_with("\r\n" + std::string(18, 'y') + "\r\n"));
}

TEST_F(FormatImport, ACallHandlesAtMostTheQuotaOfMessages) {
    ImportOptions options;
    options.quota = 2;
    ImportRun run(requestFor("Generic Mail Type 1", {sampleFile("generic-mail-1/Mail.txt")}), options);
    long long before = 0;
    int parseCalls = 0;
    // Storing begins with the first message of a mail run: count the calls
    // until the reading ends.
    const auto reading = [&] {
        const ImportState s = run.state();
        return s == ImportState::NextDirectory || s == ImportState::NextFile || s == ImportState::Parse;
    };
    while (run.step() == JobStatus::Running && reading()) {
        const long long written = run.progress().workRecords;
        EXPECT_LE(written - before, 2);
        if (written > before) ++parseCalls;
        before = written;
    }
    EXPECT_EQ(parseCalls, 2);  // four messages, two a call
    EXPECT_EQ(run.runToEnd(), ImportOutcome::Completed);
    EXPECT_EQ(run.progress().imported, 4);
}

TEST_F(FormatImport, SmallQuotasGiveTheSameResultOverMoreCalls) {
    const ImportCounts counts = import("Generic Mail Type 1", {sampleFile("generic-mail-1/Mail.txt")}, 1);
    EXPECT_EQ(counts.imported, 4);
    EXPECT_EQ(contents("Inbox").subjects(), (std::set<std::string>{Lunch, Greetings, "Forwarded note"}));
}

// A mailbox of `count` (at most 60) mails with subjects "Mail 0" ... a
// minute apart in file order, a
// block without a header after the third and an empty block after the
// fifth: the read-ahead cuts it into many batches at small quotas.
std::string numberedMailbox(int count) {
    std::string mbox;
    for (int i = 0; i < count; ++i) {
        mbox += "From a@b Sat Mar  1 10:00:00 1997\nFrom: Sender " + std::to_string(i % 4) +
                " <s" + std::to_string(i % 4) + "@example.org>\nSubject: Mail " + std::to_string(i) +
                "\nDate: 1 Mar 1997 10:" + (i < 10 ? "0" : "") + std::to_string(i) + "\n\nText of mail " + std::to_string(i) + "\n\n";
        if (i == 2) mbox += "From a@b Sat Mar  1 10:00:00 1997\nno header in this block\n\n";
        if (i == 4) mbox += "From a@b Sat Mar  1 10:00:00 1997\n\n\n";
    }
    return mbox;
}

TEST_F(FormatImport, ReadAheadKeepsFileOrderAcrossBatches) {
    const std::string path = root / "numbered.mbox";
    test::writeFile(path, numberedMailbox(40));
    // Batches of three, two of them read ahead: many hand-overs.
    const ImportCounts counts = import("Generic Mail Type 2", {path}, 3);
    EXPECT_EQ(counts.outcome, ImportOutcome::Completed);
    EXPECT_EQ(counts.workRecords, 40);
    EXPECT_EQ(counts.skipped, 1);  // the headerless block; the empty one is no message
    const DatabaseContents db = contents("Inbox");
    ASSERT_EQ(db.messages.size(), 40u);
    for (std::size_t i = 0; i < db.messages.size(); ++i) {
        EXPECT_EQ(db.messages[i].subject, "Mail " + std::to_string(i));
        EXPECT_EQ(db.messages[i].senderAddress, "s" + std::to_string(i % 4) + "@example.org");
        if (i > 0) {
            EXPECT_GT(db.messages[i].number, db.messages[i - 1].number);
        }
    }
    // A second run finds every mail already there.
    EXPECT_EQ(import("Generic Mail Type 2", {path}, 3).imported, 0);
}

TEST_F(FormatImport, AStopWhileReadingAheadEndsTheReaderAndStoresNothing) {
    const std::string path = root / "numbered.mbox";
    test::writeFile(path, numberedMailbox(60));
    ImportOptions options;
    options.quota = 2;
    // A mail run stores from its first message on; here the messages wait
    // for the end of the reading.
    options.twoPhase = true;
    {
        ImportRun run(requestFor("Generic Mail Type 2", {path}), options);
        while (run.progress().workRecords < 4) ASSERT_EQ(run.step(), JobStatus::Running);
        ASSERT_EQ(run.state(), ImportState::Parse);
        EXPECT_TRUE(run.requestStop(StopRequest::Now));
        EXPECT_EQ(run.outcome(), ImportOutcome::Cancelled);
    }
    EXPECT_TRUE(contents("Inbox").messages.empty());
    // Nothing of the stopped run is left over: the next run reads it all.
    const ImportCounts again = import("Generic Mail Type 2", {path}, 2);
    EXPECT_EQ(again.imported, 60);
    EXPECT_EQ(contents("Inbox").messages.size(), 60u);
}

}  // namespace
}  // namespace pm::test
