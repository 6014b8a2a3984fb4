// The command-mode job driver over a small job that counts slices.
#include <gtest/gtest.h>

#include <signal.h>

#include <cstdlib>

#include "cli/command_line.h"
#include "cli/job_runner.h"
#include "support/recording_user_interface.h"

namespace pm::test {
namespace {

using cli::JobRunResult;
using cli::runJob;

// Does `slices` slices; a stop is accepted and takes `windDown` more steps.
// A slice can raise a signal, as Ctrl-C in the middle of one would.
class CountingJob final : public Job {
public:
    explicit CountingJob(int slices, int windDown = 0) : slices_(slices), windDown_(windDown) {}

    JobStatus step() override {
        if (status_ != JobStatus::Running) return status_;
        if (stopping_) {
            ++windDownSteps_;
            if (--windDown_ <= 0) status_ = JobStatus::Stopped;
            return status_;
        }
        ++done_;
        if (done_ == signalAt) raise(SIGINT);
        if (done_ == slices_) status_ = JobStatus::Done;
        return status_;
    }
    JobStatus status() const override { return status_; }
    ProgressReport report() const override {
        ProgressReport r;
        r.title = " Counting ";
        r.counters = {{"done", done_}, {"of", slices_}};
        r.percent = static_cast<int>(done_ * 100 / slices_);
        return r;
    }
    bool requestStop(StopRequest how) override {
        lastRequest = how;
        if (status_ != JobStatus::Running) return true;
        stopping_ = true;
        if (windDown_ == 0) status_ = JobStatus::Stopped;
        return true;
    }

    long long done() const { return done_; }
    int windDownSteps() const { return windDownSteps_; }
    int signalAt = -1;
    StopRequest lastRequest = StopRequest::Ask;

private:
    long long slices_;
    int windDown_;
    long long done_ = 0;
    int windDownSteps_ = 0;
    bool stopping_ = false;
    JobStatus status_ = JobStatus::Running;
};

TEST(JobRunner, RunsAJobToItsEndAndReportsItsProgress) {
    RecordingUserInterface ui;
    CountingJob job(5);
    const JobRunResult r = runJob(job, ui);
    EXPECT_EQ(r.status, JobStatus::Done);
    EXPECT_FALSE(r.interrupted);
    EXPECT_EQ(job.done(), 5);
    EXPECT_EQ(cli::exitCodeOf(r), cli::ExitOk);
    ASSERT_GE(ui.progressCalls(), 1);
    EXPECT_EQ(ui.lastProgress().title, " Counting ");
    EXPECT_EQ(reportCounter(ui.lastProgress(), "of"), 5);
    EXPECT_TRUE(ui.empty());
    // A final job is not stepped again.
    EXPECT_EQ(runJob(job, ui).status, JobStatus::Done);
    EXPECT_EQ(job.done(), 5);
}

TEST(JobRunner, ASignalStopsTheJobBetweenSlicesWithoutAQuestion) {
    struct sigaction before {};
    sigaction(SIGINT, nullptr, &before);
    RecordingUserInterface ui;
    CountingJob job(1000);
    job.signalAt = 3;
    const JobRunResult r = runJob(job, ui);
    EXPECT_TRUE(r.interrupted);
    EXPECT_EQ(r.status, JobStatus::Stopped);
    EXPECT_EQ(job.done(), 3);  // the slice under way ended; no new one began
    EXPECT_EQ(job.lastRequest, StopRequest::Now);
    EXPECT_EQ(cli::exitCodeOf(r), cli::ExitInterrupted);
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.last().caption, "Interrupted");
    EXPECT_EQ(ui.last().text, "Stopping Counting; what was done so far is kept.");
    // The handler of before the run is back.
    struct sigaction after {};
    sigaction(SIGINT, nullptr, &after);
    EXPECT_EQ(after.sa_handler, before.sa_handler);
}

TEST(JobRunner, AStoppingJobIsSteppedUntilItHasWoundDown) {
    RecordingUserInterface ui;
    CountingJob job(1000, 2);
    job.signalAt = 10;
    const JobRunResult r = runJob(job, ui);
    EXPECT_TRUE(r.interrupted);
    EXPECT_EQ(r.status, JobStatus::Stopped);
    EXPECT_EQ(job.done(), 10);
    EXPECT_EQ(job.windDownSteps(), 2);
}

TEST(JobRunner, TheTestHookSignalsAtAProgressCounter) {
    ::setenv("POSTMOOR_TEST_INTERRUPT", "done:7", 1);
    RecordingUserInterface ui;
    CountingJob job(1000);
    const JobRunResult r = runJob(job, ui);
    ::unsetenv("POSTMOOR_TEST_INTERRUPT");
    EXPECT_TRUE(r.interrupted);
    EXPECT_EQ(job.done(), 7);
}

TEST(JobRunner, ExitCodesFollowTheStatus) {
    EXPECT_EQ(cli::exitCodeOf({JobStatus::Paused, false}), cli::ExitOk);
    EXPECT_EQ(cli::exitCodeOf({JobStatus::Failed, false}), cli::ExitFailed);
    EXPECT_EQ(cli::exitCodeOf({JobStatus::Stopped, false}), cli::ExitFailed);
    EXPECT_EQ(cli::exitCodeOf({JobStatus::Done, true}), cli::ExitInterrupted);
}

TEST(JobRunner, RunToEndStopsAtAPause) {
    struct Sessions final : Job {
        int steps = 0;
        JobStatus s = JobStatus::Running;
        JobStatus step() override { return s = ++steps == 2 ? JobStatus::Paused : JobStatus::Running; }
        JobStatus status() const override { return s; }
        ProgressReport report() const override { return {}; }
        bool requestStop(StopRequest) override { return true; }
    } job;
    EXPECT_EQ(runToEnd(job), JobStatus::Paused);
    EXPECT_FALSE(job.finished());
    EXPECT_EQ(runToEnd(job), JobStatus::Paused);
    EXPECT_EQ(job.steps, 2);
}

}  // namespace
}  // namespace pm::test
