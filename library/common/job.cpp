#include "common/job.h"

namespace pm {

const char* jobStatusName(JobStatus status) {
    switch (status) {
        case JobStatus::Running: return "Running";
        case JobStatus::Paused: return "Paused";
        case JobStatus::Done: return "Done";
        case JobStatus::Stopped: return "Stopped";
        case JobStatus::Failed: return "Failed";
    }
    return "?";
}

JobStatus runToEnd(Job& job) {
    JobStatus status = job.status();
    if (status != JobStatus::Running) return status;
    while ((status = job.step()) == JobStatus::Running) {
    }
    return status;
}

long long reportCounter(const ProgressReport& report, const std::string& name) {
    for (const auto& [counter, value] : report.counters)
        if (counter == name) return value;
    return -1;
}

}  // namespace pm
