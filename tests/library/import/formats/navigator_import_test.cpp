// The CompuServe navigator stores through the real import run: WinCIM
// message files, the CompuServe 3.x cabinet, and the NavCIS, CISCOMM and
// OUI tables read by the dBase reader - with the damage each may carry.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "common/dates.h"
#include "common/globals.h"
#include "formats_fixture.h"
#include "import/driver/format_table.h"
#include "import/driver/import_settings.h"
#include "import/store/message_store.h"
#include "support/block_format.h"
#include "support/navigator_samples.h"
#include "tables/access/open_close.h"
#include "tables/config/settings.h"
#include "tables/records/message_tables.h"

namespace pm::test {
namespace {

class NavigatorImport : public FormatImportTest {
protected:
    void SetUp() override {
        FormatImportTest::SetUp();
        setConfigValue(kShowCompletionTimeItem, 2);  // no completion-time box
    }

    std::string file(const std::string& name) { return root / name; }

    // The further receivers stored for the mail with this subject.
    std::vector<std::string> carbonCopies(const std::string& subject) {
        DatabaseContents inbox = contents("Inbox");
        const StoredMessage* mail = inbox.bySubject(subject);
        std::vector<std::string> list;
        if (!mail) return list;
        OP_CLOSE(OpenShared, {17});
        CCRFile.setPhysical();
        while (CCRFile.next() == StorageStatus::Ok)
            if (CCR.MAILID == mail->number)
                list.push_back(CCR.RECIPTYPE.str() + " " + CCR.R_NAME.str() + " <" + CCR.R_CISADRESS.str() + ">");
        OP_CLOSE(ReleaseTable, {17});
        std::sort(list.begin(), list.end());
        return list;
    }

    // A forum import that names its forum (CISCOMM forum tables carry none).
    ImportCounts importToForum(const std::string& format, const std::vector<std::string>& paths,
                               const std::string& forum) {
        const ULONG target = makeDatabase(TypeForum, forum);
        ImportRequest r;
        r.selectionMethod = SelectFiles;
        r.importPath = root.path();
        r.selectedFiles = paths;
        r.importForum = 1;
        r.targetDatabase = static_cast<LONG>(target);
        EXPECT_EQ(setRequestFormat(r, formatByName(format)->number), RequestProblem::None);
        EXPECT_EQ(completeImportRequest(r), RequestProblem::None);
        return run(r);
    }
};

// --- message files -----------------------------------------------------------

TEST_F(NavigatorImport, WinCimMessageFilesOfEveryKind) {
    SampleForumMessage forum;
    SampleForumMessage second;
    second.forum = "cis:PhotoForum";
    second.subject = "Second layout";
    second.text = "@lKind three text";
    SampleMail received;
    received.to = {{"Me", "me@home.example"}, {"\"Bob Jones\"", "INTERNET:bob@example.com"}};
    received.cc = {{"carol@example.com", "carol@example.com"}};
    SampleMail sent;
    sent.subject = "Reply";
    sent.sender = {"Me", "me@home.example"};
    sent.to = {{"Ann Smith", "INTERNET:Ann@Example.com"}};
    writeTextFile(file("FORUM.MSG"), messageFileBytes(forum));
    writeTextFile(file("SECOND.MSG"), secondLayoutBytes(second));
    writeTextFile(file("MAIL.MSG"), messageFileBytes(received));
    writeTextFile(file("SENT.MSG"), messageFileBytes(sent));
    writeTextFile(file("OTHER.MSG"), "This is some other program's .MSG file");
    std::string thread = messageFileBytes(forum);
    thread[9] = 7;  // a kind that holds no message
    writeTextFile(file("THREAD.THD"), thread);

    const ImportCounts counts = import("WinCIM", {file("FORUM.MSG"), file("SECOND.MSG"), file("MAIL.MSG"),
                                                  file("SENT.MSG"), file("OTHER.MSG"), file("THREAD.THD")});
    EXPECT_EQ(counts.outcome, ImportOutcome::Completed);
    EXPECT_EQ(counts.imported, 4);
    EXPECT_TRUE(ui.empty()) << ui.last().text;

    DatabaseContents photo = contents("PHOTOFORUM");
    ASSERT_EQ(photo.messages.size(), 2u);
    const StoredMessage* lenses = photo.bySubject("Lenses");
    ASSERT_NE(lenses, nullptr);
    EXPECT_EQ(lenses->number, 101u);
    EXPECT_EQ(lenses->senderAddress, "70000,1");
    EXPECT_EQ(lenses->receiverAddress, "70000,2");
    EXPECT_EQ(lenses->date, dayNumber(1995, 5, 19));
    EXPECT_EQ(lenses->text, "First line\r\nSecond line\r\n");
    ASSERT_NE(photo.bySubject("Second layout"), nullptr);
    EXPECT_EQ(photo.bySubject("Second layout")->text, "Kind three text\r\n");

    DatabaseContents inbox = contents("Inbox");
    ASSERT_EQ(inbox.messages.size(), 2u);
    const StoredMessage* holiday = inbox.bySubject("Holiday plans");  // without "Copy of: "
    ASSERT_NE(holiday, nullptr);
    EXPECT_EQ(holiday->senderAddress, "ann@example.com");
    EXPECT_EQ(holiday->receiverAddress, "me@home.example");
    EXPECT_EQ(holiday->time, cutTimeToMinute(timeOf(10, 22, 30)));
    EXPECT_EQ(holiday->text, "Mail text\r\n");
    EXPECT_EQ(carbonCopies("Holiday plans"),
              (std::vector<std::string>{"CC  <carol@example.com>", "TO Bob Jones <bob@example.com>"}));
    const StoredMessage* reply = inbox.bySubject("Reply");
    ASSERT_NE(reply, nullptr);
    EXPECT_EQ(reply->senderAddress, "me@home.example");
    EXPECT_EQ(reply->receiverAddress, "ann@example.com");

    EXPECT_NE(logText().find("OTHER.MSG: no message file"), std::string::npos) << logText();
}

// Files of the second forum layout carry no message number: each must still
// be a message of its own beside the numbered ones.
TEST_F(NavigatorImport, NumberlessForumMessagesAreEachStored) {
    SampleForumMessage numbered;
    writeTextFile(file("FORUM.MSG"), messageFileBytes(numbered));
    std::vector<std::string> files = {file("FORUM.MSG")};
    for (const char* subject : {"First", "Second", "Third"}) {
        SampleForumMessage second;
        second.forum = "cis:PhotoForum";
        second.subject = subject;
        second.text = std::string("Text of ") + subject;
        files.push_back(file(std::string(subject) + ".MSG"));
        writeTextFile(files.back(), secondLayoutBytes(second));
    }
    EXPECT_EQ(import("WinCIM", files).imported, 4);

    DatabaseContents photo = contents("PHOTOFORUM");
    ASSERT_EQ(photo.messages.size(), 4u);
    std::vector<ULONG> numbers;
    for (const char* subject : {"First", "Second", "Third"}) {
        const StoredMessage* m = photo.bySubject(subject);
        ASSERT_NE(m, nullptr) << subject;
        EXPECT_EQ(m->text, std::string("Text of ") + subject + "\r\n");
        EXPECT_GT(m->number, 9000000u);
        numbers.push_back(m->number);
    }
    std::sort(numbers.begin(), numbers.end());
    EXPECT_EQ(std::unique(numbers.begin(), numbers.end()), numbers.end());
    EXPECT_NE(photo.bySubject("Lenses"), nullptr);

    // The same files again, and a copy of one under another name: the
    // numberless ones are known by their content, so nothing is new.
    files.push_back(file("COPY.MSG"));
    std::filesystem::copy_file(file("Second.MSG"), files.back());
    const ImportCounts again = import("WinCIM", files);
    EXPECT_EQ(again.imported, 0);
    EXPECT_EQ(again.skipped, 5);
    DatabaseContents after = contents("PHOTOFORUM");
    EXPECT_EQ(after.messages.size(), 4u);
    for (const char* subject : {"First", "Second", "Third"})
        EXPECT_EQ(after.bySubject(subject)->number, photo.bySubject(subject)->number) << subject;

    // Another message of the same section and subject is a message of its own.
    SampleForumMessage other;
    other.forum = "cis:PhotoForum";
    other.subject = "Second";
    other.text = "Another text";
    writeTextFile(file("OTHER.MSG"), secondLayoutBytes(other));
    EXPECT_EQ(import("WinCIM", {file("OTHER.MSG"), file("Second.MSG")}).imported, 1);
    EXPECT_EQ(contents("PHOTOFORUM").messages.size(), 5u);
}

TEST_F(NavigatorImport, NumberlessMessagesStoredInReadingOrderAreKnownAgain) {
    // Earlier versions gave such messages the numbers they were read in:
    // this database is made to look so by moving two of them there.
    std::vector<std::string> files;
    for (const char* subject : {"Alpha", "Beta", "Gamma"}) {
        SampleForumMessage m;
        m.forum = "cis:PhotoForum";
        m.subject = "Same thread";
        m.text = std::string("Text of ") + subject;
        files.push_back(file(std::string(subject) + ".MSG"));
        writeTextFile(files.back(), secondLayoutBytes(m));
    }
    EXPECT_EQ(import("WinCIM", files).imported, 3);
    const DatabaseContents before = contents("PHOTOFORUM");  // leaves the database active
    ASSERT_EQ(before.messages.size(), 3u);
    std::map<ULONG, ULONG> moved;  // earlier-version number -> content number
    {
        TableScope tables({&MsgNmbr, &MsgText});
        // The header and the text move alike: read by number, deleted, added anew.
        const auto renumber = [](Table& table, auto& record, const KeyDef& key, ULONG from, ULONG to) {
            table.clear();
            record.MSGNUMBER = from;
            ASSERT_EQ(table.get(key), StorageStatus::Ok);
            ASSERT_EQ(table.erase(), StorageStatus::Ok);
            record.MSGNUMBER = to;
            ASSERT_EQ(table.add(), StorageStatus::Ok);
        };
        ULONG readingOrder = FirstNumberlessForumMessage + 1;
        for (const StoredMessage& m : before.messages) {
            if (m.text == "Text of Gamma\r\n") continue;
            renumber(MsgNmbr, MSG, MSG_IdKey, m.number, readingOrder);
            renumber(MsgText, TXT, TXT_IdKey, m.number, readingOrder);
            ASSERT_FALSE(HasFatalFailure());
            moved[readingOrder++] = m.number;
        }
    }
    ASSERT_EQ(moved.size(), 2u);

    // Read again, none is new and none moves; a new text of the thread is.
    SampleForumMessage fresh;
    fresh.forum = "cis:PhotoForum";
    fresh.subject = "Same thread";
    fresh.text = "Text of Delta";
    files.push_back(file("Delta.MSG"));
    writeTextFile(files.back(), secondLayoutBytes(fresh));
    const ImportCounts again = import("WinCIM", files);
    EXPECT_EQ(again.imported, 1);
    EXPECT_EQ(again.skipped, 3);
    const DatabaseContents after = contents("PHOTOFORUM");
    EXPECT_EQ(after.messages.size(), 4u);
    for (const auto& [number, contentNumber] : moved) {
        const auto kept = std::find_if(after.messages.begin(), after.messages.end(),
                                       [&](const StoredMessage& m) { return m.number == number; });
        EXPECT_NE(kept, after.messages.end()) << number;
        EXPECT_TRUE(std::none_of(after.messages.begin(), after.messages.end(),
                                 [&](const StoredMessage& m) { return m.number == contentNumber; }));
    }
}

TEST_F(NavigatorImport, MessageFilesImportedBeforeAreSkippedAndDamagedOnesSaySo) {
    SampleForumMessage forum;
    writeTextFile(file("FORUM.MSG"), messageFileBytes(forum));
    ASSERT_EQ(import("WinCIM", {file("FORUM.MSG")}).imported, 1);

    std::string cut = messageFileBytes(forum);
    cut.resize(40);
    writeTextFile(file("CUT.MSG"), cut);
    forum.number = 102;
    writeTextFile(file("NEW.MSG"), messageFileBytes(forum));
    const ImportCounts again = import("DOSCIM", {file("FORUM.MSG"), file("CUT.MSG"), file("NEW.MSG")});
    EXPECT_EQ(again.imported, 1);
    EXPECT_EQ(again.skipped, 2);
    EXPECT_TRUE(ui.sawText("CUT.MSG is a damaged message file")) << (ui.empty() ? "" : ui.last().text);
    EXPECT_EQ(contents("PHOTOFORUM").messages.size(), 2u);
}

// --- the cabinet -------------------------------------------------------------

TEST_F(NavigatorImport, CabinetRecordsOfForumAndMail) {
    SampleForumMessage forum;
    forum.text = "Cabinet text";
    std::string marked = cabinetRecordBytes(forum);
    // A marker this close behind the record's own does not start a record.
    marked.replace(13, 8, "~CS~FCR~");
    SampleMail mail;
    mail.sender = {"Ann Smith", "internet:Ann@Example.com"};
    mail.cc = {{"Carol", "carol@example.com"}};
    SampleMail unknown;
    std::string odd = cabinetRecordBytes(unknown);
    odd[137] = 5;
    const std::string tooShort = std::string("~CS~FCR~") + std::string(100, '\0');
    forum.number = 205;
    forum.subject = "Second";
    // A record shorter than 112 bytes can only end the file.
    writeTextFile(file("FCABINET.DAT"),
                  cabinetBytes({marked, cabinetRecordBytes(mail), odd, cabinetRecordBytes(forum), tooShort}));

    const ImportCounts counts = import("CompuServe 3.x", {file("FCABINET.DAT")});
    EXPECT_EQ(counts.outcome, ImportOutcome::Completed);
    EXPECT_EQ(counts.imported, 3);
    const DatabaseContents photo = contents("PHOTOFORUM");
    ASSERT_EQ(photo.messages.size(), 2u);
    ASSERT_NE(photo.bySubject("Lenses"), nullptr);
    EXPECT_EQ(photo.bySubject("Lenses")->text, "Cabinet text\r\n");
    EXPECT_EQ(photo.bySubject("Lenses")->receiverAddress, "70000,2");
    EXPECT_EQ(photo.bySubject("Lenses")->date, dayNumber(1995, 5, 19));
    const DatabaseContents inbox = contents("Inbox");
    ASSERT_EQ(inbox.messages.size(), 1u);
    EXPECT_EQ(inbox.messages[0].subject, "Holiday plans");
    EXPECT_EQ(inbox.messages[0].senderAddress, "ann@example.com");
    EXPECT_EQ(carbonCopies("Holiday plans"), (std::vector<std::string>{"CC Carol <carol@example.com>"}));
}

TEST_F(NavigatorImport, ALargeCabinetIsReadInBoundedCallsAndAStrangerIsRefused) {
    std::vector<std::string> records;
    for (unsigned i = 1; i <= 30; ++i) {
        SampleForumMessage m;
        m.number = 1000 + i;
        m.subject = "Message " + std::to_string(i);
        m.text.clear();
        for (int line = 0; line < 650; ++line) m.text += std::string(68, 'x') + "\r\n";
        records.push_back(cabinetRecordBytes(m));
    }
    writeTextFile(file("FCABINET.DAT"), cabinetBytes(records));
    writeTextFile(file("OTHER.DAT"), std::string(70000, 'z'));
    const ImportCounts counts = import("CompuServe 3.x", {file("OTHER.DAT"), file("FCABINET.DAT")}, 4);
    EXPECT_EQ(counts.imported, 30);
    EXPECT_TRUE(ui.sawText("OTHER.DAT is not a CompuServe 3.x or 4.x file!\r\nThis file will be skipped!"));
    const DatabaseContents photo = contents("PHOTOFORUM");
    ASSERT_EQ(photo.messages.size(), 30u);
    EXPECT_EQ(photo.messages[0].text.size(), 650u * 70);
}

// --- the tables ----------------------------------------------------------------

TEST_F(NavigatorImport, NavCisTablesOfForumMessagesAndMail) {
    DbfRecord mailWithForum = navCisMailRow("Mail despite a forum name", "9:05", "Mail\x8D\nwith a soft break");
    mailWithForum.values[HreForumName] = "SOMEFORUM";
    DbfRecord gone = navCisForumRow("photoforum", 302, "Deleted", "gone");
    gone.deleted = true;
    DbfRecord internet = navCisForumRow("photoforum", 303, "From the Internet", "text");
    internet.values[HreSendId] = "INTERNET:joe@example.com";
    internet.values[HreMsgDate] = "19950601";  // a table that keeps a dBase date
    writeDbf(file("HRECV.DBF"), navCisTable({navCisForumRow("photoforum", 301, "Tripods", "Tripod text"), gone,
                                             internet, mailWithForum,
                                             navCisMailRow("Short time", "12:30", "x")}));
    const ImportCounts counts = import("NavCIS 1.7x-", {file("HRECV.DBF")});
    EXPECT_EQ(counts.imported, 4);
    EXPECT_TRUE(ui.empty()) << ui.last().text;

    const DatabaseContents photo = contents("PHOTOFORUM");
    ASSERT_EQ(photo.messages.size(), 2u);
    ASSERT_NE(photo.bySubject("Tripods"), nullptr);
    EXPECT_EQ(photo.bySubject("Tripods")->number, 301u);
    EXPECT_EQ(photo.bySubject("Tripods")->date, dayNumber(1995, 5, 19));
    EXPECT_EQ(photo.bySubject("Tripods")->text, "Tripod text\r\n");
    ASSERT_NE(photo.bySubject("From the Internet"), nullptr);
    EXPECT_EQ(photo.bySubject("From the Internet")->senderAddress, "joe@example.com");
    EXPECT_EQ(photo.bySubject("From the Internet")->date, dayNumber(1995, 6, 1));
    EXPECT_EQ(photo.bySubject("Deleted"), nullptr);
    EXPECT_FALSE(contents("SOMEFORUM").found);

    const DatabaseContents inbox = contents("Inbox");
    ASSERT_EQ(inbox.messages.size(), 2u);
    const StoredMessage* mail = inbox.bySubject("Mail despite a forum name");
    ASSERT_NE(mail, nullptr);
    EXPECT_EQ(mail->time, cutTimeToMinute(timeOf(9, 5, 0)));
    EXPECT_EQ(mail->date, dayNumber(1995, 5, 20));
    EXPECT_EQ(mail->text, "Mail\r\nwith a soft break\r\n");
    EXPECT_EQ(mail->senderAddress, "ann@example.com");
    EXPECT_EQ(inbox.bySubject("Short time")->time, cutTimeToMinute(timeOf(12, 30, 0)));
}

TEST_F(NavigatorImport, CisCommForumAndMailTables) {
    writeDbf(file("FORUM.DBF"), cisCommForumTable({cisCommForumRow(11, "Compilers", "Forum text"),
                                                   cisCommForumRow(12, "Linkers", "More")}));
    const ImportCounts forum = importToForum("CISCOMM", {file("FORUM.DBF")}, "Software Forum");
    EXPECT_EQ(forum.imported, 2);
    const DatabaseContents software = contents("Software Forum");
    ASSERT_EQ(software.messages.size(), 2u);
    EXPECT_EQ(software.bySubject("Compilers")->time, 0);
    EXPECT_EQ(software.bySubject("Compilers")->date, dayNumber(1995, 5, 19));
    EXPECT_EQ(software.bySubject("Compilers")->senderAddress, "70000,1");

    writeDbf(file("MAIL.DBF"), cisCommMailTable({cisCommMailRow("Received", "INTERNET:ann@example.com", false, "In"),
                                                 cisCommMailRow("Sent", "", true, "Out")}));
    const ImportCounts mail = import("CISCOMM", {file("MAIL.DBF")});
    EXPECT_EQ(mail.imported, 2);
    const DatabaseContents inbox = contents("Inbox");
    ASSERT_NE(inbox.bySubject("Received"), nullptr);
    EXPECT_EQ(inbox.bySubject("Received")->senderAddress, "ann@example.com");
    EXPECT_EQ(inbox.bySubject("Received")->time, cutTimeToMinute(timeOf(8, 5, 0)));
    ASSERT_NE(inbox.bySubject("Sent"), nullptr);
    EXPECT_EQ(inbox.bySubject("Sent")->senderAddress, "me@home.example");
}

TEST_F(NavigatorImport, FourBadRecordsAreOvercomeTheFifthAbandonsTheTable) {
    std::vector<DbfRecord> rows;
    for (unsigned i = 1; i <= 8; ++i) rows.push_back(cisCommForumRow(i, "Message " + std::to_string(i), "text"));
    const std::size_t memo = 11;
    auto damage = [&](const std::string& path, std::initializer_list<std::size_t> bad) {
        const DbfLayout layout = writeDbf(path, cisCommForumTable(rows));
        for (std::size_t r : bad) patchFile(path, layout.fieldAt(r, memo), "     99999");
    };
    damage(file("FOUR.DBF"), {1, 3, 4, 5});
    const ImportCounts four = importToForum("CISCOMM", {file("FOUR.DBF")}, "Four");
    EXPECT_EQ(four.imported, 4);
    EXPECT_TRUE(ui.empty()) << ui.last().text;

    damage(file("FIVE.DBF"), {1, 3, 4, 5, 6});
    const ImportCounts five = importToForum("CISCOMM", {file("FIVE.DBF")}, "Five");
    EXPECT_EQ(five.imported, 2);  // the records before the fifth bad one
    ASSERT_TRUE(ui.sawCaption("Warning!"));
    const std::string shown = ui.shown().front().text;
    EXPECT_EQ(shown.rfind("Postmoor has processed 87 % of this CISCOM file and have encountered 5 bad "
                                   "records! They are probably deleted records that are still retained in the file. "
                                   "To ensure data integrity this file will be skipped! \r\n\r\nTo physically remove "
                                   "deleted records from your CISCOM file, always use the PACK option",
                                   0),
              0u)
        << shown;
    EXPECT_NE(shown.find("outside the memo file"), std::string::npos);
    EXPECT_NE(logText().find("record 7 cannot be read"), std::string::npos) << logText();
}

TEST_F(NavigatorImport, ACutOffTableAndOneThatIsNoneAreReported) {
    std::vector<DbfRecord> rows;
    for (unsigned i = 1; i <= 12; ++i) rows.push_back(cisCommForumRow(i, "Message " + std::to_string(i), "text"));
    const DbfLayout layout = writeDbf(file("CUT.DBF"), cisCommForumTable(rows));
    truncateFile(file("CUT.DBF"), layout.headerLength + 6 * layout.recordLength + 10);
    writeTextFile(file("NONE.DBF"), "This is not a table at all, only a text that is long enough.");
    DbfTable people;
    people.columns = {{"NAME", 'C', 20}, {"BIRTHDATE", 'D', 8}};
    people.records = {{{"Alice", "19870301"}}};
    writeDbf(file("PEOPLE.DBF"), people);
    const ImportCounts counts =
        importToForum("CISCOMM", {file("NONE.DBF"), file("PEOPLE.DBF"), file("CUT.DBF")}, "Cut");
    EXPECT_EQ(counts.imported, 6);
    EXPECT_TRUE(ui.sawText("PEOPLE.DBF is not a CISCOMM message table: it has no column MSG_NUMBER, MSG_SUBJEC, "
                           "MSG_TEXT\r\nThis file will be skipped!"));
    EXPECT_TRUE(ui.sawText("NONE.DBF cannot be opened\r\n"));
    EXPECT_TRUE(ui.sawText("is not a dBase table"));
    EXPECT_TRUE(ui.sawText("Postmoor has processed 91 % of this CISCOM file"));
}

TEST_F(NavigatorImport, OuiTablesTellForumMessagesFromMailByTheirContent) {
    DbfRecord mail = ouiRow("", 0, "OUI mail", "Ann Smith INTERNET:ann@example.com", "Mail body");
    writeDbf(file("MESSAGE.DBF"),
             ouiTable({ouiRow("Netforum", 77, "Routers", "Ann Smith 70000,1", "Forum body"), mail,
                       ouiRow("NETFORUM", 0, "No number", "Ann Smith 70000,1", "x")}));
    const ImportCounts counts = import("OUI", {file("MESSAGE.DBF")});
    EXPECT_EQ(counts.imported, 2);
    EXPECT_EQ(counts.skipped, 1);
    const DatabaseContents net = contents("NETFORUM");
    ASSERT_EQ(net.messages.size(), 1u);
    EXPECT_EQ(net.messages[0].number, 77u);
    EXPECT_EQ(net.messages[0].senderAddress, "70000,1");
    EXPECT_EQ(net.messages[0].text, "Forum body\r\n");
    const DatabaseContents inbox = contents("Inbox");
    ASSERT_EQ(inbox.messages.size(), 1u);
    EXPECT_EQ(inbox.messages[0].senderAddress, "ann@example.com");
    EXPECT_EQ(inbox.messages[0].time, cutTimeToMinute(timeOf(14, 7, 9)));
}

}  // namespace
}  // namespace pm::test
