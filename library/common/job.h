#pragma once
// One shape for long work: a Job.
//
// Import, indexing, search, the identifier check and every later long
// process (purge, count, merge, rebuild, export, tasks, browse fills) are
// jobs. The caller drives a job one slice at a time; between slices it
// redraws, polls the progress report and may ask the job to stop. The same
// job runs under the progress window (a timer calls step()), in command mode
// (one driver loops over step() and turns Ctrl-C into a stop request) and in
// tests (runToEnd(), or step() by hand).
//
// States (what status() says; where they lead):
//
//   Running   more to do. step() does one bounded slice and returns the
//             new status. -> Running; Paused; Done; Stopped; Failed.
//   Paused    a job that works in sessions (a search gathering blocks of
//             hits) ended a session with more left. step() does nothing
//             and returns Paused until the job's own resume call (the
//             search's nextBlock()) makes it Running again.
//   Done      the work is complete.
//   Stopped   the work ended early at a stop request, or because the
//             person declined a question the work had to ask. What was
//             committed stays and is consistent (counts match the store).
//   Failed    a failure ended it; the failure has been reported to the
//             person through the user interface.
//
// Done, Stopped and Failed are final: the job has released its tables,
// locks and work files, and step() returns the same status again.
//
// How to write a job:
//   - Derive from Job. Keep the position of the work in members; step()
//     does one slice (a quota of records, one file, one part of a flush)
//     and returns. Size the slice so that step() returns within about a
//     tenth of a second at the usual settings; never loop to the end inside
//     step().
//   - step() may show messages and ask the questions the work itself must
//     ask (a warning with Retry/Cancel), through the user interface. It
//     asks no question about how far to go: that is an option the caller
//     passes when it makes the job (the search's "every block").
//   - report() returns the title, status lines, named counters and the
//     percentage (-1 unknown). It is cheap and has no side effects: front
//     ends call it after steps, a few times a second. Counter names are
//     stable; command mode prints them and tests read them.
//   - requestStop(Ask) may ask the person whether to stop (and returns
//     false when the answer is to go on); requestStop(Now) never asks: it is
//     used for signals, closing programs and unattended runs. Once a stop is
//     accepted the job starts no new work: it is final at once, or after a
//     few more step() calls that only wind down (a flush, the count
//     write-back). Everything committed before the stop stays consistent.
//   - A job that is destroyed before it is final abandons its work as a
//     failure would: what is not committed is rolled back, nothing is held.
//   - Errors of storage travel as results and end the job as Failed after
//     they are reported; the fatal error exception may pass through step().
#include "common/user_interface.h"

namespace pm {

// Where a job is; see the states above.
enum class JobStatus { Running, Paused, Done, Stopped, Failed };

// Name of a status ("Running", "Done" ...), for logs and messages.
const char* jobStatusName(JobStatus status);

// True for the final statuses (Done, Stopped, Failed).
inline bool jobFinal(JobStatus status) {
    return status == JobStatus::Done || status == JobStatus::Stopped || status == JobStatus::Failed;
}

// How a stop is asked for.
enum class StopRequest {
    Ask,  // a person pressed Cancel: the job may ask whether to stop
    Now,  // a signal, a closing program, an unattended run: no question
};

class Job {
public:
    virtual ~Job() = default;

    // One bounded slice of work; the status after it.
    virtual JobStatus step() = 0;
    // The status after the last step (Running before the first).
    virtual JobStatus status() const = 0;
    // What the progress display shows now.
    virtual ProgressReport report() const = 0;
    // Asks the job to stop at the next slice boundary. True when the stop
    // is accepted (the job is final now or winds down in the next steps),
    // false when the person chose to go on. A final job accepts at once.
    virtual bool requestStop(StopRequest how) = 0;

    bool finished() const { return jobFinal(status()); }
};

// Steps `job` until it is no longer Running; the status it reached.
JobStatus runToEnd(Job& job);

// The value of the counter `name` in `report`; -1 when it has none.
long long reportCounter(const ProgressReport& report, const std::string& name);

}  // namespace pm
