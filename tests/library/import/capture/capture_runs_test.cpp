// Import runs over capture files that exercise the rules around the
// messages: skips, reimport, create-databases-only, damaged and foreign
// files, slices, and the real captures of the corpus.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "capture_fixture.h"
#include "common/globals.h"

namespace pm::test {
namespace {

using CaptureRuns = CaptureImportTest;

const char* const kNotAMessageFile = "Not a Forum message or mail file!\r\nMessages will not be imported!";

std::string writeFile(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
}

std::string forumMessage(unsigned number, unsigned ref, const std::string& body) {
    std::string text = "#: " + std::to_string(number) + " S1/General\r\n    10-Nov-85  16:47:35\r\nSb: ";
    if (ref) text += "#" + std::to_string(ref) + "-";
    return text + "Topic\r\nFm: Ann Smith 70000,1\r\nTo: All\r\n\r\n" + body + "\r\n";
}

TEST_F(CaptureRuns, ReimportWritesNoForumMessageTwiceAndMailHasNoSuchCheck) {
    makeDatabase(TypeForum, "CPMSIG");
    makeMailbox("My Mail", "71111,222");
    CaptureImport forum;
    forum.target = "CPMSIG";
    const std::string file = captureSample("tapcis6/forum.msg");
    ASSERT_EQ(importFiles("TAPCIS 6.x", {file}, forum).imported, 4);

    CaptureRun again = importFiles("TAPCIS 6.x", {file}, forum);
    EXPECT_EQ(again.workRecords, 0);
    EXPECT_EQ(again.imported, 0);
    EXPECT_EQ(again.skipped, 4);
    forum.reimport = true;
    again = importFiles("TAPCIS 6.x", {file}, forum);
    EXPECT_EQ(again.imported, 4);
    EXPECT_EQ(forumMessages("CPMSIG").size(), 4u);

    CaptureImport mail;
    mail.mailbox = "My Mail";
    const std::string mailFile = captureSample("tapcis6/mail.msg");
    ASSERT_EQ(importFiles("TAPCIS 6.x", {mailFile}, mail).imported, 3);
    // The parser writes the mail again; the store knows it already.
    again = importFiles("TAPCIS 6.x", {mailFile}, mail);
    EXPECT_EQ(again.workRecords, 3);
    EXPECT_EQ(again.imported, 0);
    EXPECT_EQ(mailMessages("My Mail").size(), 3u);
}

TEST_F(CaptureRuns, CreateDatabasesOnlyMakesTheForumsButStoresNoMessage) {
    makeDatabase(TypeForum, "CPMSIG");
    CaptureImport how;
    how.target = "CPMSIG";
    how.createDatabasesOnly = true;
    const CaptureRun run = importFiles("OzCIS", {captureSample("ozcis/forum.msg")}, how);
    EXPECT_EQ(run.workRecords, 0);
    EXPECT_EQ(run.skipped, 4);
    EXPECT_EQ(databaseNames(), (std::vector<std::string>{"CPMSIG", "IBMHW", "PCHW"}));
    EXPECT_TRUE(forumMessages("IBMHW").empty());
}

TEST_F(CaptureRuns, MessagesOfAKindNotAskedForAreSkipped) {
    makeDatabase(TypeForum, "CPMSIG");
    // A mail file without a mailbox: no mail is wanted.
    CaptureImport how;
    how.target = "CPMSIG";
    CaptureRun run = importFiles("OzCIS", {captureSample("ozcis/mail.msg")}, how);
    EXPECT_EQ(run.outcome, ImportOutcome::NothingFound);
    EXPECT_EQ(run.skipped, 3);
    EXPECT_TRUE(ui.sawText("No messages found in selected file(s)!"));

    makeMailbox("My Mail", "71111,222");
    how.mailbox = "My Mail";
    how.forum = false;
    run = importFiles("OzCIS", {captureSample("ozcis/forum.msg")}, how);
    EXPECT_EQ(run.skipped, 4);
    EXPECT_EQ(run.workRecords, 0);
}

TEST_F(CaptureRuns, ForumMessagesWithoutAForumNameNeedTheImportsForum) {
    const CaptureRun run = importFiles("TAPCIS 6.x", {captureSample("tapcis6/forum.msg")});
    EXPECT_EQ(run.outcome, ImportOutcome::NothingFound);
    EXPECT_EQ(run.skipped, 4);
    EXPECT_TRUE(databaseNames().empty());
}

TEST_F(CaptureRuns, FilesOfNoCaptureFormatAreSkippedWithTheirWarning) {
    makeDatabase(TypeForum, "CPMSIG");
    const std::filesystem::path dir = root / "in";
    // An indented "#:" line, and NavCIS lines out of order.
    const std::string indented = writeFile(dir / "old.msg", "\r\n #: 82351      Sec. 1 - General\r\nSb: #Old\r\n");
    const std::string empty = writeFile(dir / "empty.msg", "");
    CaptureImport how;
    how.target = "CPMSIG";
    const CaptureRun run =
        importFiles("TAPCIS 6.x", {indented, captureSample("tapcis6/forum.msg"), empty}, how);
    EXPECT_EQ(run.outcome, ImportOutcome::Completed);
    EXPECT_EQ(run.imported, 4);
    ASSERT_EQ(ui.shown().size(), 2u);
    EXPECT_EQ(ui.shown()[0].text, kNotAMessageFile);
    EXPECT_EQ(ui.shown()[1].text, kNotAMessageFile);

    ui.clear();
    const std::string navcis = writeFile(dir / "bad.sav", "Subject:  A\r\n     To:  B\r\n   From:  C\r\n  Forum:  D\r\n");
    EXPECT_EQ(importFiles("NavCIS Save format", {navcis}, how).outcome, ImportOutcome::NothingFound);
    EXPECT_EQ(ui.shown().front().text, kNotAMessageFile);
}

TEST_F(CaptureRuns, DamagedHeadersAreSkippedAndTheWholeMessagesStored) {
    makeDatabase(TypeForum, "CPMSIG");
    CaptureImport how;
    how.target = "CPMSIG";
    // "#:" without its header lines, numbers 9,000,000 and "12a4", a header cut off.
    CaptureRun run = importFiles("TAPCIS 6.x", {captureSample("broken/damaged.msg")}, how);
    EXPECT_EQ(run.imported, 1);
    EXPECT_EQ(run.skipped, 4);
    EXPECT_EQ(messageText("CPMSIG", 124), "Body of 124.\r\n");

    // A last message cut inside its body, then end-of-file padding.
    run = importFiles("TAPCIS 6.x", {captureSample("broken/truncated.msg")}, how);
    EXPECT_EQ(run.imported, 2);
    EXPECT_EQ(messageText("CPMSIG", 201), "Body of 201 is cut in the mid\r\n");
    EXPECT_EQ(forumMessages("CPMSIG").back(),
              "201 ref 200 thread 200 'First' 1/General Bob Jones <70000,2> -> Ann Smith <70000,1> 1985-11-11");
}

TEST_F(CaptureRuns, BinaryFilesNeverCrashOrHang) {
    makeDatabase(TypeForum, "CPMSIG");
    std::mt19937 random(7);
    auto noise = [&](std::size_t n) {
        std::string bytes(n, '\0');
        for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
        return bytes;
    };
    const std::filesystem::path dir = root / "in";
    const std::string pure = writeFile(dir / "pure.bin", noise(300000));
    // Noise around one good message and a run of "#:" lines; a line of
    // 200,000 bytes without a line end.
    const std::string mixed =
        writeFile(dir / "mixed.bin", "#: 1\r\n" + noise(100000) + "\r\n" + forumMessage(5, 0, noise(5000)) +
                                         "#:\r\n#: 7\r\n#: 8 S1/X\r\n" + std::string(200000, 'x') + noise(1000));
    CaptureImport how;
    how.target = "CPMSIG";
    for (const char* format : {"TAPCIS 6.x", "OzCIS", "GoldenCompass", "NavCIS Save format"}) {
        SCOPED_TRACE(format);
        ui.clear();
        const CaptureRun run = importFiles(format, {pure, mixed}, how);
        EXPECT_NE(run.outcome, ImportOutcome::Failed);
    }
    // The message inside the noise was found by the formats that read "#:" files.
    ASSERT_EQ(forumMessages("CPMSIG").size(), 1u);
    EXPECT_EQ(forumMessages("CPMSIG")[0],
              "5 ref 0 thread 5 'Topic' 1/General Ann Smith <70000,1> -> All <> 1985-11-10");
    EXPECT_LE(messageText("CPMSIG", 5).size(), 64000u);
}

TEST_F(CaptureRuns, SlicesOfAFewMessagesGiveTheSameThreadsAsOneSlice) {
    makeDatabase(TypeForum, "CPMSIG");
    // 3,000 messages, each answering the one before it, and one body of
    // 3,000 lines that crosses a 2,500-line slice.
    std::string text;
    std::string longBody;
    for (int i = 0; i < 3000; ++i) longBody += (i ? "\r\n" : "") + std::string("line ") + std::to_string(i);
    for (unsigned n = 1; n <= 3000; ++n) text += forumMessage(n, n - 1, n == 2 ? longBody : "Text " + std::to_string(n));
    const std::string file = writeFile(root / "in/many.msg", text);
    CaptureImport how;
    how.target = "CPMSIG";
    how.quota = 7;
    const CaptureRun run = importFiles("TAPCIS 6.x", {file}, how);
    EXPECT_EQ(run.imported, 3000);
    EXPECT_EQ(run.skipped, 0);
    const std::vector<std::string> messages = forumMessages("CPMSIG");
    ASSERT_EQ(messages.size(), 3000u);
    EXPECT_EQ(messages[2999], "3000 ref 2999 thread 1 'Topic' 1/General Ann Smith <70000,1> -> All <> 1985-11-10");
    EXPECT_EQ(messageText("CPMSIG", 2), longBody + "\r\n");
    EXPECT_EQ(messageText("CPMSIG", 3000), "Text 3000\r\n");
}

TEST_F(CaptureRuns, LongLinesAreStoredWhole) {
    makeDatabase(TypeForum, "CPMSIG");
    const std::string file = writeFile(root / "in/long.msg", forumMessage(1, 0, std::string(1000, 'a') + "\r\n" +
                                                                                    std::string(1500, 'b') + "\r\nend"));
    CaptureImport how;
    how.target = "CPMSIG";
    ASSERT_EQ(importFiles("TAPCIS 6.x", {file}, how).imported, 1);
    EXPECT_EQ(messageText("CPMSIG", 1), std::string(1000, 'a') + "\r\n" + std::string(1500, 'b') + "\r\nend\r\n");
}

TEST_F(CaptureRuns, NavCisThreadMarksAndMailFromAnAlternativeAddress) {
    makeMailbox("My Mail", "71111,222", {"owner@home.example"});
    const std::filesystem::path dir = root / "in";
    // "#" without a number marks a thread start: only the "#" goes.
    const std::string forum = writeFile(dir / "forum.sav",
                                        "Subject:  #Hello there  Msg Number: 5\r\n   From:  Ann Smith 70000,1\r\n"
                                        "     To:  All\r\n  Forum:  CIS:PHOTO Sec: 2-Prints\r\n   Date:  04-Mar-96\r\n\r\n"
                                        "Body\r\n");
    ASSERT_EQ(importFiles("NavCIS Save format", {forum}).imported, 1);
    EXPECT_EQ(forumMessages("PHOTO"),
              std::vector<std::string>{"5 ref 0 thread 5 'Hello there' 2/Prints Ann Smith <70000,1> -> All <> 1996-03-04"});
    // Mail from any of the owner's addresses was sent by the owner.
    const std::string mail = writeFile(dir / "mail.sav",
                                       "Subject:  Note\r\n   From:  Me >INTERNET:Owner@Home.example\r\n"
                                       "     To:  Ann Smith 70000,1\r\n   Date:  05-Mar-96 14:07\r\n\r\nText\r\n");
    CaptureImport how;
    how.mailbox = "My Mail";
    ASSERT_EQ(importFiles("NavCIS Save format", {mail}, how).imported, 1);
    EXPECT_EQ(mailMessages("My Mail"),
              std::vector<std::string>{"1996-03-05 14:07:00 'Note' My Mail <71111,222> -> Ann Smith <70000,1>"});
}

TEST_F(CaptureRuns, RealForumCapturesOfTheCorpus) {
    const std::string corpus = compuserveCorpus();
    if (corpus.empty()) GTEST_SKIP() << "the CompuServe corpus is not there";
    makeDatabase(TypeForum, "CPMSIG");
    const std::string dir = corpus + "/walnut-cpm/";
    CaptureImport how;
    how.target = "CPMSIG";
    const CaptureRun run = importFiles("TAPCIS 6.x",
                                       {dir + "NULU15.BUG", dir + "NULU11.BU2", dir + "C64-CPM.MSG",
                                        dir + "KPROLIST.BUG", dir + "Z-SYSTEM.MSG", dir + "SPELL11.DOC"},
                                       how);
    EXPECT_EQ(run.outcome, ImportOutcome::Completed);
    EXPECT_EQ(run.imported, 14);
    EXPECT_EQ(run.skipped, 0);
    // The captures without a "#:" line at the start of a line are no capture files.
    EXPECT_EQ(ui.shown().size(), 4u);
    const std::vector<std::string> messages = forumMessages("CPMSIG");
    ASSERT_EQ(messages.size(), 14u);
    EXPECT_EQ(messages[5],
              "153121 ref 0 thread 153121 'NULU15 buggy' 1/General <MoM> John Deakin <74015,1624> -> All <> 1985-11-10");
    // A subject "#Nulu15 ..." starts a thread; "#153183-#Nulu15 ..." answers 153183.
    const std::vector<std::string> tooThread(messages.begin() + 8, messages.end());
    EXPECT_EQ(tooThread, (std::vector<std::string>{
                             "153183 ref 0 thread 153183 'Nulu15 Buggy Too!' 1/General Charles Hart <72755,500> -> "
                             "All <> 1985-11-11",
                             "153224 ref 153183 thread 153183 'Nulu15 Buggy Too!' 1/General <MoM> John Deakin "
                             "<74015,1624> -> Charles Hart <72755,500> 1985-11-12",
                             "153229 ref 153224 thread 153183 'Nulu15 Buggy Too!' 1/General Charles Hart "
                             "<72755,500> -> <MoM> John Deakin <74015,1624> 1985-11-12",
                             "153234 ref 153183 thread 153183 'Nulu15 Buggy Too!' 1/General Pete Holsberg "
                             "<70240,334> -> Charles Hart <72755,500> 1985-11-12",
                             "153235 ref 153234 thread 153183 'Nulu15 Buggy Too!' 1/General Charles Hart "
                             "<72755,500> -> Pete Holsberg <70240,334> 1985-11-12",
                             "153246 ref 153235 thread 153183 'Nulu15 Buggy Too!' 1/General Pete Holsberg "
                             "<70240,334> -> Charles Hart <72755,500> 1985-11-12",
                         }));
    // The CP/M end-of-file padding is not text.
    const std::string last = messageText("CPMSIG", 153246);
    EXPECT_EQ(last.find('\x1A'), std::string::npos);
    EXPECT_TRUE(last.ends_with("\r\n"));
}

}  // namespace
}  // namespace pm::test
