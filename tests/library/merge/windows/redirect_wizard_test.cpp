// The redirection wizard over a real installation: its pages, a target
// database added from it, a newsgroup redirected to it and back, and the
// run and the purge after it started from its last page.
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QtTest>

#include "common/windows/job_progress_window.h"
#include "merge/windows/redirect_wizard.h"
#include "support/qt/window_test.h"
#include "support/sample_messages.h"
#include "support/store_query.h"

using namespace pm;
using namespace pm::test;

namespace {

class RedirectWizardTest : public QObject {
    Q_OBJECT
private slots:
    void redirectsANewsgroupIntoANewTargetAndBack();
};

int rowOf(QTableWidget* table, const QString& name) {
    for (int row = 0; row < table->rowCount(); ++row)
        if (table->item(row, 0)->text() == name) return row;
    return -1;
}

std::string articles(const WindowTestInstallation& inst, const char* dir) {
    return storeValue(inst.path(std::string(dir) + "/postmoor.db"), "SELECT count(*) FROM MsgNmbr");
}

void RedirectWizardTest::redirectsANewsgroupIntoANewTargetAndBack() {
    WindowTestInstallation inst;
    writeNewsFile(inst.path("x.txt"), "comp.x", 1, 9);
    writeNewsFile(inst.path("y.txt"), "comp.y", 1, 4);
    QCOMPARE(inst.command({"import", "--format", "Unix News", inst.path("x.txt"), inst.path("y.txt")}), 0);

    QStringList launched;
    JobLauncher launch = [&launched, free = freeStandingLauncher()](const QString& name, std::unique_ptr<Job> job) {
        launched << name;
        return free(name, std::move(job));
    };
    RedirectWizard wizard(launch);
    wizard.setNameAsker([](QWidget*) { return QStringLiteral("All C"); });
    wizard.show();
    QCOMPARE(wizard.page(), int(RedirectWizard::IntroductionPage));
    QCOMPARE(wizard.startButton()->toolTip(), QStringLiteral("Start the RedirectionWizard"));
    QCOMPARE(wizard.cancelButton()->toolTip(), QStringLiteral("Quit the RedirectionWizard"));
    QCOMPARE(wizard.nextButton()->toolTip(), QStringLiteral("Proceed to next step"));
    QCOMPARE(wizard.backButton()->toolTip(), QStringLiteral("Go back to previous step"));
    QVERIFY(!wizard.backButton()->isEnabled());
    QVERIFY(!wizard.startButton()->isEnabled());
    saveScreenshot(&wizard, QStringLiteral("redirect_wizard_0"));

    QTest::mouseClick(wizard.nextButton(), Qt::LeftButton);
    QCOMPARE(wizard.page(), int(RedirectWizard::SettingsPage));
    QCOMPARE(wizard.newsgroups()->rowCount(), 2);
    QCOMPARE(wizard.targets()->count(), 0);
    QVERIFY(wizard.addTarget());
    QCOMPARE(wizard.targets()->count(), 1);
    QCOMPARE(wizard.targets()->currentItem()->text(), QStringLiteral("All C"));
    QCOMPARE(wizard.newsgroups()->rowCount(), 3);  // the target is a newsgroup database too
    wizard.newsgroups()->setCurrentCell(rowOf(wizard.newsgroups(), QStringLiteral("comp.x")), 0);
    QTest::mouseClick(wizard.redirectButton(), Qt::LeftButton);
    QCOMPARE(wizard.newsgroups()->item(rowOf(wizard.newsgroups(), QStringLiteral("comp.x")), 1)->text(),
             QStringLiteral("All C"));
    QCOMPARE(wizard.redirectedTitle()->text(), QStringLiteral("Newsgroups redirected to All C"));
    QCOMPARE(wizard.redirected()->count(), 1);
    QCOMPARE(wizard.redirected()->item(0)->text(), QStringLiteral("comp.x"));
    saveScreenshot(&wizard, QStringLiteral("redirect_wizard_1"));

    QTest::mouseClick(wizard.nextButton(), Qt::LeftButton);
    QVERIFY(wizard.startButton()->isEnabled());
    QSignalSpy done(&wizard, &RedirectWizard::redirectionFinished);
    QTest::mouseClick(wizard.startButton(), Qt::LeftButton);
    QVERIFY(done.wait(15000));
    QCOMPARE(done.first().first().toBool(), true);
    QCOMPARE(launched, QStringList({"MergeRedirection", "PurgeRedir"}));
    QCOMPARE(articles(inst, "F1"), std::string("0"));
    QCOMPARE(articles(inst, "F3"), std::string("9"));
    QVERIFY(wizard.outcome()->text().contains(QStringLiteral("Deleted during this session: 9")));
    saveScreenshot(&wizard, QStringLiteral("redirect_wizard_2"));

    // And back again.
    wizard.showPage(RedirectWizard::SettingsPage);
    wizard.newsgroups()->setCurrentCell(rowOf(wizard.newsgroups(), QStringLiteral("comp.x")), 0);
    QVERIFY(wizard.redirectHighlighted(false));
    QVERIFY(wizard.newsgroups()->item(rowOf(wizard.newsgroups(), QStringLiteral("comp.x")), 1)->text().isEmpty());
    wizard.showPage(RedirectWizard::StartPage);
    done.clear();
    QVERIFY(wizard.start());
    QVERIFY(done.wait(15000));
    QCOMPARE(articles(inst, "F1"), std::string("9"));
    QCOMPARE(articles(inst, "F3"), std::string("0"));
}

const RegisterWindowTest<RedirectWizardTest> registeredRedirectWizardTest;

}  // namespace

#include "redirect_wizard_test.moc"
