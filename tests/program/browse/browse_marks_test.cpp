// Status marking from the browse (the records written, the effective
// status of the rows, cancelling, failures), the pages of the text pane,
// and the thread tree.
#include <gtest/gtest.h>

#include <map>

#include "browse/text_pages.h"
#include "browse/thread_tree.h"
#include "browse_fixture.h"
#include "common/date_pictures.h"
#include "common/globals.h"
#include "tables/records/all_tables.h"

namespace pm {
namespace {

using test::BrowseTest;

std::map<ULONG, BYTE> rowStatuses(BrowseSession& b) {
    std::map<ULONG, BYTE> out;
    for (std::int64_t i = 0; i < b.rows(); ++i) out[b.row(i)->id] = b.row(i)->status;
    return out;
}

BYTE storedStatus(ULONG message) {
    MsgNmbr.clear();
    MSG.MSGNUMBER = message;
    return MsgNmbr.get(MSG_IdKey) == StorageStatus::Ok ? MSG.DUMMY : 255;
}

TEST_F(BrowseTest, StatusMenuItemsMarkMessageThreadSectionAndDatabase) {
    openSample(TypeForum);
    EXPECT_EQ(statusMenuText(TypeForum),
              "Normal Message|Keep Message|Delete Message|-|Normal Thread|Keep Thread|Delete Thread|-|"
              "Normal Section|Keep Section|Delete Section|-|Normal Database|Keep Database|Delete Database");
    BrowseSession& b = session();
    b.setView(ViewByNumber);
    b.select(b.ordinalOf(101));

    // Delete the thread of 101, then keep 101 itself: the message's own
    // mark comes first, the rest of the thread shows Delete.
    EXPECT_EQ(b.setStatus(ChoiceAsk, [] { return 6; }).item, 6);
    auto s = rowStatuses(b);
    for (ULONG m : {100u, 101u, 102u, 103u, 105u}) EXPECT_EQ(s[m], StatusDelete) << m;
    EXPECT_EQ(s[110], StatusNormal);
    EXPECT_TRUE(b.setStatus(ChoiceKeepMessage).written);
    EXPECT_EQ(storedStatus(101), StatusKeep);
    EXPECT_EQ(rowStatuses(b)[101], StatusKeep);

    // A Delete on the database colours every row without a nearer mark.
    b.select(b.ordinalOf(120));
    EXPECT_TRUE(b.setStatus(12).written);
    EXPECT_EQ(Mem.ForumCheck, StatusDelete);
    s = rowStatuses(b);
    EXPECT_EQ(s[120], StatusDelete);
    EXPECT_EQ(s[101], StatusKeep);
    // Keep on the section of 120 overrides the database.
    EXPECT_TRUE(b.setStatus(8).written);
    s = rowStatuses(b);
    for (ULONG m : {110u, 111u, 120u}) EXPECT_EQ(s[m], StatusKeep) << m;
    EXPECT_EQ(s[100], StatusDelete);
    // The database mark is in the catalog and comes back with a new browse.
    browse.reset();
    Mem.ForumCheck = 0;
    session().setView(ViewByNumber);
    EXPECT_EQ(session().databaseStatus(), StatusDelete);

    // Cancelling the menu changes nothing.
    const auto before = rowStatuses(session());
    session().select(0);
    EXPECT_EQ(session().setStatus(ChoiceAsk, [] { return 0; }).item, 0);
    EXPECT_EQ(rowStatuses(session()), before);
    EXPECT_TRUE(ui.empty());
}

TEST_F(BrowseTest, MailMarksTheMailThePartnerAndTheMailbox) {
    openSample(TypeMail);
    BrowseSession& b = session();
    b.setView(MailByDate);
    b.select(b.ordinalOf(1001));
    EXPECT_EQ(statusMenuItems(TypeMail).size(), 9u);
    EXPECT_TRUE(b.setStatus(6).written);  // Delete Partner: both mails of Fred
    auto s = rowStatuses(b);
    EXPECT_EQ(s[1001], StatusDelete);
    EXPECT_EQ(s[1002], StatusDelete);
    EXPECT_EQ(s[1003], StatusNormal);
    EXPECT_TRUE(b.setStatus(ChoiceNormalMessage).written);  // Normal is no mark: the partner's still counts
    EXPECT_EQ(rowStatuses(b)[1001], StatusDelete);
    EXPECT_TRUE(b.setStatus(ChoiceKeepMessage).written);
    EXPECT_EQ(rowStatuses(b)[1001], StatusKeep);
}

TEST_F(BrowseTest, AMarkThatCannotBeWrittenIsReportedAndChangesNothing) {
    openSample(TypeForum);
    BrowseSession& b = session();
    b.setView(ViewByNumber);
    b.select(b.ordinalOf(103));
    // Another user deleted the message meanwhile.
    MsgNmbr.clear();
    MSG.MSGNUMBER = 103;
    ASSERT_EQ(MsgNmbr.get(MSG_IdKey), StorageStatus::Ok);
    ASSERT_EQ(MsgNmbr.erase(), StorageStatus::Ok);
    const StatusResult r = b.setStatus(ChoiceDeleteMessage);
    EXPECT_EQ(r.item, ChoiceDeleteMessage);
    EXPECT_FALSE(r.written);
    EXPECT_TRUE(ui.sawText("deleted by another user"));
    EXPECT_FALSE(inTransaction());
}

TEST(TextPages, PagesAndCuts) {
    auto text = [](std::size_t n, std::size_t blankAt = 0) {
        std::string t(n, 'x');
        if (blankAt) t[blankAt - 1] = ' ';
        return t;
    };
    MessageTextPages p;
    EXPECT_EQ(p.loadText(text(24000)), 0);
    EXPECT_EQ(p.pages(), 1);
    EXPECT_EQ(p.page(1).text.size(), 24000u);

    EXPECT_EQ(p.loadText(text(24001)), 1);
    EXPECT_EQ(p.pages(), 2);

    // No blank between 23,950 and 23,980: cut after 23,980.
    p.loadText(text(30000));
    TextPage one = p.page(1);
    EXPECT_EQ(one.text, std::string(23980, 'x') + " ..........<MORE>>");
    TextPage two = p.page(2);
    EXPECT_EQ(two.start, 23981u);
    EXPECT_EQ(two.prefixLength, 15u);
    EXPECT_EQ(two.text, "<CONTINUED>> \r\n" + std::string(30000 - 23980, 'x'));

    // The first blank in the window ends the page; the next starts with it.
    p.loadText(text(30000, 23960));
    EXPECT_EQ(p.page(1).text.size(), 23959u + 18);
    EXPECT_EQ(p.page(2).text.substr(15, 2), " x");

    // Three pages.
    std::string three = text(60000, 47070);
    three[23955 - 1] = ' ';
    p.loadText(three);
    ASSERT_EQ(p.pages(), 3);
    EXPECT_EQ(p.page(2).start, 23955u);
    EXPECT_EQ(p.page(2).length, 47070u - 23955u);
    EXPECT_EQ(p.page(3).start, 47070u);
    EXPECT_EQ(p.page(3).text.size(), 15 + 60000 - 47069u);
    EXPECT_TRUE(p.page(4).text.empty());

    // A cut never splits a character.
    std::string accented(23979, 'x');
    accented += "é";  // bytes 23,980 and 23,981
    accented += std::string(1000, 'y');
    p.loadText(accented);
    EXPECT_EQ(p.page(1).text.substr(0, p.page(1).text.size() - 18), std::string(23979, 'x'));
    EXPECT_EQ(p.page(2).text.substr(15, 2), "é");
}

TEST_F(BrowseTest, TheTextPaneShowsTheSelectedMessage) {
    openSample(TypeForum);
    BrowseSession& b = session();
    b.setView(ViewByNumber);
    b.select(b.ordinalOf(101));
    EXPECT_EQ(b.loadText(), 1);
    EXPECT_EQ(b.text().page(1).text, "Text of message 101.\r\nSecond line.");
    b.select(b.ordinalOf(120));
    EXPECT_EQ(b.loadText(), 2);
    // A message without a text record shows an empty pane.
    MsgText.clear();
    TXT.MSGNUMBER = 102;
    ASSERT_EQ(MsgText.get(TXT_IdKey), StorageStatus::Ok);
    ASSERT_EQ(MsgText.erase(), StorageStatus::Ok);
    b.select(b.ordinalOf(102));
    b.loadText();
    EXPECT_EQ(b.text().page(1).text, "");
    // In the search view the subject heads the text.
    std::int64_t select = 0;
    ASSERT_TRUE(b.takeSearchResult({101}, {"message"}, select));
    b.loadText();
    EXPECT_EQ(b.text().page(1).text, "Subject: Hello\r\n\r\nText of message 101.\r\nSecond line.");
}

std::string treeText(const ThreadTree& tree) {
    std::string out;
    for (const ThreadTreeLine& l : tree.lines())
        out += std::string(static_cast<std::size_t>(l.level) * 2, ' ') + (l.number ? l.text : "-") + "\n";
    return out;
}

TEST_F(BrowseTest, TheThreadTreeShowsRepliesUnderTheirParents) {
    openSample(TypeForum);
    ThreadTree tree(StyleSenderNumber, 10);
    BrowseContext c = zeroBrowseContext();
    c.XMSGID = 102;
    EXPECT_TRUE(tree.follow(c));
    EXPECT_EQ(treeText(tree),
              "-\n"
              "John Smith 100\n"
              "  Ärger Müller 101\n"
              "    Zoë Adams 102\n"
              "  John Smith 103\n"
              "John Smith 105\n");  // its parent was never imported
    EXPECT_EQ(tree.lines()[1].icon, 1);
    EXPECT_EQ(tree.lines()[2].icon, 2);
    EXPECT_EQ(tree.lineOf(103), 4);
    // Another message of the same thread: no rebuild.
    c.XMSGID = 105;
    EXPECT_FALSE(tree.follow(c));
    EXPECT_FALSE(tree.follow(c));
    c.XMSGID = 111;
    EXPECT_TRUE(tree.follow(c));
    EXPECT_EQ(tree.lines().size(), 3u);

    ThreadTree dated(StyleSenderDateNumber, 10);
    dated.build(tree.thread());
    EXPECT_EQ(dated.lines()[2].text, "Ärger Müller " + formatDate(73006, "@D10-") + " 111");
    ThreadTree undated(StyleSenderDate, 99);  // an unknown date format shows no date
    undated.build(tree.thread());
    EXPECT_EQ(undated.lines()[2].text, "Ärger Müller ");
}

TEST(ThreadTreeShape, OrphansCyclesAndSelfReferences) {
    ThreadTree tree(StyleSenderNumber, 0);
    // Every parent missing: all top level, by number.
    tree.buildFrom({{30, 1, "c", 0}, {10, 2, "a", 0}, {20, 3, "b", 0}});
    EXPECT_EQ(treeText(tree), "-\na 10\nb 20\nc 30\n");
    // A message that names itself is a top message.
    tree.buildFrom({{5, 5, "self", 0}, {6, 5, "reply", 0}});
    EXPECT_EQ(treeText(tree), "-\nself 5\n  reply 6\n");
    // A cycle 1 -> 2 -> 3 -> 1 ends, and shows every message once.
    tree.buildFrom({{1, 3, "x", 0}, {2, 1, "y", 0}, {3, 2, "z", 0}, {4, 2, "w", 0}});
    EXPECT_EQ(treeText(tree), "-\nx 1\n  y 2\n    z 3\n    w 4\n");
    // A long chain.
    std::vector<ThreadTree::Message> chain;
    for (ULONG n = 1; n <= 500; ++n) chain.push_back({n, n - 1, "p", 0});
    tree.buildFrom(chain);
    ASSERT_EQ(tree.lines().size(), 501u);
    EXPECT_EQ(tree.lines().back().level, 499);
}

}  // namespace
}  // namespace pm
