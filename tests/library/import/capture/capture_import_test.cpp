// Capture files of every format imported end to end through the import
// driver: sections, threads by reference, persons, dates and texts as the
// databases hold them afterwards.
#include <gtest/gtest.h>

#include <map>

#include "capture_fixture.h"

namespace pm::test {
namespace {

using Lines = std::vector<std::string>;

struct FormatCase {
    const char* format;
    const char* file;
    std::map<std::string, Lines> databases;     // what each database holds afterwards
    std::vector<std::pair<ULONG, std::string>> texts;  // forum: message number and text
};

std::ostream& operator<<(std::ostream& os, const FormatCase& c) { return os << c.format << " " << c.file; }

const Lines kTapcis6Forum = {
    "153121 ref 0 thread 153121 'NULU15 buggy' 1/General John Deakin <74015,1624> -> All <> 1985-11-10",
    "153183 ref 153121 thread 153121 'NULU15 buggy' 1/General Charles Hart <72755,500> -> John Deakin <74015,1624> "
    "1985-11-11",
    "153200 ref 0 thread 153200 'Kaypro BIOS' 12/Hardware Help Jörg Müller <76543,210> -> Sysop <70000,1> 1985-12-09",
    "153250 ref 153183 thread 153121 'NULU15 buggy' 1/General John Deakin <74015,1624> -> Charles Hart <72755,500> "
    "1985-11-12",
};
const std::vector<std::pair<ULONG, std::string>> kTapcis6Texts = {
    {153121, "Just grabbed NULU15 off the forum this morning.\r\n\r\nSecond paragraph.\r\n"},
    {153183, "Well, the NULU bug has not been fixed.\r\n"},
    {153200, "Ein Fehler im BIOS, größer als gedacht.\r\n"},
};
const std::map<std::string, Lines> kOzForum = {
    {"IBMHW",
     {"98700 ref 0 thread 98700 'Laser trouble' 5/Printers Hans Schmidt <100000,1> -> All <> 1997-05-04",
      "98765 ref 98700 thread 98700 'Laser trouble' 5/Printers Grete Weber <100000,2> -> Hans Schmidt <100000,1> "
      "1997-05-05"}},
    {"PCHW", {"12345 ref 0 thread 12345 'Modem speeds' 2/Modems Bob Jones <70000,2> -> All <> 1997-10-07"}},
    // No forum in parentheses: the forum of the import.
    {"CPMSIG", {"777 ref 0 thread 777 'No forum named' 9/Lobby Carl Ray <70000,3> -> All <> 1998-01-01"}},
};

const FormatCase kForumCases[] = {
    {"TAPCIS 6.x", "tapcis6/forum.msg", {{"CPMSIG", kTapcis6Forum}}, kTapcis6Texts},
    {"AUTOSIG", "autosig/forum.ato", {{"CPMSIG", kTapcis6Forum}}, kTapcis6Texts},
    {"TAPCIS 5.x",
     "tapcis5/forum.msg",
     {{"CPMSIG",
       {"4700 ref 0 thread 4700 'File transfer' 3/Utilities Irv Hoff <70000,200> -> All <> 1992-01-31",
        "4711 ref 4700 thread 4700 'File transfer' 3/Utilities Pete Holsberg <70000,100> -> Irv Hoff <70000,200> "
        "1992-02-01"}}},
     {{4711, "XMODEM, of course.\r\n"}}},
    {"OzCIS", "ozcis/forum.msg", kOzForum, {{98700, "Mein Drucker druckt nicht. Straße frei?\r\n"}}},
    // The same messages written in Windows-1252.
    {"OzWin I", "ozwin1/forum.msg", kOzForum, {{98700, "Mein Drucker druckt nicht. Straße frei?\r\n"}}},
    {"OzWin II",
     "ozwin2/forum.msg",
     {{"WINFORUM",
       {"500050 ref 0 thread 500050 'Setup question' 2/Windows Bob Jones <70000,2> -> All <> 1997-06-19",
        // "Par:" names the parent, not the subject's reference.
        "500123 ref 500050 thread 500050 'Setup question' 2/Windows Ann Smith <70000,1> -> Bob Jones <70000,2> "
        "1997-06-20"}}},
     {{500123, "Like this.\r\n"}}},
    {"GoldenCompass",
     "goldencompass/forum.msg",
     {{"CPMSIG",
       {"299 ref 0 thread 299 'Baud rates' 4/Modems Bob Jones <70000,2> -> All <> 1994-07-06",
        "300 ref 299 thread 299 'Baud rates' 4/Modems Ann Smith <70000,1> -> Bob Jones <70000,2> 1994-07-07"}}},
     {{299, "What speed?\r\n"}, {300, "First line\r\nSecond line\r\nThird\r\nFourth\r\n"}}},
    {"NavCIS Save format",
     "navcis/forum.sav",
     {{"PHOTOFORUM",
       {"1000 ref 0 thread 1000 'Lenses' 3/Cameras Bob Jones <70000,2> -> All <> 1996-03-04",
        "1001 ref 1000 thread 1000 'Lenses' 3/Cameras Ann Smith <70000,1> -> Bob Jones <70000,2> 1996-03-05"}},
      {"Travel Forum", {"20 ref 0 thread 20 'Trains' 1/General Carl Ray <70000,3> -> All <> 1996-03-06"}}},
     // A "Subject:  " line without a "From:" line after it is body text.
     {{1000, "Which lens?\r\nSubject:  is the lens in the subject line\r\n"}}},
};

class ForumFiles : public CaptureImportTest, public ::testing::WithParamInterface<FormatCase> {};

TEST_P(ForumFiles, ImportWithSectionsThreadsPersonsDatesAndTexts) {
    const FormatCase& c = GetParam();
    makeDatabase(TypeForum, "CPMSIG");
    CaptureImport how;
    how.target = "CPMSIG";
    const CaptureRun run = importFiles(c.format, {captureSample(c.file)}, how);
    EXPECT_EQ(run.outcome, ImportOutcome::Completed);
    EXPECT_EQ(run.skipped, 0);
    EXPECT_TRUE(ui.empty()) << ui.last().text;
    std::size_t total = 0;
    for (const auto& [database, lines] : c.databases) {
        EXPECT_EQ(forumMessages(database), lines) << database;
        total += lines.size();
    }
    EXPECT_EQ(run.imported, static_cast<long long>(total));
    const std::string firstDatabase = c.databases.begin()->first;
    for (const auto& [number, text] : c.texts) {
        std::string database = firstDatabase;
        for (const auto& [name, lines] : c.databases)
            for (const std::string& line : lines)
                if (line.starts_with(std::to_string(number) + " ")) database = name;
        EXPECT_EQ(messageText(database, number), text) << number;
    }
}

INSTANTIATE_TEST_SUITE_P(EveryFormat, ForumFiles, ::testing::ValuesIn(kForumCases));

struct MailCase {
    const char* format;
    const char* file;
    Lines mail;
    Lines texts;  // in date order
    long long skipped = 0;
};

std::ostream& operator<<(std::ostream& os, const MailCase& c) { return os << c.format << " " << c.file; }

const Lines kTapcis6Mail = {
    "1996-03-15 10:22:00 'Meeting next week' Ann Smith <70000,1> -> My Mail <71111,222>",
    // Sent from the owner's alternative address.
    "1996-03-16 09:05:00 'Re: Meeting next week' My Mail <71111,222> -> Ann Smith <70000,1>",
    "1996-03-17 23:59:00 'Newsletter' Joe Bloggs <joe@example.com> -> My Mail <71111,222>",
};
// The last body is an Internet message in HTML.
const Lines kTapcis6MailTexts = {"Hi, shall we meet?\r\n", "Yes, Tuesday. Grüße\r\n", "Hello world\r\n"};
const Lines kOzMail = {
    "1996-03-15 10:22:00 'Lunch' Ann Smith <70000,1> -> My Mail <71111,222>",
    "1996-03-16 11:00:00 'Re: Lunch' My Mail <71111,222> -> Ann Smith <70000,1>",
};

const MailCase kMailCases[] = {
    {"TAPCIS 6.x", "tapcis6/mail.msg", kTapcis6Mail, kTapcis6MailTexts},
    {"AUTOSIG", "autosig/mail.ato", kTapcis6Mail, kTapcis6MailTexts},
    {"TAPCIS 5.x",
     "tapcis5/mail.msg",
     {"1993-04-03 09:15:00 'Hello there' Ann Smith <70000,1> -> My Mail <71111,222>",
      "1993-04-04 14:30:00 'Re: Hello there' My Mail <71111,222> -> Ann Smith <70000,1>"},
     {"Body received.\r\n", "Body sent.\r\n"}},
    // The third header has "Fm:" where "From:" or "MgTo:" belongs: skipped.
    {"OzCIS", "ozcis/mail.msg", kOzMail, {"Shall we? Müller comes too.\r\n", "Sure.\r\n"}, 1},
    {"OzWin I", "ozwin1/mail.msg", kOzMail, {"Shall we? Müller comes too.\r\n", "Sure.\r\n"}, 1},
    {"OzWin II", "ozwin2/mail.msg", kOzMail, {"Shall we?\r\n", "Sure.\r\n"}},
    {"GoldenCompass",
     "goldencompass/mail.msg",
     {"1994-08-01 08:01:00 'Mail number 1' Ann Smith <70000,1> -> My Mail <71111,222>",
      "1994-08-02 08:02:00 'Mail number 2' Ann Smith <70000,1> -> My Mail <71111,222>",
      "1994-08-03 08:03:00 'Mail number 3' Ann Smith <70000,1> -> My Mail <71111,222>",
      "1994-08-04 08:04:00 'Mail number 4' Ann Smith <70000,1> -> My Mail <71111,222>",
      "1994-08-09 18:30:00 'Answer' My Mail <71111,222> -> Bob Jones <bob@example.org>"},
     {"Text 1\r\n", "Text 2\r\n", "Text 3\r\n", "Text 4\r\n", "Sent text\r\n"}},
    {"NavCIS Save format",
     "navcis/mail.sav",
     {"1996-03-05 14:07:00 'Photos' Ann Smith <ann@example.org> -> My Mail <71111,222>",
      "1996-03-06 09:30:00 'Re: Photos' My Mail <71111,222> -> Ann Smith <ann@example.org>"},
     {"Here they are.\r\n", "Thanks!\r\n"}},
};

class MailFiles : public CaptureImportTest, public ::testing::WithParamInterface<MailCase> {};

TEST_P(MailFiles, ImportAsReceivedOrSentWithDatesTimesAndTexts) {
    const MailCase& c = GetParam();
    makeMailbox("My Mail", "71111,222", {"72222,333"});
    CaptureImport how;
    how.mailbox = "My Mail";
    const CaptureRun run = importFiles(c.format, {captureSample(c.file)}, how);
    EXPECT_EQ(run.outcome, ImportOutcome::Completed);
    EXPECT_TRUE(ui.empty()) << ui.last().text;
    EXPECT_EQ(run.imported, static_cast<long long>(c.mail.size()));
    EXPECT_EQ(run.skipped, c.skipped);
    EXPECT_EQ(mailMessages("My Mail"), c.mail);
    Lines texts;
    for (ULONG id : mailIds("My Mail")) texts.push_back(messageText("My Mail", id));
    EXPECT_EQ(texts, c.texts);
}

INSTANTIATE_TEST_SUITE_P(EveryFormat, MailFiles, ::testing::ValuesIn(kMailCases));

}  // namespace
}  // namespace pm::test
