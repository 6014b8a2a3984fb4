// The pieces of the common course and of the VirtualAccess title: what is
// a usable header, how soft breaks join, where the text ends, how
// CompuServe-rule senders split and how forum titles read.
#include <gtest/gtest.h>

#include "common/dates.h"
#include "import/formats/import_context.h"
#include "import/formats/message_course.h"
#include "import/formats/virtual_access.h"
#include "import/internet/text_assembly.h"

namespace pm::formats {
namespace {

inet::LineQueue queueOf(std::string_view text) {
    inet::LineQueue queue;
    queue.pushText(text);
    return queue;
}

TEST(Course, AHeaderIsUsableWhenItHoldsARecognisedField) {
    const struct {
        const char* text;
        bool usable;
    } cases[] = {
        {"Subject: x\n\nbody", true},
        {"X-Mailer: y\nfoo", true},
        {"From me@home Mon\nFrom: a", true},
        {"From here on we go\nwith text\n\nSubject: later", false},  // a cut body line
        {"From me@home Mon\n\nSubject: x", false},                    // a separator is no field
        {"Year: 1963\n\nWhat did", false},
        {"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(usableHeader(queueOf(c.text), 1), c.usable) << c.text;
}

TEST(Course, SoftLineBreaksJoinWithoutABreak) {
    inet::LineQueue queue = queueOf("H: x\n\nre=\nally=20\nnext =3D\nsubject =?x?=\nend=");
    joinSoftLineBreaks(queue, 3);
    inet::BodyFormat plain;
    EXPECT_EQ(inet::assembleText(queue, 3, queue.size(), plain), "really next =3D\r\nsubject =?x?=\r\nend=\r\n");
    EXPECT_FALSE(declaresTransferEncoding(queue));
    EXPECT_TRUE(declaresTransferEncoding(queueOf("a: b\ncontent-transfer-encoding: 8bit")));
}

TEST(Course, TrailingBlankLinesAreNoText) {
    inet::LineQueue queue = queueOf("S: x\n\nbody\n\n  \n");
    EXPECT_EQ(lastTextLine(queue), 3u);
    queue.markRemoved(3);
    EXPECT_EQ(lastTextLine(queue), 1u);
    EXPECT_EQ(lastTextLine(queueOf("\n\n")), 0u);
}

TEST(Course, CompuServeRuleSendersKeepIdentifiersAndInternetAddresses) {
    const struct {
        const char* text;
        const char* address;
        const char* name;
    } cases[] = {
        {"Fred Bloggs 76543,210", "76543,210", "Fred Bloggs"},
        {"Fred Bloggs [76543,210]", "76543,210", "Fred Bloggs"},
        {"Ann Smith <Ann@X.org>", "ann@x.org", "Ann Smith"},
        {"Ann Smith INTERNET:ann@x.org", "ann@x.org", "Ann Smith"},
        {"Bob Jones", "", "Bob Jones"},
    };
    for (const auto& c : cases) {
        std::string address, name;
        splitCompuServeText(c.text, address, name);
        EXPECT_EQ(address, c.address) << c.text;
        EXPECT_EQ(name, c.name) << c.text;
    }
}

TEST(VirtualAccessTitle, ForumSectionNumberAndDate) {
    const struct {
        const char* title;
        bool valid;
        const char* forum;
        ULONG section;
        const char* sectionName;
        ULONG number;
        LONG date;
    } cases[] = {
        {"photoforum/S3_Cameras #123456, from Fred, 1234 chars, 12 Mar 97 10:22", true, "PHOTOFORUM", 3, "Cameras",
         123456, dayNumber(1997, 3, 12)},
        {"CIS:PHOTO/S12_Lens Talk #7, 80 chars, 01 Jan 2001", true, "CIS:PHOTO", 12, "Lens", 7, dayNumber(2001, 1, 1)},
        {"photo/General #9, 1 chars, 5 Mai 98", true, "PHOTO", 0, "General", 9, 0},  // a one-digit day is no date
        {"photo/Sx_Name #9, 1 chars, 05 Mai 98", true, "PHOTO", 0, "Name", 9, dayNumber(1998, 5, 5)},
        {"photo/General #9, without a date", true, "PHOTO", 0, "General", 9, 0},
        {"photo/General #0, 1 chars, 05 May 98", false, "PHOTO", 0, "General", 0, 0},
        {"photo/General #12a, 1 chars", false, "PHOTO", 0, "General", 0, 0},
        {"no forum here #12, 1 chars", false, "", 0, "", 0, 0},
    };
    for (const auto& c : cases) {
        const ForumTitle t = readForumTitle(c.title);
        EXPECT_EQ(t.valid, c.valid) << c.title;
        EXPECT_EQ(t.forum, c.forum) << c.title;
        EXPECT_EQ(t.sectionNumber, c.section) << c.title;
        EXPECT_EQ(t.sectionName, c.sectionName) << c.title;
        if (c.valid) {
            EXPECT_EQ(t.number, c.number) << c.title;
            EXPECT_EQ(t.date, c.date) << c.title;
        }
    }
}

TEST(VirtualAccessTitle, CommentToIsAcceptedWithinItsRange) {
    EXPECT_EQ(readCommentTo("123456", 123460), 123456u);
    EXPECT_EQ(readCommentTo(" 100 (Fred)", 30100), 100u);
    EXPECT_EQ(readCommentTo("99", 30100), 0u);      // more than 30,000 below
    EXPECT_EQ(readCommentTo("123461", 123460), 0u);  // above the message
    EXPECT_EQ(readCommentTo("abc", 10), 0u);
}

}  // namespace
}  // namespace pm::formats
