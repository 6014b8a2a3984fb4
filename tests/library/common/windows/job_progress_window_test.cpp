// The job progress window over a small job (offscreen): it drives the job,
// shows its report, passes Cancel on as a stop request and follows pauses.
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

#include "common/windows/job_progress_window.h"
#include "support/recording_user_interface.h"

using namespace pm;
using namespace pm::test;

namespace {

// Counts `slices` slices. Asked to stop, it asks the person and then needs
// two more steps to wind down. It can pause once, at `pauseAt`.
class SliceJob final : public Job {
public:
    explicit SliceJob(int slices, int pauseAt = -1) : slices_(slices), pauseAt_(pauseAt) {}

    JobStatus step() override {
        if (status_ != JobStatus::Running) return status_;
        ++steps;
        if (windDown_ > 0) {
            if (--windDown_ == 0) status_ = JobStatus::Stopped;
            return status_;
        }
        if (++done_ == slices_) status_ = JobStatus::Done;
        else if (done_ == pauseAt_) status_ = JobStatus::Paused;
        return status_;
    }
    JobStatus status() const override { return status_; }
    ProgressReport report() const override {
        ProgressReport r;
        r.title = "Counting slices";
        r.lines = {windDown_ > 0 ? "Winding down" : "Counting", "Slice " + std::to_string(done_)};
        r.counters = {{"Done", done_}, {"Left", slices_ - done_}};
        r.percent = static_cast<int>(done_ * 100 / slices_);
        return r;
    }
    bool requestStop(StopRequest how) override {
        if (status_ != JobStatus::Running && status_ != JobStatus::Paused) return true;
        if (how == StopRequest::Ask &&
            message("Stop?", "Stop counting?", Icon::Question, ButtonYes | ButtonNo, ButtonNo) != ButtonYes)
            return false;
        status_ = JobStatus::Running;
        windDown_ = 2;
        return true;
    }
    void resume() {
        if (status_ == JobStatus::Paused) status_ = JobStatus::Running;
    }

    int steps = 0;

private:
    long long slices_;
    long long pauseAt_;
    long long done_ = 0;
    int windDown_ = 0;
    JobStatus status_ = JobStatus::Running;
};

bool showsText(QWidget& window, const QString& text) {
    for (QLabel* label : window.findChildren<QLabel*>())
        if (label->text() == text) return true;
    return false;
}

template <typename F>
bool runUntil(F done) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < 10000) QCoreApplication::processEvents();
    return done();
}

}  // namespace

class JobProgressWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init() { previous_ = setUserInterface(&ui_); }
    void cleanup() {
        setUserInterface(previous_);
        ui_.clear();
    }
    void drivesTheJobAndShowsItsReport();
    void cancelAsksAndTheJobWindsDown();
    void aPausedJobWaitsForResume();

private:
    RecordingUserInterface ui_;
    UserInterface* previous_ = nullptr;
};

void JobProgressWindowTest::drivesTheJobAndShowsItsReport() {
    auto owned = std::make_unique<SliceJob>(40);
    SliceJob& job = *owned;
    JobProgressWindow window(std::move(owned));
    window.setCloseWhenFinished(false);
    window.setCounterLabel("Done", QStringLiteral("Slices done:"));
    QSignalSpy finished(&window, &JobProgressWindow::finished);
    QCOMPARE(job.steps, 0);  // nothing runs before start()
    window.show();
    window.start();
    QVERIFY(runUntil([&] { return finished.count() == 1; }));
    QCOMPARE(finished.first().first().toBool(), true);
    QCOMPARE(job.steps, 40);
    QCOMPARE(window.windowTitle(), QStringLiteral("Counting slices"));
    QVERIFY(showsText(window, QStringLiteral("Slices done:")));
    QVERIFY(showsText(window, QStringLiteral("Left:")));
    QVERIFY(showsText(window, QStringLiteral("40")));
    QVERIFY(showsText(window, QStringLiteral("Slice 40")));
    QCOMPARE(window.findChild<QProgressBar*>()->value(), 100);
    QVERIFY(!window.findChild<QPushButton*>()->isEnabled());
    QVERIFY(!window.running());
    const QString dir = qEnvironmentVariable("POSTMOOR_SCREENSHOTS");
    if (!dir.isEmpty()) {
        QDir().mkpath(dir);
        QVERIFY(window.grab().save(dir + "/job_progress_window.png"));
    }
}

void JobProgressWindowTest::cancelAsksAndTheJobWindsDown() {
    auto owned = std::make_unique<SliceJob>(1000000);
    SliceJob& job = *owned;
    JobProgressWindow window(std::move(owned));
    window.setCloseWhenFinished(false);
    QSignalSpy finished(&window, &JobProgressWindow::finished);
    window.show();
    window.start();
    QVERIFY(runUntil([&] { return job.steps >= 5; }));

    ui_.answer(ButtonNo);
    window.findChild<QPushButton*>()->click();
    QCOMPARE(ui_.last().caption, std::string("Stop?"));
    QVERIFY(window.running());
    const int before = job.steps;
    QVERIFY(runUntil([&] { return job.steps > before + 3; }));  // it goes on

    ui_.answer(ButtonYes);
    window.findChild<QPushButton*>()->click();
    QVERIFY(runUntil([&] { return finished.count() == 1; }));
    QCOMPARE(finished.first().first().toBool(), false);
    QCOMPARE(job.status(), JobStatus::Stopped);
}

void JobProgressWindowTest::aPausedJobWaitsForResume() {
    auto owned = std::make_unique<SliceJob>(20, 8);
    SliceJob& job = *owned;
    JobProgressWindow window(std::move(owned));
    window.setCloseWhenFinished(false);
    QSignalSpy paused(&window, &JobProgressWindow::paused);
    QSignalSpy finished(&window, &JobProgressWindow::finished);
    window.start();
    QVERIFY(runUntil([&] { return paused.count() == 1; }));
    for (int i = 0; i < 20; ++i) QCoreApplication::processEvents();
    QCOMPARE(job.steps, 8);
    QVERIFY(window.running());
    QVERIFY(showsText(window, QStringLiteral("Slice 8")));
    job.resume();
    window.resume();
    QVERIFY(runUntil([&] { return finished.count() == 1; }));
    QCOMPARE(job.steps, 20);
}

QTEST_MAIN(JobProgressWindowTest)
#include "job_progress_window_test.moc"
