#pragma once
// The installation's writing turn (writing_run_lock.h) as the maintenance
// runs hold it: taken at their first step, before their tables open, and
// given back as soon as the run has ended.
#include "common/job.h"
#include "tables/identifiers/writing_run_lock.h"

namespace pm {

// One step of a run whose state has `status`, `line`, `started` and
// `writingLock`. Until the turn is taken the step only tries to take it:
// while another process holds it `line` says so and the run stays Running;
// refused, the run is Failed. Once taken, `start` runs (false: the step
// ends with the status `start` left), then, in that step and every later
// one, `slice`. However the run ends, the turn goes back at once, even
// while a window still shows the run.
template <typename State, typename Start, typename Slice>
JobStatus stepHoldingWritingTurn(State& s, Start start, Slice slice) {
    if (s.status != JobStatus::Running) return s.status;
    struct ReleaseWhenEnded {
        State& s;
        ~ReleaseWhenEnded() {
            if (s.status != JobStatus::Running) s.writingLock.release();
        }
    } releaseWhenEnded{s};
    if (!s.started) {
        switch (s.writingLock.tryTake()) {
            case WritingRunLock::Turn::Taken: break;
            case WritingRunLock::Turn::Waiting: s.line = s.writingLock.waitingText(); return s.status;
            case WritingRunLock::Turn::Refused: return s.status = JobStatus::Failed;
        }
        s.started = true;
        if (!start()) return s.status;
    }
    return slice();
}

}  // namespace pm
