// The merge wizard over a real installation: a target of another kind is
// refused as it is chosen, Start runs the merge in its progress window and
// shows the outcome, and Cancel in the progress window asks before it stops
// a merge that is storing.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include "common/windows/job_progress_window.h"
#include "merge/merge_run.h"
#include "merge/windows/merge_wizard.h"
#include "support/qt/window_test.h"
#include "support/sample_messages.h"
#include "support/store_query.h"
#include "tables/windows/database_choice_field.h"

using namespace pm;
using namespace pm::test;

namespace {

JobLauncher keeping(QPointer<JobProgressWindow>& window) {
    return [&window, launch = freeStandingLauncher()](const QString& name, std::unique_ptr<Job> job) {
        window = launch(name, std::move(job));
        window->setCloseWhenFinished(false);
        return window.data();
    };
}

// A launcher whose window waits: the test steps the merge itself, with a
// small quota, until it lets the window drive it.
JobLauncher waiting(QPointer<JobProgressWindow>& window) {
    return [&window](const QString& name, std::unique_ptr<Job> job) {
        auto* merge = dynamic_cast<MergeRun*>(job.get());
        if (merge) job = std::make_unique<MergeRun>(merge->sourceId(), merge->targetId(), 5);
        window = new JobProgressWindow(std::move(job));
        window->setObjectName(name);
        window->setCloseWhenFinished(false);
        return window.data();
    };
}

void choose(DatabaseChoiceField* field, const QString& name) {
    field->entry()->setText(name);
    field->lookUp(false);
}

class MergeWizardTest : public QObject {
    Q_OBJECT
private slots:
    void mergesTheChosenPairAndShowsTheOutcome();
    void cancelAsksBeforeStoppingAndKeepsWhatIsStored();
};

void MergeWizardTest::mergesTheChosenPairAndShowsTheOutcome() {
    WindowTestInstallation inst;
    writeMailbox(inst.path("a.mbox"), 1, 12);
    writeMailbox(inst.path("b.mbox"), 9, 6);
    for (const char* box : {"Home", "Archive"})
        QCOMPARE(inst.command({"db", "create", "mail", box, "--address", "me@home.example"}), 0);
    QCOMPARE(inst.command({"db", "create", "forum", "Forum"}), 0);
    QCOMPARE(inst.command({"import", "--format", "Generic Mail Type 2", "--mailbox", "Home", inst.path("a.mbox")}), 0);
    QCOMPARE(inst.command({"import", "--format", "Generic Mail Type 2", "--mailbox", "Archive", inst.path("b.mbox")}), 0);

    QPointer<JobProgressWindow> progress;
    MergeWizard wizard(keeping(progress));
    wizard.show();
    QVERIFY(!wizard.startButton()->isEnabled());
    choose(wizard.source(), QStringLiteral("Home"));
    choose(wizard.target(), QStringLiteral("Forum"));
    QVERIFY(inst.ui.sawText("You cannot merge different kinds of databases"));
    QVERIFY(inst.ui.sawCaption("Illegal selection!"));
    QCOMPARE(wizard.target()->databaseId(), 0u);
    QVERIFY(!wizard.startButton()->isEnabled());
    choose(wizard.target(), QStringLiteral("Arch"));
    QCOMPARE(wizard.target()->databaseName(), QStringLiteral("Archive"));
    QVERIFY(wizard.startButton()->isEnabled());
    saveScreenshot(&wizard, QStringLiteral("merge_wizard"));

    QSignalSpy done(&wizard, &MergeWizard::mergeFinished);
    QTest::mouseClick(wizard.startButton(), Qt::LeftButton);
    QCOMPARE(progress->objectName(), QStringLiteral("MergeIt"));
    QVERIFY(!wizard.closeButton()->isEnabled());
    QVERIFY(done.wait(10000));
    QCOMPARE(done.first().first().toBool(), true);
    QCOMPARE(wizard.outcome()->text(), QStringLiteral("The merging process has finished!\nMerged: 8   Skipped: 4"));
    QCOMPARE(storeValue(inst.path("F2/postmoor.db"), "SELECT count(*) FROM Mail"), std::string("14"));
    progress->show();
    saveScreenshot(progress, QStringLiteral("merge_progress"));
    progress->close();
}

void MergeWizardTest::cancelAsksBeforeStoppingAndKeepsWhatIsStored() {
    WindowTestInstallation inst;
    writeMailbox(inst.path("a.mbox"), 1, 60);
    for (const char* box : {"Home", "Archive"})
        QCOMPARE(inst.command({"db", "create", "mail", box, "--address", "me@home.example"}), 0);
    QCOMPARE(inst.command({"import", "--format", "Generic Mail Type 2", "--mailbox", "Home", inst.path("a.mbox")}), 0);

    QPointer<JobProgressWindow> progress;
    MergeWizard wizard(waiting(progress));
    choose(wizard.source(), QStringLiteral("Home"));
    choose(wizard.target(), QStringLiteral("Archive"));
    QSignalSpy done(&wizard, &MergeWizard::mergeFinished);
    QVERIFY(wizard.start());
    auto& run = static_cast<MergeRun&>(progress->job());
    while (run.merged() == 0 && !run.finished()) run.step();
    QCOMPARE(run.state(), MergeRun::State::Store);
    inst.ui.answer(ButtonNo);
    progress->requestCancel();
    QVERIFY(inst.ui.sawCaption("Import process interrupted"));
    QVERIFY(inst.ui.sawText("Stopping at this stage will cause message counts \r\nper mailpartner to be incorrect."));
    QVERIFY(progress->running());
    inst.ui.answer(ButtonYes);
    progress->requestCancel();
    progress->start();
    QVERIFY(done.wait(10000));
    QCOMPARE(done.first().first().toBool(), false);
    const long long merged = run.merged();
    QVERIFY(merged > 0 && merged < 60);
    QCOMPARE(storeValue(inst.path("F2/postmoor.db"), "SELECT count(*) FROM Mail"), std::to_string(merged));
    QCOMPARE(storeValue(inst.path("F2/postmoor.db"), "SELECT sum(FROMCOUNT) FROM Person"), std::to_string(merged));
    delete progress;
}

const RegisterWindowTest<MergeWizardTest> registeredMergeWizardTest;

}  // namespace

#include "merge_wizard_test.moc"
