// The browse windows offscreen on the sample databases: views and their
// order, narrowing with the look-up lists and the filter buttons, the
// navigation buttons, status marks with their colours, the text pane's
// pages, the thread tree following the browse and its double click, the
// frame's commands, and screenshots of the forum, newsgroup and mail browses.
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

#include "browse/windows/browse_link.h"
#include "browse/windows/browse_settings.h"
#include "browse/windows/browse_window.h"
#include "browse/windows/lookup_dialog.h"
#include "browse/windows/paged_list_model.h"
#include "browse/windows/paged_table_view.h"
#include "browse/windows/text_pane.h"
#include "browse/windows/thread_tree_window.h"
#include "common/date_pictures.h"
#include "common/globals.h"
#include "frame/main_frame.h"
#include "sets/windows/set_operations_window.h"
#include "frame_test_support.h"
#include "support/sample_databases.h"
#include "tables/access/open_close.h"
#include "tables/catalog/active_database.h"
#include "maintenance/windows/person_browse_window.h"
#include "tables/config/browse_columns.h"
#include "tables/records/all_tables.h"

namespace pm::test {

using frame::CommandId;
using frame::ToolbarButton;

namespace {

// The numbers of the list's rows, in order.
QStringList numbers(BrowseWindow& w) {
    QStringList out;
    const int column = w.model()->columnCount() - (w.session().mail() ? 1 : 2);
    for (int r = 0; r < w.model()->rowCount(); ++r) out << w.model()->index(r, column).data().toString();
    return out;
}

int rowOf(BrowseWindow& w, ULONG number) { return static_cast<int>(w.session().ordinalOf(number)); }

QColor colourOf(BrowseWindow& w, int row) {
    return w.model()->index(row, 0).data(Qt::ForegroundRole).value<QColor>();
}

const QColor kKeep(0, 0, 128), kDelete(255, 0, 0);

}  // namespace

class BrowseWindowTest : public QObject {
    Q_OBJECT
private slots:
    void viewsShowTheirOrderAndTheTitleCounts();
    void narrowingWithLookupListsAndFilterButtons();
    void navigationButtonsMoveTheSelection();
    void statusMarksFromMenuAndKeysColourTheRows();
    void textPaneTurnsPages();
    void threadTreeFollowsTheBrowseAndDoubleClickShowsTheMessage();
    void mailBrowse();
    void lookupListOfPersonsSortsAndLocates();
    void frameCommandsOpenTheBrowseAndTheTree();
    void columnWidthsComeBackWhenTheListsOpenAgain();
    void screenshots();
};

void BrowseWindowTest::viewsShowTheirOrderAndTheTitleCounts() {
    Installation inst;
    makeSampleForum();
    inst.settings.values[frame::ItemDateFormat] = 10;
    BrowseWindow w(inst.settings);
    QCOMPARE(w.windowName(), QString("BrowseMsgNmbr"));
    QCOMPARE(w.windowTitle(), QString(" Forum database: Test Forum Messages [8]"));
    QCOMPARE(numbers(w), QStringList({"120", "111", "110", "105", "103", "102", "101", "100"}));
    QCOMPARE(w.currentRow(), 0);
    QCOMPARE(readContext().XMSGID, 120u);
    QVERIFY(!w.viewTabs()->isTabVisible(8));  // no search result yet

    w.selectRow(rowOf(w, 105));
    w.viewTabs()->setCurrentIndex(3);  // By Sender: the selection stays on 105
    QCOMPARE(numbers(w), QStringList({"110", "102", "111", "101", "120", "105", "103", "100"}));
    QCOMPARE(w.currentRow(), 5);
    QCOMPARE(readContext().SORTORDER, BYTE(ViewBySender));
    w.viewTabs()->setCurrentIndex(5);
    QCOMPARE(numbers(w), QStringList({"111", "110", "105", "103", "102", "101", "100", "120"}));
    QCOMPARE(w.model()->index(0, 4).data().toString(), QString::fromStdString(formatDate(73006, "@D10-")));
    QCOMPARE(w.model()->headerData(3, Qt::Horizontal, Qt::DisplayRole).toString(), QString("Section"));

    // The section view without a chosen section shows the selected message's.
    w.selectRow(rowOf(w, 120));
    w.viewTabs()->setCurrentIndex(2);
    QCOMPARE(numbers(w), QStringList({"110", "111", "120"}));
    QCOMPARE(w.windowTitle(), QString(" Forum database: Test Forum Messages [3]"));
    QCOMPARE(w.filterLabel()->text(), QString("Section: 02 Hardware"));

    // Typing locates in the view's order.
    w.viewTabs()->setCurrentIndex(3);
    w.list()->setFocus();
    QTest::keyClicks(w.list(), "sm");
    QCOMPARE(w.currentRow(), 4);
}

void BrowseWindowTest::narrowingWithLookupListsAndFilterButtons() {
    Installation inst;
    makeSampleForum();
    BrowseWindow w(inst.settings);
    std::vector<LookupKind> asked;
    ULONG answer = 0;
    w.setLookupChooser([&](LookupKind kind) {
        asked.push_back(kind);
        return answer;
    });
    w.viewTabs()->setCurrentIndex(1);  // By Thread: the whole file
    QCOMPARE(w.model()->rowCount(), 8);
    QVERIFY(w.toolbarButtonEnabled(ToolbarButton::NextFilterValue));
    answer = threadOf(101);
    w.chooseFilterValue();
    QCOMPARE(asked.back(), LookupKind::Threads);
    QCOMPARE(numbers(w), QStringList({"100", "101", "102", "103", "105"}));
    QCOMPARE(w.windowTitle(), QString(" Forum database: Test Forum Messages [5]"));
    QCOMPARE(w.filterLabel()->text(), QString("Thread: Hello"));
    w.pressButton(ToolbarButton::NextFilterValue);
    QCOMPARE(w.filterLabel()->text(), QString("Thread: Power supply"));
    QCOMPARE(numbers(w), QStringList({"120"}));
    w.pressButton(ToolbarButton::PreviousFilterValue);
    QCOMPARE(w.filterLabel()->text(), QString("Thread: Hello"));

    answer = personNamed("Adams");
    w.viewTabs()->setCurrentIndex(3);
    w.chooseFilterValue();
    QCOMPARE(asked.back(), LookupKind::Persons);
    QCOMPARE(numbers(w), QStringList({"110", "102"}));
    QCOMPARE(w.filterLabel()->text(), QString("Sender: Zoë Adams <33333,3>"));

    // The key-word view asks for a word; cancelling leaves it empty. The
    // topic view asks for a topic; cancelling goes back to view 1.
    answer = 0;
    w.viewTabs()->setCurrentIndex(6);
    QCOMPARE(asked.back(), LookupKind::Words);
    QCOMPARE(w.model()->rowCount(), 0);
    QCOMPARE(w.windowTitle(), QString(" Forum database: Test Forum Messages [0]"));
    QVERIFY(w.textPane()->text().isEmpty());
    QVERIFY(!w.toolbarButtonEnabled(ToolbarButton::NextRecord));  // an empty view
    w.viewTabs()->setCurrentIndex(7);
    QCOMPARE(asked.back(), LookupKind::Topics);
    QCOMPARE(w.session().view(), BYTE(ViewByNumber));
    QCOMPARE(w.viewTabs()->currentIndex(), 0);
    QVERIFY(!w.toolbarButtonEnabled(ToolbarButton::NextFilterValue));  // not in view 1
}

void BrowseWindowTest::navigationButtonsMoveTheSelection() {
    Installation inst;
    makeSampleForum();
    BrowseWindow w(inst.settings);
    w.resize(800, 600);
    w.pressButton(ToolbarButton::LastPage);
    QCOMPARE(w.currentRow(), 7);
    QCOMPARE(readContext().XMSGID, 100u);
    w.pressButton(ToolbarButton::PriorRecord);
    QCOMPARE(w.currentRow(), 6);
    w.pressButton(ToolbarButton::FirstPage);
    QCOMPARE(w.currentRow(), 0);
    w.pressButton(ToolbarButton::NextRecord);
    QCOMPARE(w.currentRow(), 1);
    w.pressButton(ToolbarButton::NextPage);
    QCOMPARE(w.currentRow(), 7);  // fewer rows than a page
    w.pressButton(ToolbarButton::PriorPage);
    QCOMPARE(w.currentRow(), 0);
    // The buttons arrive as the frame sends them.
    frame::ToolbarButtonEvent last(ToolbarButton::LastPage);
    QCoreApplication::sendEvent(&w, &last);
    QCOMPARE(w.currentRow(), 7);

    // The bookmark: set on one message, back to it from another.
    QCOMPARE(w.bookmarkButton()->toolTip(), QString("Set BookMark"));
    w.selectRow(rowOf(w, 103));
    w.toggleBookmark();
    QCOMPARE(w.bookmark(), 103u);
    QCOMPARE(w.bookmarkButton()->toolTip(), QString("Reset to BookMark"));
    w.selectRow(0);
    w.toggleBookmark();
    QCOMPARE(readContext().XMSGID, 103u);
    QCOMPARE(w.bookmark(), 0u);
}

void BrowseWindowTest::statusMarksFromMenuAndKeysColourTheRows() {
    Installation inst;
    makeSampleForum();
    BrowseWindow w(inst.settings);
    QStringList menuTexts;
    int menuAnswer = 0;
    w.setMenuChooser([&](QMenu* menu) {
        menuTexts.clear();
        for (QAction* a : menu->actions()) menuTexts << (a->isSeparator() ? "-" : a->text());
        return menuAnswer;
    });
    // Delete Thread from the menu: the thread's rows turn red at once.
    w.selectRow(rowOf(w, 101));
    menuAnswer = 6;
    w.setStatus(ChoiceAsk);
    QCOMPARE(menuTexts, QStringList({"Normal Message", "Keep Message", "Delete Message", "-", "Normal Thread",
                                     "Keep Thread", "Delete Thread", "-", "Normal Section", "Keep Section",
                                     "Delete Section", "-", "Normal Database", "Keep Database", "Delete Database"}));
    for (ULONG m : {100u, 101u, 102u, 103u, 105u}) QCOMPARE(colourOf(w, rowOf(w, m)), kDelete);
    QVERIFY(!colourOf(w, rowOf(w, 110)).isValid());

    // Shift+K keeps the message itself, over its thread's Delete.
    w.list()->setFocus();
    QTest::keyClick(w.list(), Qt::Key_K, Qt::ShiftModifier);
    QCOMPARE(colourOf(w, rowOf(w, 101)), kKeep);
    QCOMPARE(w.currentRow(), rowOf(w, 101));  // no locating by the K
    // Delete marks Delete; Shift+N goes back to Normal (the thread shows again).
    w.selectRow(rowOf(w, 110));
    QTest::keyClick(w.list(), Qt::Key_Delete);
    QCOMPARE(colourOf(w, rowOf(w, 110)), kDelete);
    QTest::keyClick(w.list(), Qt::Key_N, Qt::ShiftModifier);
    QVERIFY(!colourOf(w, rowOf(w, 110)).isValid());

    // Cancelling the menu changes nothing.
    menuAnswer = 0;
    w.setStatus(ChoiceAsk);
    QVERIFY(!colourOf(w, rowOf(w, 110)).isValid());
    // The frame's Message Status command opens the same menu.
    menuAnswer = 12;
    menuTexts.clear();
    frame::CommandEvent command(static_cast<int>(CommandId::MessageStatus));
    QCoreApplication::sendEvent(&w, &command);
    QCOMPARE(menuTexts.size(), 15);
    QCOMPARE(colourOf(w, rowOf(w, 110)), kDelete);  // the database is Delete now
    QCOMPARE(colourOf(w, rowOf(w, 101)), kKeep);
    QCOMPARE(Mem.ForumCheck, BYTE(StatusDelete));

    // The colours follow the preferences.
    inst.settings.values[frame::ItemKeepColour] = 0x008000;  // green (red in the low byte)
    BrowseWindow again(inst.settings);
    QCOMPARE(colourOf(again, rowOf(again, 101)), QColor(0, 128, 0));
}

void BrowseWindowTest::textPaneTurnsPages() {
    Installation inst;
    makeSampleForum();
    BrowseWindow w(inst.settings);
    w.selectRow(rowOf(w, 101));
    QCOMPARE(w.textPane()->text(), QString("Text of message 101.\nSecond line."));
    QVERIFY(!w.textPane()->nextPageButton()->isVisibleTo(&w));
    w.selectRow(rowOf(w, 120));
    QCOMPARE(w.textPane()->pages(), 2);
    QVERIFY(w.textPane()->nextPageButton()->isVisibleTo(&w));
    QVERIFY(w.textPane()->text().endsWith(" ..........<MORE>>"));
    QVERIFY(!w.textPane()->previousPageButton()->isEnabled());
    QTest::mouseClick(w.textPane()->nextPageButton(), Qt::LeftButton);
    QCOMPARE(w.textPane()->page(), 2);
    QVERIFY(w.textPane()->text().startsWith("<CONTINUED>> \n"));
    QVERIFY(!w.textPane()->nextPageButton()->isEnabled());
    QTest::mouseClick(w.textPane()->previousPageButton(), Qt::LeftButton);
    QCOMPARE(w.textPane()->page(), 1);

    // In the search view the hit words are marked and stepped through.
    QVERIFY(w.showSearchResult({120, 101}, {"SUPPLIES"}));
    QCOMPARE(w.session().view(), BYTE(ViewBySearch));
    QVERIFY(w.viewTabs()->isTabVisible(8));
    QCOMPARE(w.viewTabs()->currentIndex(), 8);
    QCOMPARE(readContext().XMSGID, 120u);
    QVERIFY(w.textPane()->text().startsWith("Subject: Power supply\n\n"));
    QVERIFY(!w.textPane()->hits().empty());
    QVERIFY(w.textPane()->nextHit());
    QCOMPARE(w.textPane()->editor()->textCursor().selectedText().toUpper(), QString("SUPPLIES"));
    // Nothing found in the search view: told so, the view stays.
    QVERIFY(!w.showSearchResult({4711}, {"X"}));
    QVERIFY(inst.ui.sawCaption("No Matches"));
    QCOMPARE(w.model()->rowCount(), 2);
}

void BrowseWindowTest::threadTreeFollowsTheBrowseAndDoubleClickShowsTheMessage() {
    Installation inst;
    makeSampleForum();
    inst.settings.values[ItemTreeLineFormat] = 2;
    BrowseWindow w(inst.settings);
    w.selectRow(rowOf(w, 102));
    ThreadTreeWindow tree(inst.settings);
    QTreeWidget* t = tree.tree();
    // The blank line, then 100 with 101 (102 under it) and 103, then 105.
    QCOMPARE(t->topLevelItemCount(), 3);
    QCOMPARE(t->topLevelItem(1)->text(0), QString("John Smith 100"));
    QCOMPARE(t->topLevelItem(1)->child(0)->text(0), QString("Ärger Müller 101"));
    QCOMPARE(t->topLevelItem(1)->child(0)->child(0)->text(0), QString("Zoë Adams 102"));
    QCOMPARE(t->topLevelItem(1)->child(1)->text(0), QString("John Smith 103"));
    QCOMPARE(t->topLevelItem(2)->text(0), QString("John Smith 105"));
    QCOMPARE(t->currentItem(), tree.itemOf(102));

    // The browse moves within the thread: the highlight follows, no rebuild.
    QTreeWidgetItem* before = tree.itemOf(100);
    w.selectRow(rowOf(w, 105));
    QCOMPARE(tree.itemOf(100), before);
    QCOMPARE(t->currentItem(), tree.itemOf(105));
    // To another thread: rebuilt.
    w.selectRow(rowOf(w, 111));
    QCOMPARE(t->topLevelItemCount(), 2);
    QCOMPARE(t->currentItem(), tree.itemOf(111));

    // One click does not move the browse: the highlight goes back.
    t->setCurrentItem(tree.itemOf(110));
    settle();
    QCOMPARE(t->currentItem(), tree.itemOf(111));
    QCOMPARE(readContext().XMSGID, 111u);

    // A double click shows the message in the browse's view when it holds it ...
    tree.activate(tree.itemOf(110));
    QCOMPARE(readContext().XMSGID, 110u);
    QCOMPARE(w.session().view(), BYTE(ViewByNumber));
    // ... and in the thread view when the narrowed view does not.
    w.session().narrowToPerson(BrowsePersonRole::Sender, personNamed("Müller"));
    w.refresh();
    QCOMPARE(numbers(w), QStringList({"111", "101"}));
    tree.activate(tree.itemOf(110));
    QCOMPARE(w.session().view(), BYTE(ViewByThread));
    QCOMPARE(w.viewTabs()->currentIndex(), 1);
    QCOMPARE(readContext().XMSGID, 110u);
    QCOMPARE(w.currentRow(), 0);

    // The preference "always floating on top".
    inst.settings.values[ItemTreeOnTop] = 1;
    ThreadTreeWindow onTop(inst.settings);
    onTop.show();
    QVERIFY(onTop.windowFlags() & Qt::WindowStaysOnTopHint);
    onTop.close();

    // The tree's keys move the browse.
    t->setFocus();
    QTest::keyClick(t, Qt::Key_Down);
    QCOMPARE(readContext().XMSGID, 111u);
    QCOMPARE(t->currentItem(), tree.itemOf(111));
    QTest::keyClick(t, Qt::Key_PageDown, Qt::ControlModifier);
    QCOMPARE(readContext().XMSGID, 120u);
    QCOMPARE(t->topLevelItemCount(), 2);
}

void BrowseWindowTest::mailBrowse() {
    Installation inst;
    makeSampleMail();
    inst.settings.values[frame::ItemDateFormat] = 10;
    inst.settings.values[frame::ItemTimeFormat] = 1;
    BrowseWindow w(inst.settings);
    QCOMPARE(w.windowName(), QString("BrowseMail"));
    QCOMPARE(w.windowTitle(), QString(" Mail database: Inbox Messages [4]"));
    QCOMPARE(numbers(w), QStringList({"1003", "1002", "1001", "1004"}));
    QCOMPARE(w.model()->index(0, 1).data().toString(), QString("09:15"));
    QCOMPARE(w.model()->index(0, 3).data().toString(), QString("Zola,Émile emile@zola.fr"));
    QCOMPARE(w.viewTabs()->tabText(2), QString("By MailPartner"));

    w.setLookupChooser([](LookupKind) { return personNamed("Foreign"); });
    w.viewTabs()->setCurrentIndex(2);
    QCOMPARE(w.model()->rowCount(), 4);  // no partner chosen: every mail
    w.chooseFilterValue();
    QCOMPARE(numbers(w), QStringList({"1002", "1001"}));
    QCOMPARE(w.windowTitle(), QString(" Mail database: Inbox Messages [2]"));
    w.setMenuChooser([](QMenu* menu) {
        QStringList texts;
        for (QAction* a : menu->actions())
            if (!a->isSeparator()) texts << a->text();
        return texts == QStringList({"Normal Message", "Keep Message", "Delete Message", "Normal Partner",
                                     "Keep Partner", "Delete Partner", "Normal MailBox", "Keep MailBox",
                                     "Delete MailBox"})
                   ? 6
                   : 0;
    });
    w.setStatus(ChoiceAsk);
    QCOMPARE(colourOf(w, 0), kDelete);
    QCOMPARE(colourOf(w, 1), kDelete);
    QCOMPARE(w.textPane()->text(), QString("Mail 1002\nRegards"));
}

void BrowseWindowTest::lookupListOfPersonsSortsAndLocates() {
    Installation inst;
    makeSampleForum();
    BrowseTables tables(TypeForum);
    LookupDialog d(LookupKind::Persons);
    QCOMPARE(d.windowTitle(), QString(" Forum Members [4]"));
    QCOMPARE(d.view()->model()->index(0, 0).data().toString(), QString("Adams"));
    d.locate("sm");
    QCOMPARE(d.currentId(), personNamed("Smith"));
    d.byAddress()->setChecked(true);
    QCOMPARE(d.kind(), LookupKind::PersonsByAddress);
    QCOMPARE(d.currentId(), personNamed("Smith"));  // the choice stays
    QCOMPARE(d.view()->model()->index(0, 2).data().toString(), QString());  // "All" has no address
    LookupDialog threads(LookupKind::Threads);
    QCOMPARE(threads.windowTitle(), QString(" Threads [3]"));
    QCOMPARE(threads.view()->model()->index(1, 0).data().toString(), QString("Hello"));
    QCOMPARE(threads.view()->model()->index(1, 1).data().toString(), QString("5"));
}

void BrowseWindowTest::frameCommandsOpenTheBrowseAndTheTree() {
    Installation inst;
    const ULONG forum = makeSampleForum();
    closeAllTables();
    frame::MainFrame frame(inst.settings, false);
    frame.start();
    QCOMPARE(Mem.ForumNumber, forum);
    QVERIFY(frame.action(CommandId::BrowseMessages)->isEnabled());
    QVERIFY(frame.action(CommandId::MessageStatus)->isEnabled());
    QVERIFY(frame.action(CommandId::ShowThreadTree)->isEnabled());
    for (CommandId id : {CommandId::ExportMessages, CommandId::PrintMessages, CommandId::ClassifyMessageSets,
                         CommandId::CopyToClipboard})
        QVERIFY(frame.action(id)->isEnabled());
    frame.runCommand(CommandId::BrowseMessages);
    settle();
    auto* browse = qobject_cast<BrowseWindow*>(frame.windows().widgetOf("BrowseMsgNmbr"));
    QVERIFY(browse);
    QVERIFY(frame.navigationAction(ToolbarButton::NextRecord)->isEnabled());
    // Offscreen, the frame loses its activation once events run: click the browse.
    frame.area()->setActiveSubWindow(frame.windows().TmGetId("BrowseMsgNmbr"));
    frame.navigationAction(ToolbarButton::NextRecord)->trigger();
    QCOMPARE(browse->currentRow(), 1);
    frame.runCommand(CommandId::ShowThreadTree);
    settle();
    auto* tree = qobject_cast<ThreadTreeWindow*>(frame.windows().widgetOf("ThreadTree"));
    QVERIFY(tree);
    QCOMPARE(tree->tree()->currentItem(), tree->itemOf(111));
    // Print Messages opens the set operations window in the frame, on the
    // browse's message, with Print chosen.
    frame.runCommand(CommandId::PrintMessages);
    settle();
    auto* sets = qobject_cast<SetOperationsWindow*>(frame.windows().widgetOf("SetOperations"));
    QVERIFY(sets);
    QCOMPARE(sets->operation(), SetOperation::Print);
    QCOMPARE(sets->currentMessage(), 111u);
    frame.runCommand(CommandId::ExportMessages);  // the same window, now exporting
    settle();
    QCOMPARE(qobject_cast<SetOperationsWindow*>(frame.windows().widgetOf("SetOperations")), sets);
    QCOMPARE(sets->operation(), SetOperation::ExportNew);
    // A second Browse Messages brings the open browse to the front.
    frame.runCommand(CommandId::BrowseMessages);
    settle();
    QCOMPARE(frame.windows().widgetOf("BrowseMsgNmbr"), browse);
    frame.windows().closeAll();
    settle();

    // A mail database: the mail browse, and no thread tree.
    const ULONG mail = makeSampleMail();
    closeAllTables();
    QVERIFY(activateDatabase(mail));
    frame.frameEvent(EventRefreshActiveDatabase);
    QVERIFY(frame.action(CommandId::BrowseMessages)->isEnabled());
    QVERIFY(!frame.action(CommandId::ShowThreadTree)->isEnabled());
    frame.runCommand(CommandId::BrowseMessages);
    settle();
    QVERIFY(qobject_cast<BrowseWindow*>(frame.windows().widgetOf("BrowseMail")));
    frame.windows().closeAll();
    settle();
}

// A column the person widened is as wide when its list opens again: over
// view changes, closing and reopening, and through the settings store; a
// column that stretches follows the window instead.
void BrowseWindowTest::columnWidthsComeBackWhenTheListsOpenAgain() {
    Installation inst;
    makeSampleForum();
    closeAllTables();
    frame::MainFrame frame(inst.settings, false);
    frame.start();
    auto openBrowse = [&] {
        frame.runCommand(CommandId::BrowseMessages);
        settle();
        return qobject_cast<BrowseWindow*>(frame.windows().widgetOf("BrowseMsgNmbr"));
    };
    auto openPersons = [&] {
        frame.runCommand(CommandId::BrowsePersons);
        settle();
        return qobject_cast<PersonBrowseWindow*>(frame.windows().widgetOf("BrowsePerson"));
    };
    BrowseWindow* browse = openBrowse();
    QVERIFY(browse);
    QHeaderView* header = browse->list()->horizontalHeader();
    const int ownSender = header->sectionSize(1);
    header->resizeSection(1, ownSender + 77);  // as a drag of the column's edge does
    header->resizeSection(3, 123);
    browse->showView(ViewBySender);  // another view, the same columns
    QCOMPARE(header->sectionSize(1), ownSender + 77);
    PersonBrowseWindow* persons = openPersons();
    QVERIFY(persons);
    persons->table()->horizontalHeader()->resizeSection(0, 301);
    screenshot(browse->window(), "browse_widened_columns");
    frame.windows().closeAll();
    settle();

    browse = openBrowse();
    QVERIFY(browse);
    header = browse->list()->horizontalHeader();
    QCOMPARE(header->sectionSize(1), ownSender + 77);
    QCOMPARE(header->sectionSize(3), 123);
    QCOMPARE(header->sectionResizeMode(0), QHeaderView::Stretch);
    persons = openPersons();
    QVERIFY(persons);
    QCOMPARE(persons->table()->horizontalHeader()->sectionSize(0), 301);
    QCOMPARE(persons->tabs()->count(), 2);
    persons->tabs()->setCurrentIndex(1);
    QCOMPARE(persons->table()->horizontalHeader()->sectionSize(0), 301);
    frame.windows().closeAll();
    settle();

    // Saved with the window state, the widths come back from the store.
    QVERIFY(saveBrowseColumns());
    storeBrowseColumnWidth(BrowseForumMessages, 1, 40);
    QVERIFY(loadBrowseColumns());
    QCOMPARE(int(browseColumnWidths(BrowseForumMessages)[1]), ownSender + 77);
    QCOMPARE(int(browseColumnWidths(BrowsePersons)[0]), 301);
    QCOMPARE(int(browseColumnWidths(BrowseMailMessages)[1]), 0);
}

void BrowseWindowTest::screenshots() {
    Installation inst;
    inst.settings.values[frame::ItemDateFormat] = 10;
    inst.settings.values[frame::ItemTimeFormat] = 1;
    const ULONG forum = makeSampleForum();
    const ULONG news = makeSampleNewsgroup();
    const ULONG mail = makeSampleMail();
    closeAllTables();
    for (auto [id, name] : {std::pair{forum, "browse-forum"}, {news, "browse-newsgroup"}, {mail, "browse-mail"}}) {
        QVERIFY(activateDatabase(id));
        BrowseWindow w(inst.settings);
        w.resize(1000, 560);
        w.show();
        // One message marked Delete, one Keep, another selected.
        const std::vector<ULONG> marked = id == forum ? std::vector<ULONG>{101, 110, 103}
                                          : id == news ? std::vector<ULONG>{12, 14, 13}
                                                       : std::vector<ULONG>{1001, 1004, 1003};
        if (!w.session().mail()) w.viewTabs()->setCurrentIndex(1);
        w.selectRow(rowOf(w, marked[0]));
        w.setStatus(ChoiceDeleteMessage);
        w.selectRow(rowOf(w, marked[1]));
        w.setStatus(ChoiceKeepMessage);
        w.selectRow(rowOf(w, marked[2]));
        settle();
        QVERIFY(w.model()->rowCount() > 0);
        // Spare width goes to the subject, not to the number at the end.
        const int last = w.model()->columnCount() - 1;
        const QFontMetrics fm = w.list()->fontMetrics();
        const QString heading = w.model()->headerData(last, Qt::Horizontal, Qt::DisplayRole).toString();
        const int needed = std::max(fm.horizontalAdvance(heading), fm.horizontalAdvance("00000000")) +
                           4 * fm.averageCharWidth();
        QVERIFY2(w.list()->columnWidth(last) <= needed, name);
        screenshot(&w, name);
        if (!w.session().mail()) {
            ThreadTreeWindow tree(inst.settings);
            tree.resize(300, 300);
            tree.show();
            settle();
            screenshot(&tree, QString(name) + "-tree");
        }
        w.close();
        closeAllTables();
    }
}

static RegisterTest<BrowseWindowTest> registeredBrowseWindowTest;

}  // namespace pm::test

#include "browse_window_test.moc"
