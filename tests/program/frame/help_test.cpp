// The help pages: every topic the program names is shipped, F1 finds the
// topic of the focused window, and the search finds pages by their words.
#include <QAction>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QTextBrowser>
#include <QtTest>

#include "frame/command_table.h"
#include "frame/help_viewer.h"
#include "frame/main_frame.h"
#include "frame/windows/change_forum_window.h"
#include "frame_test_support.h"

namespace pm::test {

class HelpTest : public QObject {
    Q_OBJECT
private slots:
    void everyNamedTopicIsShipped();
    void unknownTopicsShowTheContents();
    void searchFindsPagesHoldingEveryWord();
    void f1OpensTheTopicOfTheFocusedWindow();
};

void HelpTest::everyNamedTopicIsShipped() {
    QStringList named = {frame::TopicContents, frame::TopicHowToUseHelp, frame::TopicWhatsNew, frame::TopicSupport,
                         "~Postmoor_main_window", "~Path_to_files", "~Database_Selection", "~Mail_Database"};
    for (const frame::WindowEntry& w : frame::windowTable())
        if (w.helpTopic) named << w.helpTopic;
    for (const QString& topic : named) QVERIFY2(frame::HelpViewer::hasTopic(topic), qPrintable(topic));
    // Every shipped page is listed in the contents.
    frame::HelpViewer viewer;
    viewer.showTopic("Contents");
    const QString contents = viewer.browser()->toHtml();
    for (const QString& topic : frame::HelpViewer::topics())
        if (topic != "Contents") QVERIFY2(contents.contains(topic + ".html"), qPrintable(topic));
}

void HelpTest::unknownTopicsShowTheContents() {
    frame::HelpViewer viewer;
    QVERIFY(viewer.showTopic("~What_s_new_in_Postmoor_4.0_"));
    QCOMPARE(viewer.currentTopic(), QString("What_s_new_in_Postmoor_4.0_"));
    QVERIFY(viewer.browser()->toPlainText().startsWith("What is new in Postmoor 4"));
    QVERIFY(!viewer.showTopic("~No_such_window"));
    QVERIFY(viewer.browser()->toPlainText().contains("There is no help page for this window yet."));
    QCOMPARE(frame::HelpViewer::topicTitle("Change_Active_Database"), QString("Changing the active database"));
}

void HelpTest::searchFindsPagesHoldingEveryWord() {
    frame::HelpViewer viewer;
    QVERIFY(viewer.search("Shift+K Keep") >= 1);
    QCOMPARE(viewer.pages()->item(0)->data(Qt::UserRole).toString(), QString("Change_Active_Database"));
    QCOMPARE(viewer.search("nothing-like-this-anywhere"), 0);
    QVERIFY(viewer.search("mail") > 2);
    viewer.showTopic("~Mail_Database_Setup");
    viewer.resize(820, 520);
    viewer.show();
    screenshot(&viewer, "help");
}

void HelpTest::f1OpensTheTopicOfTheFocusedWindow() {
    Installation inst;
    inst.addDatabase(TypeForum, "Forum");
    frame::MainFrame frame(inst.settings, false);
    frame.start();
    frame.openWindow("ChangeForum");
    auto* w = qobject_cast<frame::ChangeForumWindow*>(frame.windows().widgetOf("ChangeForum"));
    QCOMPARE(frame::helpTopicOf(w->list()), QString("~Change_Active_Database"));
    QCOMPARE(frame::helpTopicOf(&frame), QString("~Postmoor_main_window"));
    frame::installHelpKey(*qApp);
    QTest::keyClick(w->list(), Qt::Key_F1);
    frame::HelpViewer* viewer = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* h = qobject_cast<frame::HelpViewer*>(top); h && h->isVisible()) viewer = h;
    QVERIFY(viewer);
    QCOMPARE(viewer->currentTopic(), QString("Change_Active_Database"));
    // The help commands are off while the tool window is open; F1 is not.
    QVERIFY(!frame.action(frame::CommandId::HelpSupport)->isEnabled());
    frame.windows().TmDestroy("ChangeForum");
    QCoreApplication::sendPostedEvents();
    frame.runCommand(frame::CommandId::HelpSupport);
    QCOMPARE(frame.helpViewer()->currentTopic(), QString("Support_and_future_updates"));
    QCOMPARE(frame.helpViewer(), viewer);  // one help window
    viewer->close();
}

static RegisterTest<HelpTest> registeredHelpTest;

}  // namespace pm::test

#include "help_test.moc"
