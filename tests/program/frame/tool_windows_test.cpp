// The preferences, merge, redirection and rebuild windows in the frame:
// their commands open them as tool windows, their runs open in the import
// group one at a time, and closing them gives the title back.
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include "common/windows/job_progress_window.h"
#include "frame/main_frame.h"
#include "frame_test_support.h"
#include "merge/windows/merge_wizard.h"
#include "merge/windows/redirect_wizard.h"
#include "tables/windows/database_choice_field.h"
#include "tables/windows/rebuild_menu_window.h"
#include "tables/windows/user_panel.h"

namespace pm::test {

namespace {

using frame::CommandId;
using frame::MainFrame;

QString title(const char* suffix) { return QString(frame::ProgramTitle) + suffix; }

}  // namespace

class ToolWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void preferencesOpenAsAToolWindowAndOkGivesTheTitleBack();
    void mergeRunsInTheImportGroupOneRunAtATime();
    void rebuildAndRedirectionOpenFromTheMenu();
};

void ToolWindowsTest::preferencesOpenAsAToolWindowAndOkGivesTheTitleBack() {
    Installation inst;
    inst.addDatabase(TypeForum, "Forum");
    MainFrame frame(inst.settings, false);
    frame.start();
    QCOMPARE(frame.windowTitle(), title("[Forum]"));
    QVERIFY(frame.action(CommandId::Preferences)->isEnabled());
    frame.runCommand(CommandId::Preferences);
    QMdiSubWindow* sub = frame.windows().TmGetId("UserPanel");
    QVERIFY(sub);
    QCOMPARE(frame.windows().TmQuery(frame::NotToolsGroup), QStringList({"UserPanel"}));
    QCOMPARE(frame.windowTitle(), title("[No Active Database]"));
    QVERIFY(!frame.action(CommandId::ChangeActiveDatabase)->isEnabled());
    auto* panel = qobject_cast<UserPanel*>(sub->widget());
    QVERIFY(panel);
    QCOMPARE(sub->windowTitle(), QStringLiteral(" User Preferences"));
    QTest::mouseClick(panel->okButton(), Qt::LeftButton);
    settle();  // the closing window's EventSettingsToolClosed
    QVERIFY(!frame.windows().TmGetId("UserPanel"));
    QCOMPARE(frame.windowTitle(), title("[Forum]"));
    QVERIFY(frame.action(CommandId::ChangeActiveDatabase)->isEnabled());
}

void ToolWindowsTest::mergeRunsInTheImportGroupOneRunAtATime() {
    Installation inst;
    inst.addDatabase(TypeMail, "Home");
    const ULONG archive = inst.addDatabase(TypeMail, "Archive");
    MainFrame frame(inst.settings, false);
    frame.start();
    frame.runCommand(CommandId::MergeDatabases);
    auto* wizard = qobject_cast<MergeWizard*>(frame.windows().widgetOf("MergeMeny"));
    QVERIFY(wizard);
    wizard->source()->entry()->setText(QStringLiteral("Home"));
    wizard->source()->lookUp(false);
    wizard->target()->setDatabase(archive);
    QSignalSpy done(wizard, &MergeWizard::mergeFinished);
    // Another run in the import group comes first.
    frame.windows().TmCreate(QStringLiteral("ImportIt"), frame::ImportGroup, new QWidget);
    QVERIFY(!wizard->start());
    QVERIFY(inst.ui.sawText("Another import, merge or rebuild is running!"));
    frame.windows().TmDestroy(QStringLiteral("ImportIt"));
    QVERIFY(wizard->start());
    QCOMPARE(frame.windows().TmQuery(frame::ImportGroup), QStringList({"MergeIt"}));
    QVERIFY(done.wait(10000));
    settle();
    QVERIFY(!frame.windows().TmGetId("MergeIt"));  // the progress window goes once the wizard has read it
    QCOMPARE(frame.windowTitle(), title("[No Active Database]"));  // the wizard is still open
    frame.windows().TmDestroy(QStringLiteral("MergeMeny"));
    settle();
    QVERIFY(frame.windowTitle() != title("[No Active Database]"));
}

void ToolWindowsTest::rebuildAndRedirectionOpenFromTheMenu() {
    Installation inst;
    inst.addDatabase(TypeNewsgroup, "comp.x");
    MainFrame frame(inst.settings, false);
    frame.start();
    frame.runCommand(CommandId::ImportRedirection);
    QVERIFY(qobject_cast<RedirectWizard*>(frame.windows().widgetOf("RedirectMeny")));
    frame.windows().TmDestroy(QStringLiteral("RedirectMeny"));
    settle();
    frame.runCommand(CommandId::RebuildUtility);
    auto* menu = qobject_cast<RebuildMenuWindow*>(frame.windows().widgetOf("RebuildMeny"));
    QVERIFY(menu);
    QSignalSpy done(menu, &RebuildMenuWindow::runFinished);
    QTest::mouseClick(menu->nextIdButton(), Qt::LeftButton);
    QCOMPARE(frame.windows().TmQuery(frame::ImportGroup), QStringList({"RebuildIt"}));
    QVERIFY(done.wait(10000));
    QCOMPARE(done.first().first().toBool(), true);
    settle();
    QVERIFY(!frame.windows().TmGetId("RebuildIt"));
}

static RegisterTest<ToolWindowsTest> registeredToolWindowsTest;

}  // namespace pm::test

#include "tool_windows_test.moc"
