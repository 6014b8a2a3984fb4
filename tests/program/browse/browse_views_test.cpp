// The views of the message and mail browses on the sample databases: the
// order and range of each view, narrowed views, the row texts, the title
// counts and the positions kept when the view changes.
#include <gtest/gtest.h>

#include "browse/browse_views.h"
#include "browse_fixture.h"
#include "common/date_pictures.h"
#include "common/globals.h"
#include "import/store/thread_store.h"
#include "tables/access/open_close.h"
#include "tables/records/all_tables.h"
#include "wordindex/search_tables.h"

namespace pm {
namespace {

using test::BrowseTest;
using test::personNamed;
using test::sectionOf;
using test::threadOf;
using Ids = std::vector<ULONG>;

TEST_F(BrowseTest, EveryMessageViewHasItsOrder) {
    openSample(TypeForum);
    BrowseSession& b = session();
    const struct {
        BYTE view;
        Ids expected;
    } cases[] = {
        {ViewByNumber, {120, 111, 110, 105, 103, 102, 101, 100}},
        // Headings case-blind ascending, then thread and message number.
        {ViewByThread, {110, 111, 100, 101, 102, 103, 105, 120}},
        // Senders by last name (Adams, Müller, Smith), newest message first.
        {ViewBySender, {110, 102, 111, 101, 120, 105, 103, 100}},
        {ViewByReceiver, {111, 103, 110, 105, 100, 120, 102, 101}},
        // Newest date first; one date: the higher number first.
        {ViewByDate, {111, 110, 105, 103, 102, 101, 100, 120}},
    };
    for (const auto& c : cases) {
        b.setView(c.view);
        EXPECT_EQ(ids(), c.expected) << int(c.view);
        EXPECT_EQ(b.title(), " Forum database: Test Forum Messages [8]") << int(c.view);
    }
}

TEST_F(BrowseTest, NarrowedViewsHoldTheirRangeAndCountFromTheStoredCounts) {
    openSample(TypeForum);
    BrowseSession& b = session();
    b.narrowToThread(threadOf(101));
    EXPECT_EQ(ids(), (Ids{100, 101, 102, 103, 105}));
    EXPECT_EQ(b.context().XTHREADALPHA.str(), "Hello");
    EXPECT_EQ(b.title(), " Forum database: Test Forum Messages [5]");  // THR:MSGCOUNT
    EXPECT_EQ(b.filterText(), "Hello");

    b.narrowToSection(sectionOf(120));
    EXPECT_EQ(ids(), (Ids{110, 111, 120}));
    EXPECT_EQ(b.title(), " Forum database: Test Forum Messages [3]");  // SEC:MSGCOUNT
    EXPECT_EQ(b.filterText(), "02 Hardware");

    const ULONG smith = personNamed("Smith");
    b.narrowToPerson(BrowsePersonRole::Sender, smith);
    EXPECT_EQ(ids(), (Ids{120, 105, 103, 100}));
    EXPECT_EQ(b.title(), " Forum database: Test Forum Messages [4]");  // PER:FROMCOUNT
    b.narrowToPerson(BrowsePersonRole::Receiver, smith);
    EXPECT_EQ(ids(), (Ids{101}));
    EXPECT_EQ(b.title(), " Forum database: Test Forum Messages [1]");  // PER:TOCOUNT

    // A thread view whose thread is 0 is the whole file in thread order.
    b.narrowToThread(0);
    EXPECT_EQ(ids().size(), 8u);
    EXPECT_EQ(b.title(), " Forum database: Test Forum Messages [8]");
    // The section view of a section that does not exist is empty.
    b.narrowToSection(999999);
    EXPECT_TRUE(ids().empty());
    EXPECT_EQ(b.selected(), 0u);
    EXPECT_EQ(b.title(), " Forum database: Test Forum Messages [0]");
}

TEST_F(BrowseTest, KeyWordTopicAndSearchViewsListTheirMessages) {
    openSample(TypeForum);
    // A word index holding one word for three messages, a topic on two,
    // a search result of two.
    OP_CLOSE(OpenShared, {WordList.number(), MasIdx.number()});
    WordList.clear();
    WOR.WORDID = 7;
    WOR.THEWORD = "supply";
    WOR.WORDCOUNT = 3;
    ASSERT_EQ(WordList.add(), StorageStatus::Ok);
    for (ULONG m : {120u, 100u, 103u}) {
        MAS.SYSID = m;
        MAS.WORDID = 7;
        ASSERT_EQ(MasIdx.add(), StorageStatus::Ok);
    }
    Codes.clear();
    COD.TYPE = CodeTypeTopic;
    COD.INDEX = "Hardware questions";
    COD.ID = 55;
    COD.COUNT = 2;
    ASSERT_EQ(Codes.add(), StorageStatus::Ok);
    for (ULONG m : {101u, 111u}) {
        SIN.ID = 55;
        SIN.MSGNUMBER = m;
        ASSERT_EQ(SIndex.add(), StorageStatus::Ok);
    }
    ASSERT_TRUE(storeSearchResult({101, 120}));

    BrowseSession& b = session();
    b.chooseWord(7);
    EXPECT_EQ(ids(), (Ids{100, 103, 120}));  // the word's messages by number
    EXPECT_EQ(b.title(), " Forum database: Test Forum Messages [3]");
    EXPECT_EQ(b.hitWords(), std::vector<std::string>{"supply"});
    b.chooseTopic(55);
    EXPECT_EQ(ids(), (Ids{111, 101}));  // newest first
    EXPECT_EQ(b.title(), " Forum database: Test Forum Messages [2]");
    EXPECT_EQ(b.filterText(), "Hardware questions");
    b.setView(ViewBySearch);
    EXPECT_EQ(ids(), (Ids{120, 101}));
    // Without a chosen word or topic the views are empty and count 0.
    b.chooseWord(0);
    EXPECT_TRUE(ids().empty());
    EXPECT_EQ(b.title(), " Forum database: Test Forum Messages [0]");
    b.chooseTopic(0);
    EXPECT_TRUE(ids().empty());
    OP_CLOSE(ReleaseTable, {WordList.number(), MasIdx.number()});
}

TEST_F(BrowseTest, RowsShowThreadPersonsSectionAndDates) {
    openSample(TypeForum);
    BrowseSession& b = session();
    b.setView(ViewByNumber);
    const std::string d = formatDate(73001, "@D10-");
    EXPECT_EQ(cells(6), "Hello|Müller,Ärger 22222,1|Smith,John 12345,678|01 General|" + d + "|101|100");
    // The long subject is cut to 50 characters, never inside one.
    const ListRow* r = b.row(2);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->id, 110u);
    EXPECT_EQ(r->cells[CellThread], cutCharacters(test::LongSubject, 50));
    EXPECT_EQ(r->cells[CellReplyTo], "");

    // A missing thread, section or person leaves its cells blank.
    MsgNmbr.clear();
    MSG.MSGNUMBER = 101;
    ASSERT_EQ(MsgNmbr.get(MSG_IdKey), StorageStatus::Ok);
    MSG.THREADNUMBER = 424242;
    MSG.SECSYSID = 424242;
    MSG.FROMID = 424242;
    ASSERT_EQ(MsgNmbr.put(), StorageStatus::Ok);
    b.rebuild();
    EXPECT_EQ(cells(6), "||Smith,John 12345,678||" + d + "|101|100");
}

TEST_F(BrowseTest, ChangingTheViewKeepsTheSelectedMessage) {
    openSample(TypeForum);
    BrowseSession& b = session();
    b.setView(ViewByNumber);
    b.select(3);  // 105
    ASSERT_EQ(b.selected(), 105u);
    EXPECT_EQ(readContext().XMSGID, 105u);  // published
    EXPECT_EQ(b.setView(ViewBySender), 5);
    EXPECT_EQ(b.setView(ViewByDate), 2);
    EXPECT_EQ(b.setView(ViewByThread), 6);
    EXPECT_EQ(readContext().SORTORDER, ViewByThread);
    // A narrowed view without the message selects its first row.
    b.narrowToSection(sectionOf(120));
    EXPECT_EQ(b.selectedOrdinal(), 0);
    EXPECT_EQ(b.selected(), 110u);
}

TEST_F(BrowseTest, LocatingByTypedTextNumberAndDate) {
    openSample(TypeForum);
    BrowseSession& b = session();
    b.setView(ViewBySender);
    EXPECT_EQ(b.locate("m"), 2);        // Müller, case-blind
    EXPECT_EQ(b.locate("SMI"), 4);
    EXPECT_EQ(b.locate("zz"), 7);       // past everything: the last row
    b.setView(ViewByNumber);
    EXPECT_EQ(b.locate("104"), 4);      // newest first: 103 is the first at or below
    b.setView(ViewByDate);
    EXPECT_EQ(b.locate(formatDate(73002, "@D10-")), 3);
    EXPECT_EQ(b.locate("not a date"), -1);
}

TEST_F(BrowseTest, StepsToTheNextAndPreviousThreadSectionAndPerson) {
    openSample(TypeForum);
    BrowseSession& b = session();
    std::int64_t select = 0;
    b.narrowToThread(threadOf(110));
    ASSERT_TRUE(b.stepFilter(+1, select));
    EXPECT_EQ(b.filterText(), "Hello");
    EXPECT_EQ(ids(), (Ids{100, 101, 102, 103, 105}));
    EXPECT_EQ(select, 0);
    ASSERT_TRUE(b.stepFilter(+1, select));
    EXPECT_EQ(b.filterText(), "Power supply");
    EXPECT_FALSE(b.stepFilter(+1, select));  // the last thread: nothing changes
    EXPECT_EQ(b.filterText(), "Power supply");
    ASSERT_TRUE(b.stepFilter(-1, select));
    EXPECT_EQ(b.filterText(), "Hello");

    b.narrowToSection(sectionOf(100));
    ASSERT_TRUE(b.stepFilter(+1, select));
    EXPECT_EQ(b.filterText(), "02 Hardware");
    EXPECT_FALSE(b.stepFilter(+1, select));

    b.narrowToPerson(BrowsePersonRole::Sender, personNamed("Adams"));
    ASSERT_TRUE(b.stepFilter(+1, select));
    EXPECT_EQ(ids(), (Ids{111, 101}));
    ASSERT_TRUE(b.stepFilter(+1, select));
    EXPECT_EQ(ids(), (Ids{120, 105, 103, 100}));
    EXPECT_FALSE(b.stepFilter(+1, select));
    ASSERT_TRUE(b.stepFilter(-1, select));
    ASSERT_TRUE(b.stepFilter(-1, select));
    EXPECT_EQ(ids(), (Ids{110, 102}));
    EXPECT_FALSE(b.stepFilter(-1, select));
}

TEST_F(BrowseTest, MessagesInAView) {
    openSample(TypeForum);
    BrowseContext c = zeroBrowseContext();
    c.SORTORDER = ViewByNumber;
    EXPECT_FALSE(viewIsNarrowed(c));
    EXPECT_TRUE(messageInView(c, 101));
    EXPECT_FALSE(messageInView(c, 999));
    c.SORTORDER = ViewByThread;
    c.XTHREADNUMBER = threadOf(101);
    EXPECT_TRUE(viewIsNarrowed(c));
    EXPECT_TRUE(messageInView(c, 105));
    EXPECT_FALSE(messageInView(c, 110));
    c.SORTORDER = ViewBySender;
    c.XSENDID = personNamed("Adams");
    EXPECT_TRUE(messageInView(c, 102));
    EXPECT_FALSE(messageInView(c, 101));
}

TEST_F(BrowseTest, TheSearchResultKeepsOnlyMessagesOfANarrowedView) {
    openSample(TypeForum);
    BrowseSession& b = session();
    std::int64_t select = -1;
    b.narrowToThread(threadOf(101));
    ASSERT_TRUE(b.takeSearchResult({120, 103, 999, 100}, {"hello"}, select));
    EXPECT_EQ(b.view(), ViewBySearch);
    EXPECT_EQ(ids(), (Ids{103, 100}));
    EXPECT_EQ(b.selected(), 103u);
    EXPECT_EQ(b.hitWords(), std::vector<std::string>{"hello"});
    // Nothing of the view found: the view and the last result stay.
    b.narrowToSection(sectionOf(120));
    EXPECT_FALSE(b.takeSearchResult({100}, {"x"}, select));
    EXPECT_EQ(b.view(), ViewBySection);
    b.setView(ViewBySearch);
    EXPECT_EQ(ids(), (Ids{103, 100}));
}

TEST_F(BrowseTest, NewsgroupMessagesAndSections) {
    openSample(TypeNewsgroup);
    BrowseSession& b = session();
    b.setView(ViewByThread);
    EXPECT_EQ(ids(), (Ids{11, 12, 13, 14}));
    EXPECT_EQ(b.title(), " Newsgroup database: comp.lang.test Messages [4]");
    EXPECT_EQ(b.row(3)->cells[CellThread], "Ünïcödé subjects");
}

TEST_F(BrowseTest, EveryMailViewHasItsOrder) {
    openSample(TypeMail);
    BrowseSession& b = session();
    ASSERT_TRUE(b.mail());
    const struct {
        BYTE view;
        Ids expected;
    } cases[] = {
        {MailByDate, {1003, 1002, 1001, 1004}},
        {MailBySubject, {1001, 1003, 1004, 1002}},
    };
    for (const auto& c : cases) {
        b.setView(c.view);
        EXPECT_EQ(ids(), c.expected) << int(c.view);
        EXPECT_EQ(b.title(), " Mail database: Inbox Messages [4]");
    }
    const ULONG fred = personNamed("Foreign");
    b.narrowToPerson(BrowsePersonRole::Partner, fred);
    EXPECT_EQ(ids(), (Ids{1002, 1001}));
    EXPECT_EQ(b.title(), " Mail database: Inbox Messages [2]");
    b.narrowToPerson(BrowsePersonRole::Sender, fred);
    EXPECT_EQ(ids(), (Ids{1001}));
    b.narrowToPerson(BrowsePersonRole::Receiver, fred);
    EXPECT_EQ(ids(), (Ids{1002}));

    b.setView(MailByDate);
    const ListRow* r = b.row(0);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->cells[MailCellDate], formatDate(73101, "@D10-"));
    EXPECT_EQ(r->cells[MailCellTime], "09:15");
    const std::string subject = test::MailLongSubject;
    EXPECT_EQ(r->cells[MailCellSubject], subject.substr(0, utf8FitLength(subject, 50)));
    EXPECT_EQ(r->cells[MailCellSender], "Zola,Émile emile@zola.fr");
    EXPECT_EQ(r->cells[MailCellReceiver], "Inbox me@home.org");  // the owner, named after the mailbox
    EXPECT_EQ(b.row(3)->cells[MailCellSender], "Unknown,Name bob@b.org");
}

TEST(PersonTexts, FollowTheNamesThatArePresent) {
    PersonRecord p{};
    p.LASTNAME = "Zola";
    p.FIRSTNAME = "Émile";
    p.ADDRESS = "emile@zola.fr";
    EXPECT_EQ(messagePersonText(p), "Zola,Émile emile@zola.fr");
    EXPECT_EQ(mailPersonText(p), "Zola,Émile emile@zola.fr");
    PersonRecord all{};
    all.LASTNAME = "All";
    all.FIRSTNAME = "";
    all.ADDRESS = "";
    EXPECT_EQ(messagePersonText(all), "All");
    EXPECT_EQ(personDisplayName(p), "Émile Zola <emile@zola.fr>");
    p.FIRSTNAME = "";
    EXPECT_EQ(mailPersonText(p), "Zola emile@zola.fr");
    EXPECT_EQ(personDisplayName(p), "Zola <emile@zola.fr>");
    p.LASTNAME = "";
    EXPECT_EQ(mailPersonText(p), "emile@zola.fr");
    EXPECT_EQ(personDisplayName(p), "<emile@zola.fr>");
    // Cut to 50 (95) characters, never inside one.
    p.LASTNAME = "Ééééééééééééééééééééééé";
    p.FIRSTNAME = "Ééééééééééééééééééééééé";
    p.ADDRESS = "a@b";
    EXPECT_EQ(messagePersonText(p), cutCharacters(p.LASTNAME.str() + "," + p.FIRSTNAME.str() + " a@b", 50));
    EXPECT_EQ(cutCharacters("Émile", 2), "Ém");
}

TEST(ThreadHeading, UndoesThePaddingOfACharacterSplitAtByteTen) {
    const char* cases[] = {"Hello", "Discussion about B", "abcdefghié rest", "abcdefgh€ rest", "abcdefg€ rest",
                           "Grüße aus Köln", "abcdefghi"};
    for (const char* heading : cases) {
        ThreadsRecord t{};
        setThreadHeading(t, heading);
        EXPECT_EQ(threadHeading(t), heading);
    }
}

}  // namespace
}  // namespace pm
