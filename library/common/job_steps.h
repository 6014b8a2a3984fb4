#pragma once
// Pieces the step machines of long work share (see common/job.h).
#include "common/fatal_error.h"
#include "common/job.h"

namespace pm {

// The job status of a machine's state: its Done, Stopped and Failed states
// are final, every other state is Running.
template <typename State>
JobStatus jobStatusOfState(State state) {
    switch (state) {
        case State::Done: return JobStatus::Done;
        case State::Stopped: return JobStatus::Stopped;
        case State::Failed: return JobStatus::Failed;
        default: return JobStatus::Running;
    }
}

// Runs one slice. When a fatal error passes through it, `abandon` runs
// first (rolling back and letting go of what the slice held; a second fatal
// error there is dropped) and the first error goes on to the program.
template <typename Slice, typename Abandon>
JobStatus guardedSlice(Slice slice, Abandon abandon) {
    try {
        return slice();
    } catch (const FatalError&) {
        try {
            abandon();
        } catch (const FatalError&) {
        }
        throw;
    }
}

}  // namespace pm
