// The header rules of the capture formats, one table per rule.
#include <gtest/gtest.h>

#include "common/dates.h"
#include "import/capture/capture_dates.h"
#include "import/capture/capture_headers.h"
#include "import/capture/capture_parties.h"
#include "import/capture/layout_codes.h"

namespace pm::capture {
namespace {

constexpr const char* kCp850 = "ibm-850";
constexpr const char* kAnsi = "windows-1252";

TEST(CaptureDates, DayMonthAndYearWithTheOneCenturyRule) {
    struct Case {
        const char* text;
        const char* codePage;
        LONG expected;
    } cases[] = {
        {"10-Nov-85", kCp850, dayNumber(1985, 11, 10)},
        {"10-NOV-85", kCp850, dayNumber(1985, 11, 10)},
        {"5-Mai-97", kCp850, dayNumber(1997, 5, 5)},    // one-digit day, German month
        {"05-mAI-97", kCp850, dayNumber(1997, 5, 5)},   // any letter case
        {"05-M\x8ER-97", kCp850, dayNumber(1997, 3, 5)},  // MÄR in code page 850
        {"05-M\xE4r-97", kAnsi, dayNumber(1997, 3, 5)},   // Mär in Windows-1252
        {"24-Dez-99", kCp850, dayNumber(1999, 12, 24)},
        {"01-Okt-00", kCp850, dayNumber(2000, 10, 1)},  // 00-49 are 2000-2049
        {"01-Jan-49", kCp850, dayNumber(2049, 1, 1)},
        {"01-Jan-50", kCp850, dayNumber(1950, 1, 1)},
        {"10-Nov-1985", kCp850, dayNumber(1985, 11, 10)},
        {"05-Xyz-97", kCp850, 0},  // unknown month
        {"31-Feb-97", kCp850, 0},
        {"ab-Nov-85", kCp850, 0},
        {"10-Nov-8", kCp850, 0},
        {"", kCp850, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(captureDate(c.text, c.codePage), c.expected) << c.text;
}

TEST(CaptureDates, DateLinesStartAtPositionFiveOrSix) {
    struct Case {
        const char* line;
        LONG date;
        std::size_t end;
    } cases[] = {
        {"    10-Nov-85  16:47:35", dayNumber(1985, 11, 10), 13},
        {"     9-Dez-85  10:00:00", dayNumber(1985, 12, 9), 13},
        {"    3-Apr-93 9:15", dayNumber(1993, 4, 3), 12},
        {"     10-Nov-85", dayNumber(1985, 11, 10), 14},
        {"      10-Nov-85", 0, 0},  // positions 5 and 6 blank: none
        {"Dt: 10-Nov-85", dayNumber(1985, 11, 10), 13},
        {"    1O-Nov-85", 0, 13},
    };
    for (const Case& c : cases) {
        const DateLineDate d = dateOfDateLine(c.line, kCp850);
        EXPECT_EQ(d.date, c.date) << c.line;
        EXPECT_EQ(d.end, c.end) << c.line;
    }
}

TEST(CaptureDates, TimesOfTheFixedAndFreeShapes) {
    const LONG t1530 = (15 * 3600 + 30 * 60) * 100;
    EXPECT_EQ(timeAfter("    3-Apr-93 9:15", 12), (9 * 3600 + 15 * 60) * 100);
    EXPECT_EQ(timeAfter("    03-Apr-93  15:30", 13), t1530);
    EXPECT_EQ(timeAfter("    03-Apr-93    15:30:09", 13), t1530 + 900);
    EXPECT_EQ(timeAfter("    03-Apr-93 5:30:09", 13), (5 * 3600 + 30 * 60 + 9) * 100);
    EXPECT_EQ(timeAfter("    03-Apr-93      15:30", 13), 0);  // beyond five positions
    EXPECT_EQ(timeAfter("    03-Apr-93  25:30", 13), 0);
    EXPECT_EQ(timeAfter("    03-Apr-93  noon", 13), 0);
    EXPECT_EQ(timeHhMm("Date:  15-Mar-96 15:30", 18), t1530);
    EXPECT_EQ(timeHhMm("Date:  15-Mar-96 5:30", 18), 0);
    EXPECT_EQ(timeHhMmSs("    15-Mar-96  15:30:09", 16), t1530 + 900);
    EXPECT_EQ(timeHhMmSs("    15-Mar-96  15:30", 16), 0);
}

TEST(CaptureStartLine, NumberSectionAndForum) {
    struct Case {
        CaptureFormat format;
        const char* line;
        unsigned long number;
        ULONG section;
        const char* sectionName;
        const char* forum;
    } cases[] = {
        {CaptureFormat::Tapcis6, "#: 153121 S1/General", 153121, 1, "General", ""},
        {CaptureFormat::Tapcis6, "#: 8999999 S12/Hardware Help", 8999999, 12, "Hardware Help", ""},
        {CaptureFormat::Tapcis6, "#: 9000000 S1/General", 0, 0, "", ""},
        {CaptureFormat::Tapcis6, "#: 0 S1/General", 0, 0, "", ""},
        {CaptureFormat::Tapcis6, "#: 12a4 S1/General", 0, 0, "", ""},
        {CaptureFormat::Tapcis6, "#:  1234 S1/General", 0, 0, "", ""},  // the number starts at position 4
        {CaptureFormat::Tapcis6, "#: 1234567890123 S1/X", 0, 0, "", ""},
        {CaptureFormat::Tapcis6, "#: 12 (R) S7/Help Desk", 12, 7, "Help Desk", ""},
        {CaptureFormat::Tapcis6, "#: 12 /Name", 12, 0, "Name", ""},
        {CaptureFormat::Tapcis6, "#: 12 S/Name", 12, 0, "Name", ""},
        {CaptureFormat::Tapcis6, "#: 12 General", 12, 0, "General", ""},
        {CaptureFormat::Tapcis6, "#: 12", 12, 0, "", ""},
        {CaptureFormat::Tapcis6, "#: 12 S1/A very long section name beyond thirty", 12, 1, "A very long section name be",
         ""},
        // TAPCIS and AUTOSIG never name the forum.
        {CaptureFormat::Tapcis6, "#: 12 S1/Gen (CIS:FORUM)", 12, 1, "Gen (CIS:FORUM)", ""},
        {CaptureFormat::Tapcis5, "#: 4711 S3/Utilities@b", 4711, 3, "Utilities", ""},
        {CaptureFormat::GoldenCompass, "#: 4711@b", 4711, 0, "", ""},
        {CaptureFormat::OzCis, "#: 98700 S5/Printers (CIS:IBMHW)", 98700, 5, "Printers", "IBMHW"},
        {CaptureFormat::OzWin1, "#: 98700 S5/Printers (cis:ibmhw)", 98700, 5, "Printers", "ibmhw"},
        {CaptureFormat::OzWin2, "#: 1 S1/X (Y) (LAST)", 1, 1, "X (Y)", "LAST"},
        {CaptureFormat::OzCis, "#: 1 S1/X (unclosed", 1, 1, "X (unclosed", ""},
        {CaptureFormat::OzCis, "#: 1 S1/X ()", 1, 1, "X", ""},
    };
    for (const Case& c : cases) {
        const ForumNumberAndSection r = readForumStartLine(c.line, c.format, kCp850);
        EXPECT_EQ(r.number, c.number) << c.line;
        if (r.number == 0) continue;
        EXPECT_EQ(r.sectionNumber, c.section) << c.line;
        EXPECT_EQ(r.sectionName, c.sectionName) << c.line;
        EXPECT_EQ(r.forumName, c.forum) << c.line;
    }
}

TEST(CaptureSubjectLine, ReferenceWithinReachAndDistance) {
    struct Case {
        unsigned long number;
        const char* line;
        ULONG reference;
        const char* subject;
    } cases[] = {
        {1300, "Sb: #1234-Subject text", 1234, "Subject text"},
        {40000, "Sb: #1234-Subject text", 0, "1234-Subject text"},  // more than 30,000 above
        {31234, "Sb: #1234 Subject", 1234, "Subject"},              // exactly 30,000
        {31235, "Sb: #1234 Subject", 0, "1234 Subject"},
        {1300, "Sb: 1234 Subject", 1234, "Subject"},
        {1200, "Sb: #1234-Later", 0, "1234-Later"},  // above the message number
        {1234, "Sb: #1234-Same", 1234, "Same"},
        {99, "Sb: #12345-X", 0, "12345-X"},  // no end within three characters
        {153183, "Sb: #153121-#Nulu15 Buggy Too!", 153121, "Nulu15 Buggy Too!"},
        {153183, "Sb: #Nulu15 Buggy Too!", 0, "Nulu15 Buggy Too!"},
        {1300, "Sb: #0-Zero", 0, "0-Zero"},
        {1300, "Sb: #1234", 1234, ""},
        {1300, "Sb: Plain", 0, "Plain"},
        {1300, "Sb:", 0, ""},
    };
    for (const Case& c : cases) {
        const SubjectAndReference r =
            readSubjectLine(c.line, c.number, std::to_string(c.number).size(), CaptureFormat::Tapcis6, kCp850);
        EXPECT_EQ(r.reference, c.reference) << c.number << " " << c.line;
        EXPECT_EQ(r.subject, c.subject) << c.number << " " << c.line;
    }
    const SubjectAndReference marked = readSubjectLine("Sb: #4700-File transfer@b", 4711, 4, CaptureFormat::Tapcis5, kCp850);
    EXPECT_EQ(marked.reference, 4700u);
    EXPECT_EQ(marked.subject, "File transfer");
    EXPECT_EQ(readSubjectLine("Sb: Gr\x81\xE1""e", 1, 1, CaptureFormat::Tapcis6, kCp850).subject, "Grüße");
    EXPECT_EQ(readSubjectLine("Sb: Gr\xFC\xDF""e", 1, 1, CaptureFormat::OzWin1, kAnsi).subject, "Grüße");
}

TEST(CaptureParties, ForumAndMailSenders) {
    struct Case {
        bool mail;
        const char* text;
        const char* name;
        const char* address;
    } cases[] = {
        {false, "John Deakin 74015,1624", "John Deakin", "74015,1624"},
        {false, "Sysop David Kozinn   76703,565 (X)", "Sysop David Kozinn", "76703,565"},
        {false, "Jörg Müller [76543,210]", "Jörg Müller", "76543,210"},
        {false, "All", "All", ""},
        {true, "Joe Bloggs >INTERNET:Joe@Example.COM", "Joe Bloggs", "joe@example.com"},
        {true, "\"Joe Bloggs\" INTERNET:joe@x.org", "Joe Bloggs", "joe@x.org"},
        {true, "Joe Bloggs INTERNET joe@x.org", "Joe Bloggs", "joe@x.org"},
        {true, "Ann Smith [INTERNET:ann@x.org]", "Ann Smith", "ann@x.org"},
        {true, "Ann \xE2\x94\x82INTERNET:ann@x.org", "Ann", "ann@x.org"},
        // No name: the address is split once more.
        {true, "INTERNET:joe@x.org", "", "joe@x.org"},
        {true, "INTERNET:Joe Bloggs <joe@x.org>", "Joe Bloggs", "joe@x.org"},
        {true, "Ann Smith [70000,1]", "Ann Smith", "70000,1"},
        {true, "70000,1", "", "70000,1"},
        {true, "Bob Jones", "Bob", "Jones"},
    };
    for (const Case& c : cases) {
        std::string address, name;
        if (c.mail) splitMailParty(c.text, address, name);
        else splitForumParty(c.text, address, name);
        EXPECT_EQ(name, c.name) << c.text;
        EXPECT_EQ(address, c.address) << c.text;
    }
    // The bar between name and identifier, in either code page.
    EXPECT_EQ(partyText("Ann Smith\xB3" "70000,1", kCp850), "Ann Smith\xE2\x94\x82" "70000,1");
    EXPECT_EQ(partyText("Ann Smith\xB3" "70000,1", kAnsi), "Ann Smith\xE2\x94\x82" "70000,1");
    std::string address, name;
    splitForumParty(partyText("Ann Smith\xB3" "70000,1", kAnsi), address, name);
    EXPECT_EQ(name, "Ann Smith");
    EXPECT_EQ(address, "70000,1");
}

TEST(GoldenCompassLayoutCodes, StoredLinesBreakIntoTextLines) {
    using L = std::vector<std::string>;
    struct Case {
        const char* stored;
        L lines;
    } cases[] = {
        {"", {""}},
        {"Plain", {"Plain"}},
        {"@lText@b", {"Text"}},
        {"@lText@b\n", {"Text"}},
        {"Text@l", {"Text"}},
        {"@b", {"@b"}},  // shorter than three characters: nothing removed
        {"One@b\n@lTwo@b", {"One", "Two"}},
        {"One@b\r\nTwo", {"One", "Two"}},
        {"One@l\r\nTwo", {"One", "Two"}},
        {"One@b\nTwo", {"One", "Two"}},
        {"One\n@lTwo", {"One", "Two"}},
        {"One\nTwo\nThree", {"One", "Two", "Three"}},
        {"@b\n@lText", {"", "", "Text"}},  // at the start: two empty lines
        {"@l\n@lText", {"", "Text"}},       // "@l" removed, then LF "@l": one
        {"@b\nText", {"", "Text"}},
        {"\nText", {"", "Text"}},
        {"Text\n", {"Text", ""}},
        {"A@bB", {"A@bB"}},
    };
    for (const Case& c : cases) EXPECT_EQ(splitStoredLine(c.stored), c.lines) << c.stored;
}

}  // namespace
}  // namespace pm::capture
