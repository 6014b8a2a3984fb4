#include "cli/job_runner.h"

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <string>

#include "cli/command_line.h"

namespace pm::cli {

namespace {

volatile std::sig_atomic_t interruptFlag = 0;
int scopes = 0;
struct sigaction previousInt {};
struct sigaction previousTerm {};

extern "C" void onStopSignal(int) { interruptFlag = 1; }

// The progress line is redrawn at most this often.
constexpr auto kReportInterval = std::chrono::milliseconds(100);

// POSTMOOR_TEST_INTERRUPT=COUNTER:N[:TERM|:KILL] (see the header).
struct TestInterrupt {
    std::string counter;
    long long at = -1;
    int signal = SIGINT;
    bool armed() const { return at >= 0; }
};

TestInterrupt testInterrupt() {
    TestInterrupt hook;
    const char* env = std::getenv("POSTMOOR_TEST_INTERRUPT");
    if (!env) return hook;
    std::string text = env;
    if (text.size() > 5 && text.compare(text.size() - 5, 5, ":TERM") == 0) {
        hook.signal = SIGTERM;
        text.resize(text.size() - 5);
    } else if (text.size() > 5 && text.compare(text.size() - 5, 5, ":KILL") == 0) {
        hook.signal = SIGKILL;
        text.resize(text.size() - 5);
    }
    const std::size_t colon = text.rfind(':');
    if (colon == std::string::npos) return hook;
    hook.counter = text.substr(0, colon);
    hook.at = std::atoll(text.c_str() + colon + 1);
    return hook;
}

std::string trimmed(std::string text) {
    while (!text.empty() && text.front() == ' ') text.erase(text.begin());
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

}  // namespace

InterruptScope::InterruptScope() {
    if (scopes++ > 0) return;
    interruptFlag = 0;
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    // Reads and writes of the stores go on after the handler ran.
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, &previousInt);
    sigaction(SIGTERM, &action, &previousTerm);
}

InterruptScope::~InterruptScope() {
    if (--scopes > 0) return;
    sigaction(SIGINT, &previousInt, nullptr);
    sigaction(SIGTERM, &previousTerm, nullptr);
}

bool InterruptScope::interrupted() { return interruptFlag != 0; }

JobRunResult runJob(Job& job, UserInterface& ui) {
    InterruptScope scope;
    TestInterrupt hook = testInterrupt();
    JobRunResult result;
    auto lastReport = std::chrono::steady_clock::now() - kReportInterval;
    JobStatus status = job.status();
    while (status == JobStatus::Running) {
        if (InterruptScope::interrupted() && !result.interrupted) {
            result.interrupted = true;
            ui.message({"Interrupted", "Stopping " + trimmed(job.report().title) + "; what was done so far is kept.",
                        Icon::Information, ButtonOk, ButtonOk});
            job.requestStop(StopRequest::Now);
            if ((status = job.status()) != JobStatus::Running) break;
        }
        status = job.step();
        const auto now = std::chrono::steady_clock::now();
        const bool due = now - lastReport >= kReportInterval;
        if (!due && !hook.armed()) continue;
        const ProgressReport report = job.report();
        if (hook.armed() && reportCounter(report, hook.counter) >= hook.at) {
            hook.at = -1;
            kill(getpid(), hook.signal);
        }
        if (due && status == JobStatus::Running) {
            ui.progress(report);
            lastReport = now;
        }
    }
    result.status = status;
    return result;
}

JobRunResult runJob(CommandContext& ctx, Job& job) {
    const JobRunResult result = runJob(job, *ctx.ui);
    ctx.ui->finishProgress();
    return result;
}

int exitCodeOf(const JobRunResult& run) {
    if (run.interrupted) return ExitInterrupted;
    return run.status == JobStatus::Done || run.status == JobStatus::Paused ? ExitOk : ExitFailed;
}

}  // namespace pm::cli
