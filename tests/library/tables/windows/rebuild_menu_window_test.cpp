// The rebuild menu over a real installation: each button runs its job in
// the progress window, and the menu lists what the rebuild did.
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include "common/globals.h"
#include "common/windows/job_progress_window.h"
#include "support/qt/window_test.h"
#include "support/store_query.h"
#include "tables/windows/rebuild_menu_window.h"

using namespace pm;
using namespace pm::test;

namespace {

class RebuildMenuTest : public QObject {
    Q_OBJECT
private slots:
    void rebuildsTheListAndShowsWhatItDid();
    void nextIdCheckAlone();
};

// A launcher that keeps the progress window for the test to look at.
JobLauncher keeping(QPointer<JobProgressWindow>& window) {
    return [&window, launch = freeStandingLauncher()](const QString& name, std::unique_ptr<Job> job) {
        window = launch(name, std::move(job));
        window->setCloseWhenFinished(false);
        return window.data();
    };
}

void RebuildMenuTest::rebuildsTheListAndShowsWhatItDid() {
    WindowTestInstallation inst;
    QCOMPARE(inst.command({"db", "create", "forum", "Forum One"}), 0);
    QCOMPARE(inst.command({"db", "create", "mail", "Box", "--address", "me@x.example"}), 0);
    QVERIFY(storeExecute(inst.path("CFG/postmoor.db"), "DELETE FROM Forums"));

    QPointer<JobProgressWindow> progress;
    RebuildMenuWindow menu(keeping(progress));
    menu.show();
    QCOMPARE(menu.rebuildButton()->toolTip(), QStringLiteral("Start the rebuild procedure"));
    QCOMPARE(menu.nextIdButton()->toolTip(), QStringLiteral("Check for highest ID and bump next ID generator"));
    QSignalSpy done(&menu, &RebuildMenuWindow::runFinished);
    QTest::mouseClick(menu.rebuildButton(), Qt::LeftButton);
    QVERIFY(progress);
    QCOMPARE(progress->objectName(), QStringLiteral("RebuildIt"));
    QCOMPARE(progress->findChild<QPushButton*>()->text(), QStringLiteral("Abort"));
    QVERIFY(!menu.rebuildButton()->isEnabled());
    QVERIFY(!menu.closeButton()->isEnabled());
    QVERIFY(done.wait(10000));
    QCOMPARE(done.first().first().toBool(), true);
    QCOMPARE(GlobalRequest, 0);
    QCOMPARE(menu.results()->count(), 2);
    QVERIFY(menu.results()->item(0)->text().startsWith(QStringLiteral("attached  F1  Forum One")));
    QVERIFY(menu.results()->item(1)->text().startsWith(QStringLiteral("attached  F2  Box")));
    QVERIFY(menu.outcome()->text().contains(QStringLiteral("The next generated ID is")));
    QVERIFY(menu.rebuildButton()->isEnabled());
    QCOMPARE(storeValue(inst.path("CFG/postmoor.db"), "SELECT count(*) FROM Forums"), std::string("2"));
    progress->show();
    saveScreenshot(progress, QStringLiteral("rebuild_progress"));
    saveScreenshot(&menu, QStringLiteral("rebuild_menu"));
    progress->close();
}

void RebuildMenuTest::nextIdCheckAlone() {
    WindowTestInstallation inst;
    QCOMPARE(inst.command({"db", "create", "forum", "Forum One"}), 0);
    QVERIFY(storeExecute(inst.path("CFG/postmoor.db"), "UPDATE Forums SET DESCRIPTION = 'Renamed'"));
    QPointer<JobProgressWindow> progress;
    RebuildMenuWindow menu(keeping(progress));
    QSignalSpy done(&menu, &RebuildMenuWindow::runFinished);
    menu.start(true);
    QCOMPARE(GlobalRequest, 50);
    QCOMPARE(QString::fromStdString(progress->job().report().title), QStringLiteral(" Next ID check"));
    QVERIFY(done.wait(10000));
    QCOMPARE(menu.results()->count(), 0);  // the list is left as it is
    QCOMPARE(storeValue(inst.path("CFG/postmoor.db"), "SELECT DESCRIPTION FROM Forums"), std::string("Renamed"));
    progress->close();
    GlobalRequest = 0;
}

const RegisterWindowTest<RebuildMenuTest> registeredRebuildMenuTest;

}  // namespace

#include "rebuild_menu_window_test.moc"
