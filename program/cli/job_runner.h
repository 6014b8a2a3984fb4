#pragma once
// The one command-mode driver of long work (common/job.h).
//
// runJob() steps a job to its end, shows its progress on stderr (a line that
// is redrawn when stderr is a terminal) and turns SIGINT and SIGTERM into a
// stop request: the job stops at the next slice boundary without asking,
// and the command prints what was done before it exits with
// ExitInterrupted (130).
//
// Test hook: with POSTMOOR_TEST_INTERRUPT=COUNTER:N in the environment the
// process sends itself SIGINT (SIGTERM with COUNTER:N:TERM, SIGKILL with
// COUNTER:N:KILL) once the job's progress counter COUNTER reaches N, so that
// a test lands a real signal in the middle of a run (SIGKILL: between two
// slices, as a crash would end it).
#include "cli/command_context.h"
#include "common/job.h"

namespace pm::cli {

// While a scope lives, SIGINT and SIGTERM set the interrupt flag instead of
// ending the process. Scopes nest; the first one clears the flag, the last
// one puts the previous handlers back. A command that runs several jobs
// holds one around all of them and checks interrupted() between jobs.
class InterruptScope {
public:
    InterruptScope();
    ~InterruptScope();
    InterruptScope(const InterruptScope&) = delete;
    InterruptScope& operator=(const InterruptScope&) = delete;

    // Whether a signal arrived since the outermost scope began.
    static bool interrupted();
};

struct JobRunResult {
    JobStatus status = JobStatus::Running;  // where the job ended (Paused: a session ended)
    bool interrupted = false;               // a signal asked it to stop
};

// Drives `job` until it is no longer Running, reporting to `ui` at most ten
// times a second. After a signal the notice "Interrupted" goes to `ui` and
// the job is asked to stop (StopRequest::Now); it may take a few more steps
// to wind down.
JobRunResult runJob(Job& job, UserInterface& ui);
// The same for a command: its interface, and the progress line ended.
JobRunResult runJob(CommandContext& ctx, Job& job);

// The exit code of a run: ExitInterrupted after a signal, ExitOk when the
// job is Done or Paused, ExitFailed otherwise.
int exitCodeOf(const JobRunResult& run);

}  // namespace pm::cli
