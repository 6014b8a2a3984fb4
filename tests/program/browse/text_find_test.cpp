// The standard search on the sample databases: the string test's word and
// case rules, the order of the finds in the browse's view in both
// directions, the end of the view, the date range and the narrowed views.
#include <gtest/gtest.h>

#include "browse/browse_views.h"
#include "browse/text_find.h"
#include "browse/topics.h"
#include "browse_fixture.h"
#include "common/globals.h"

namespace pm {
namespace {

using test::BrowseTest;
using Ids = std::vector<ULONG>;

TEST(TextFindString, WordsOnlyNeedsNonWordCharactersAround) {
    EXPECT_EQ(AISINB(false, "THE CATALOG", "CAT"), 5);
    EXPECT_EQ(AISINB(true, "THE CATALOG", "CAT"), 0);
    EXPECT_EQ(AISINB(true, "THE CATALOG, THE CAT.", "CAT"), 18);
    EXPECT_EQ(AISINB(true, "CAT", "CAT"), 1);
    // A numeric string counts only digits as word characters.
    EXPECT_EQ(AISINB(true, "ITEM 123", "12"), 0);
    EXPECT_EQ(AISINB(true, "ITEM 123 OR 12A", "12"), 13);
    EXPECT_EQ(AISINB(false, "ITEM 123", "12"), 6);
    // Characters outside Windows-1252 join a word; its accented letters do not.
    EXPECT_EQ(AISINB(true, "ЖCAT", "CAT"), 0);
    EXPECT_EQ(AISINB(true, "éCAT", "CAT"), 3);
    EXPECT_EQ(AISINB(false, "abc", ""), 0);
    EXPECT_EQ(AISINB(false, "ab", "abc"), 0);
    EXPECT_EQ(cutFindText("Straßenbahnhaltestelle Köln"), "Straßenbahnhaltestel");
}

class TextFindTest : public BrowseTest {
protected:
    // Every message found from `start` on, "Next" after "Next", one record
    // per step, the browse reading its rows between steps.
    Ids findAll(FindOptions options, ULONG start) {
        Ids found;
        for (int guard = 0; guard < 20; ++guard) {
            TextFind find(options, currentRange(), start, 1);
            while (find.step() == JobStatus::Running) session().row(0), session().row(session().rows() - 1);
            if (find.status() != JobStatus::Done || find.endReached()) break;
            found.push_back(find.found());
            start = find.found();
        }
        return found;
    }

    KeyRange currentRange() {
        return session().mail() ? mailViewRange(session().mailContext()) : messageViewRange(session().context());
    }

    static FindOptions headings(const std::string& text) {
        FindOptions o;
        o.text = text;
        o.where = FindHeadingOnly;
        return o;
    }
};

TEST_F(TextFindTest, FindsInTheBrowseOrderInBothDirections) {
    openSample(TypeForum);
    session().setView(ViewByNumber);  // 120 111 110 105 103 102 101 100
    EXPECT_EQ(findAll(headings("hello"), 120), (Ids{105, 103, 102, 101, 100}));
    FindOptions back = headings("HELLO");
    back.direction = FindBackward;
    EXPECT_EQ(findAll(back, 100), (Ids{101, 102, 103, 105}));

    // Backward from the first record ends at once.
    TextFind first(back, currentRange(), 120, 50);
    EXPECT_EQ(runToEnd(first), JobStatus::Done);
    EXPECT_TRUE(first.endReached());
    EXPECT_EQ(first.recordsRead(), 0);

    // Without a current message the find starts at the view's edge.
    FindOptions text;
    text.text = "ripple";
    TextFind edge(text, currentRange(), 0, 50);
    runToEnd(edge);
    EXPECT_EQ(edge.found(), 120u);
    EXPECT_EQ(edge.match(), FindMatch::Text);
    EXPECT_EQ(reportCounter(edge.report(), "records"), 8);

    // Only in the text: not found in heading-only mode.
    TextFind heading(headings("ripple"), currentRange(), 0, 50);
    runToEnd(heading);
    EXPECT_TRUE(heading.endReached());
    EXPECT_EQ(heading.recordsRead(), 8);
}

TEST_F(TextFindTest, CaseWordsAndDatesNarrowTheFinds) {
    openSample(TypeForum);
    session().setView(ViewByThread);  // 110 111 100 101 102 103 105 120
    FindOptions exact = headings("hello");
    exact.matchCase = true;
    EXPECT_TRUE(findAll(exact, 0).empty());
    exact.text = "Hello";
    EXPECT_EQ(findAll(exact, 0), (Ids{100, 101, 102, 103, 105}));

    FindOptions text;
    text.text = "second line";
    text.fromDate = 73002;
    text.toDate = 73005;
    EXPECT_EQ(findAll(text, 0), (Ids{110, 102, 103, 105}));
    text.wordsOnly = true;
    text.text = "message 11";  // "message 110" and "message 111": followed by digits 0 and 1
    text.fromDate = text.toDate = 0;
    text.where = FindTextOnly;
    EXPECT_EQ(findAll(text, 0), (Ids{110}));  // "1" is a word character, "0" is not
}

TEST_F(TextFindTest, NarrowedViewsAndMailboxesAreSearchedInTheirOwnRange) {
    openSample(TypeForum);
    const ULONG topic = addTopic("Picked");
    ASSERT_TRUE(attachTopic(topic, {100, 103, 120}).ok);
    session().chooseTopic(topic);  // 120 103 100
    FindOptions text;
    text.text = "TEXT OF MESSAGE";
    EXPECT_EQ(findAll(text, 0), (Ids{103, 100}));
    browse.reset();
    tables.reset();

    openSample(TypeMail);
    session().setView(MailByDate);  // 1003 1002 1001 1004
    FindOptions mail;
    mail.text = "regards";
    EXPECT_EQ(findAll(mail, 1003), (Ids{1002, 1001, 1004}));
    mail.text = "hello world";
    mail.where = FindHeadingOnly;
    const Ids hello = findAll(mail, 0);
    EXPECT_EQ(hello, (Ids{1002, 1001}));  // "Re: Hello World" is newer
    EXPECT_EQ(firstMessageDate(), 73099);
}

}  // namespace
}  // namespace pm
