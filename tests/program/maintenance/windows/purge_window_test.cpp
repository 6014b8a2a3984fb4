// The purge window offscreen: opened from the frame's Messages menu for
// the active database, the aged-thread option, a purge and a count run to
// their end with the window's counter labels, the browse refreshed, and
// screenshots.
#include <QCheckBox>
#include <QPointer>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

#include "browse/status_marking.h"
#include "browse/windows/browse_window.h"
#include "common/globals.h"
#include "common/windows/job_progress_window.h"
#include "frame/main_frame.h"
#include "counter_labels.h"
#include "frame_test_support.h"
#include "maintenance/windows/purge_window.h"
#include "support/sample_databases.h"
#include "tables/access/open_close.h"
#include "tables/catalog/active_database.h"
#include "tables/records/all_tables.h"

namespace pm::test {

using frame::CommandId;

namespace {


bool messageStored(ULONG number) {
    OP_CLOSE(OpenShared, {MsgNmbr.number()});
    MsgNmbr.clear();
    MSG.MSGNUMBER = number;
    const bool found = MsgNmbr.get(MSG_IdKey) == StorageStatus::Ok;
    OP_CLOSE(ReleaseTable, {MsgNmbr.number()});
    return found;
}

}  // namespace

class PurgeWindowTest : public QObject {
    Q_OBJECT
private slots:
    void purgeFromTheMenuRunsAndShowsItsCounters();
    void countWindowAndMailDatabaseOffer();
    void scheduledRunStartsAtOnceAndClosesQuietly();
};

void PurgeWindowTest::purgeFromTheMenuRunsAndShowsItsCounters() {
    Installation inst;
    const ULONG forum = makeSampleForum();
    {
        OP_CLOSE(OpenShared, {Forums.number(), MsgNmbr.number(), Threads.number(), Sections.number()});
        QVERIFY(markStatus(StatusTarget::Message, 100, StatusDelete));
        QVERIFY(markStatus(StatusTarget::Message, 120, StatusDelete));
        OP_CLOSE(ReleaseTable, {Forums.number(), MsgNmbr.number(), Threads.number(), Sections.number()});
    }
    closeAllTables();
    frame::MainFrame frame(inst.settings, false);
    frame.start();
    QCOMPARE(Mem.ForumNumber, forum);
    QVERIFY(frame.action(CommandId::PurgeDeletedMessages)->isEnabled());
    QVERIFY(frame.action(CommandId::CountMessages)->isEnabled());
    frame.runCommand(CommandId::PurgeDeletedMessages);
    settle();
    auto* w = qobject_cast<PurgeWindow*>(frame.windows().widgetOf("PurgeMess"));
    QVERIFY(w);
    QCOMPARE(w->work(), PurgeWork::Purge);
    QCOMPARE(w->windowTitle(), QStringLiteral(" Message Purging "));
    QCOMPARE(w->startButton()->text(), QStringLiteral("Start the purging process"));
    QVERIFY(w->agedBox()->isVisibleTo(w));
    // Checking the box without an age takes 999 weeks.
    w->agedBox()->setChecked(true);
    QCOMPARE(w->weeksBox()->value(), 999);
    screenshot(w->window(), "purge_window_start");
    // (999 weeks before today would take every sample thread: left out.)
    w->agedBox()->setChecked(false);

    w->startButton()->click();
    QVERIFY(w->progress());
    QTRY_VERIFY_WITH_TIMEOUT(!w->progress()->running(), 20000);
    QCOMPARE(w->progress()->job().status(), JobStatus::Done);
    QCOMPARE(counterValue(w, "Messages before purging"), QStringLiteral("8"));
    QCOMPARE(counterValue(w, "Deleted during this session"), QStringLiteral("2"));
    QCOMPARE(counterValue(w, "Messages after purging"), QStringLiteral("6"));
    QVERIFY(!w->startButton()->isEnabled());
    screenshot(w->window(), "purge_window_done");
    QVERIFY(!messageStored(100));
    QVERIFY(!messageStored(120));
    QVERIFY(messageStored(101));

    // "End this session" closes it.
    w->endButton()->click();
    settle();
    QVERIFY(!frame.windows().widgetOf("PurgeMess"));
}

void PurgeWindowTest::countWindowAndMailDatabaseOffer() {
    Installation inst;
    makeSampleMail();
    closeAllTables();
    PurgeWindow w(PurgeWork::Count);
    QCOMPARE(w.windowTitle(), QStringLiteral(" Message Counting "));
    QCOMPARE(w.startButton()->text(), QStringLiteral("Start the counting process"));
    w.show();
    QVERIFY(!w.agedBox()->isVisible());
    w.startRun();
    QTRY_VERIFY_WITH_TIMEOUT(!w.progress()->running(), 20000);
    QCOMPARE(counterValue(&w, "Number of messages in database"), QStringLiteral("4"));
    QCOMPARE(counterValue(&w, "Number of persons:"), QStringLiteral("4"));
    QCOMPARE(counterValue(&w, "Number of mailpartners:"), QStringLiteral("3"));
    screenshot(&w, "count_window_mail");

    // A purge of a mail database offers no aged threads.
    PurgeWindow purge(PurgeWork::Purge);
    purge.show();
    QVERIFY(!purge.agedBox()->isVisible());
}

void PurgeWindowTest::scheduledRunStartsAtOnceAndClosesQuietly() {
    Installation inst;
    makeSampleForum();
    closeAllTables();
    Mem.DoTask = TaskRunning;
    {
        OP_CLOSE(OpenShared, {Forums.number(), MsgNmbr.number(), Threads.number(), Sections.number()});
        QVERIFY(markStatus(StatusTarget::Database, 0, StatusDelete));  // would ask, were anyone there
        OP_CLOSE(ReleaseTable, {Forums.number(), MsgNmbr.number(), Threads.number(), Sections.number()});
    }
    auto* w = new PurgeWindow(PurgeWork::Purge);
    w->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<PurgeWindow> alive(w);
    QCOMPARE(w->windowTitle(), QStringLiteral(" Scheduled Message Purging [Test Forum]"));
    w->show();
    QTRY_VERIFY_WITH_TIMEOUT(alive.isNull(), 20000);  // ran and closed itself
    Mem.DoTask = TaskIdle;
    QVERIFY(inst.ui.shown().empty());
    QVERIFY(messageStored(100));  // the question took its default: purge, not delete the database
}

static RegisterTest<PurgeWindowTest> registeredPurgeWindowTest;

}  // namespace pm::test

#include "purge_window_test.moc"
