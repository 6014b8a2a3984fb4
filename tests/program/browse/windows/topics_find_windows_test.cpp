// The windows that follow the browses, offscreen on the sample databases:
// the topic list (its repaired counts, insert, rename and delete), Attach
// Topics following the browse and toggling, the browse's topic view kept up
// to date, the standard search's order, end and start over, and the frame
// commands that open them; screenshots of each.
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QTabBar>
#include <QTreeWidget>
#include <QtTest>

#include "browse/text_find.h"
#include "browse/topics.h"
#include "browse/windows/attach_topics_window.h"
#include "browse/windows/browse_window.h"
#include "browse/windows/find_window.h"
#include "browse/windows/paged_list_model.h"
#include "browse/windows/text_pane.h"
#include "browse/windows/topics_window.h"
#include "common/globals.h"
#include "frame/main_frame.h"
#include "frame/window_manager.h"
#include "frame_test_support.h"
#include "support/sample_databases.h"
#include "tables/access/open_close.h"
#include "tables/records/all_tables.h"
#include "tables/services/library_services.h"

namespace pm::test {

using frame::CommandId;

namespace {

QStringList linesOf(QTreeWidget* tree, int column = 0) {
    QStringList out;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) out << tree->topLevelItem(i)->text(column);
    return out;
}

int findRowOf(BrowseWindow& w, ULONG number) { return static_cast<int>(w.session().ordinalOf(number)); }

// Stands in for the frame: the search's news reaches the browse at once.
struct FindNewsToBrowse {
    explicit FindNewsToBrowse(BrowseWindow& browse) {
        setFrameEventSink([&browse](int code) {
            frame::FramePostedEvent news(code);
            QCoreApplication::sendEvent(&browse, &news);
        });
    }
    ~FindNewsToBrowse() { setFrameEventSink({}); }
};

// The frame events a window receives, in order.
class FindNewsRecorder : public QObject {
public:
    QList<int> codes;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == frame::FramePostedEvent::eventType())
            codes << static_cast<frame::FramePostedEvent*>(event)->code();
        return false;
    }
};

}  // namespace

class TopicsFindWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void topicListRepairsCountsAndEditsTopics();
    void attachTopicsFollowsTheBrowseAndToggles();
    void standardSearchFindsInTheBrowseOrderAndStartsOver();
    void frameCommandsOpenTheFollowers();
};

void TopicsFindWindowsTest::topicListRepairsCountsAndEditsTopics() {
    Installation inst;
    makeSampleForum();
    {
        BrowseTables tables(Mem.ForumType);
        const ULONG hardware = addTopic("Hardware");
        QVERIFY(attachTopic(hardware, {110, 111, 120}).ok);
        // The stored count drifted (an older program, a crash).
        COD.TYPE = CodeTypeTopic;
        COD.INDEX = "Hardware";
        QCOMPARE(Codes.get(COD_ClassKey), StorageStatus::Ok);
        COD.COUNT = 7;
        QCOMPARE(Codes.put(), StorageStatus::Ok);
    }
    TopicsWindow w;
    QStringList names;
    w.setNameAsker([&names](const QString& title, QString& name) {
        names << title;
        if (title == " Add New Topic") name = names.size() == 1 ? "Software" : "HARDWARE";
        else name = "Soft and firm";
        return true;
    });
    QCOMPARE(w.windowTitle(), QString("Test Forum Topics [1]"));
    QCOMPARE(linesOf(w.list(), 1), QStringList({"3"}));

    w.insertTopic();
    QCOMPARE(w.windowTitle(), QString("Test Forum Topics [2]"));
    QCOMPARE(linesOf(w.list()), QStringList({"Hardware", "Software"}));
    QCOMPARE(w.list()->currentItem()->text(0), QString("Software"));
    w.insertTopic();  // a name that is taken, in another case
    QVERIFY(inst.ui.sawText("The topic Hardware already exists!"));
    QCOMPARE(w.windowTitle(), QString("Test Forum Topics [2]"));
    w.changeTopic();
    QCOMPARE(linesOf(w.list()), QStringList({"Hardware", "Soft and firm"}));
    QCOMPARE(names, QStringList({" Add New Topic", " Add New Topic", " Update Topic"}));

    w.resize(380, 240);
    w.show();
    settle();
    screenshot(&w, "topics-list");

    // Deleting asks first; No keeps the topic, Yes removes it from its messages.
    w.selectTopic(w.list()->topLevelItem(0)->data(0, Qt::UserRole).toULongLong());
    inst.ui.answer(ButtonNo);
    w.deleteTopic();
    QCOMPARE(w.list()->topLevelItemCount(), 2);
    inst.ui.answer(ButtonYes);
    w.deleteTopic();
    QVERIFY(inst.ui.sawCaption(" Confirm deletion of Topic"));
    QCOMPARE(linesOf(w.list()), QStringList({"Soft and firm"}));
    QCOMPARE(w.windowTitle(), QString("Test Forum Topics [1]"));
    SIndex.clear();
    QCOMPARE(SIndex.records(), std::int64_t{0});
}

void TopicsFindWindowsTest::attachTopicsFollowsTheBrowseAndToggles() {
    Installation inst;
    makeSampleForum();
    BrowseWindow browse(inst.settings);
    const ULONG hardware = addTopic("Hardware");
    const ULONG software = addTopic("Software");
    QVERIFY(attachTopic(software, {101}).ok);
    browse.selectRow(findRowOf(browse, 101));
    AttachTopicsWindow a;
    TopicsWindow list;
    QCOMPARE(a.message(), 101u);
    QCOMPARE(linesOf(a.tree()), QStringList({"Hardware", "Software"}));
    QVERIFY(!AttachTopicsWindow::marked(a.itemOf(hardware)));
    QVERIFY(AttachTopicsWindow::marked(a.itemOf(software)));

    a.toggle(a.itemOf(hardware));
    QVERIFY(AttachTopicsWindow::marked(a.itemOf(hardware)));
    QCOMPARE(linesOf(list.list(), 1), QStringList({"1", "1"}));  // the list heard of it

    // The browse moves: the marks follow its message.
    browse.selectRow(findRowOf(browse, 102));
    QCOMPARE(a.message(), 102u);
    QVERIFY(!AttachTopicsWindow::marked(a.itemOf(hardware)));
    QVERIFY(!AttachTopicsWindow::marked(a.itemOf(software)));
    a.toggle(a.itemOf(hardware));

    // The browse's topic view shows the topic's messages and keeps up.
    browse.session().chooseTopic(hardware);
    browse.refresh();
    QCOMPARE(browse.model()->rowCount(), 2);
    browse.selectRow(0);  // 102
    a.toggle(a.itemOf(hardware));
    // 102 leaves the view; the browse stands on 101 and the marks follow.
    QCOMPARE(browse.model()->rowCount(), 1);
    QCOMPARE(a.message(), 101u);
    QVERIFY(AttachTopicsWindow::marked(a.itemOf(hardware)));

    // The keys move the browse.
    browse.session().setView(ViewByNumber);
    browse.refresh();
    browse.selectRow(0);
    a.tree()->setFocus();
    QTest::keyClick(a.tree(), Qt::Key_Down, Qt::ControlModifier);
    QCOMPARE(readContext().XMSGID, 111u);
    QCOMPARE(a.message(), 111u);
    QTest::keyClick(a.tree(), Qt::Key_Space);
    QCOMPARE(topicsOf(111), std::vector<ULONG>{static_cast<ULONG>(a.tree()->currentItem()->data(0, Qt::UserRole).toULongLong())});

    // A topic deleted in the list leaves the window.
    inst.ui.answer(ButtonYes);
    list.selectTopic(software);
    list.deleteTopic();
    QCOMPARE(linesOf(a.tree()), QStringList({"Hardware"}));

    a.resize(300, 220);
    a.show();
    settle();
    screenshot(&a, "attach-topics");
}

void TopicsFindWindowsTest::standardSearchFindsInTheBrowseOrderAndStartsOver() {
    Installation inst;
    makeSampleForum();
    BrowseWindow browse(inst.settings);  // 120 111 110 105 103 102 101 100
    const FindNewsToBrowse news(browse);
    FindWindow f;
    QCOMPARE(f.windowName(), QString("FindText"));
    QCOMPARE(f.windowTitle(), QString(" Standard Search"));
    QCOMPARE(f.nextButton()->toolTip(), QString("Find next occurance of text"));

    // An empty text is refused.
    QVERIFY(!f.findNext());
    QCOMPARE(inst.ui.beeps(), 1);

    FindOptions o = f.findOptions();
    QCOMPARE(o.fromDate, LONG{72990});  // the oldest message
    o.text = "hello";
    o.where = FindHeadingOnly;
    f.setFindOptions(o);
    QStringList found;
    for (int i = 0; i < 5; ++i) {
        QVERIFY(f.findNext());
        f.finish();
        QCOMPARE(f.match(), FindMatch::Heading);
        found << QString::number(readContext().XMSGID);
    }
    QCOMPARE(found, QStringList({"105", "103", "102", "101", "100"}));
    // The end of the view, then "Next" starts over at its top.
    QVERIFY(f.findNext());
    f.finish();
    QVERIFY(inst.ui.sawCaption(" End of File!"));
    QVERIFY(inst.ui.sawText("No more messages in this direction!"));
    QCOMPARE(readContext().XMSGID, 100u);
    QVERIFY(f.findNext());
    f.finish();
    QCOMPARE(readContext().XMSGID, 105u);

    // Backward from the top ends at once; the text of 120 is found forward
    // only when the search starts above it.
    inst.ui.clear();
    browse.selectRow(0);
    o.direction = FindBackward;
    f.setFindOptions(o);
    QVERIFY(f.findNext());
    f.finish();
    QVERIFY(inst.ui.sawCaption(" End of File!"));
    o.direction = FindForward;
    o.where = FindTextAndHeading;
    o.text = "RIPPLE";
    f.setFindOptions(o);
    browse.selectRow(findRowOf(browse, 111));
    QVERIFY(f.findNext());
    f.finish();
    QVERIFY(inst.ui.sawCaption(" End of File!"));
    QVERIFY(f.findNext());  // starts over at 120
    f.finish();
    QCOMPARE(f.found(), 120u);
    QCOMPARE(f.match(), FindMatch::Text);
    QCOMPARE(readContext().XMSGID, 120u);
    // The message pane marks the text found (in any case).
    QVERIFY(browse.textPane()->foundPlaces().size() > 10);
    const auto [at, length] = browse.textPane()->foundPlaces().front();
    QCOMPARE(browse.textPane()->text().mid(at, length), QString("ripple"));
    browse.resize(900, 520);
    browse.show();
    settle();
    screenshot(&browse, "standard-search-found");
    // With matching case the capitals no longer match.
    o.matchCase = true;
    f.setFindOptions(o);
    browse.selectRow(findRowOf(browse, 111));
    f.findNext();
    f.finish();
    QCOMPARE(f.found(), 0u);

    f.optionsButton()->click();
    QVERIFY(f.optionsPanel()->isVisibleTo(&f));
    f.show();
    settle();
    screenshot(&f, "standard-search");
}

void TopicsFindWindowsTest::frameCommandsOpenTheFollowers() {
    Installation inst;
    makeSampleMail();
    closeAllTables();
    frame::MainFrame frame(inst.settings, false);
    frame.start();
    for (CommandId c : {CommandId::StandardSearch, CommandId::AttachTopics, CommandId::Topics})
        QVERIFY(frame.action(c)->isEnabled());
    frame.runCommand(CommandId::BrowseMessages);
    settle();
    auto* browse = qobject_cast<BrowseWindow*>(frame.windows().widgetOf("BrowseMail"));
    QVERIFY(browse);
    frame.area()->setActiveSubWindow(frame.windows().TmGetId("BrowseMail"));
    frame.runCommand(CommandId::StandardSearch);
    settle();
    auto* find = qobject_cast<FindWindow*>(frame.windows().widgetOf("MailFind"));
    QVERIFY(find);
    QVERIFY(frame.windows().TmQuery(frame::FindGroup).contains("MailFind"));
    // The mail browse's order: 1003 1002 1001 1004.
    FindOptions o = find->findOptions();
    o.text = "regards";
    find->setFindOptions(o);
    FindNewsRecorder heard;
    browse->installEventFilter(&heard);
    find->findNext();
    find->finish();
    settle();
    QCOMPARE(readMailContext().XMAILID, 1002u);
    // Found in the subject of none: in the text of 1002, which the pane marks.
    QCOMPARE(heard.codes, QList<int>({EventFindStarted, EventFoundInText}));
    QVERIFY(!browse->textPane()->foundPlaces().empty());

    frame.runCommand(CommandId::AttachTopics);
    frame.runCommand(CommandId::Topics);
    settle();
    auto* attach = qobject_cast<AttachTopicsWindow*>(frame.windows().widgetOf("AttachTopics"));
    auto* topics = qobject_cast<TopicsWindow*>(frame.windows().widgetOf("BrowseTopics"));
    QVERIFY(attach);
    QVERIFY(topics);
    QCOMPARE(attach->message(), 1002u);
    topics->setNameAsker([](const QString&, QString& name) { return name = "Family", true; });
    topics->insertTopic();
    QCOMPARE(linesOf(attach->tree()), QStringList({"Family"}));
    attach->toggle(attach->tree()->topLevelItem(0));
    QCOMPARE(topicsOf(1002).size(), 1u);
    frame.resize(1100, 700);
    frame.show();
    settle();
    screenshot(&frame, "topics-and-search-in-frame");

    // On to the end of the view, then the window closes: the mark goes.
    heard.codes.clear();
    for (int i = 0; i < 4 && !heard.codes.contains(EventFindEndReached); ++i) {
        find->findNext();
        find->finish();
        settle();
    }
    QCOMPARE(heard.codes.mid(heard.codes.size() - 2), QList<int>({EventFindStarted, EventFindEndReached}));
    QVERIFY(frame.windows().TmDestroy("MailFind"));
    settle();
    QCOMPARE(heard.codes.last(), int(EventFindClosed));
    QVERIFY(browse->textPane()->foundPlaces().empty());
    browse->removeEventFilter(&heard);
    frame.windows().closeAll();
    settle();
}

static RegisterTest<TopicsFindWindowsTest> registered;

}  // namespace pm::test

#include "topics_find_windows_test.moc"
