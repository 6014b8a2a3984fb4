#include "cli/stderr_user_interface.h"

#include <unistd.h>

#include "common/counts.h"

namespace pm::cli {

Button commandModeAnswer(unsigned buttons, bool answerYes) {
    const Button yesOrder[] = {ButtonOk, ButtonYes, ButtonRetry, ButtonIgnore};
    const Button noOrder[] = {ButtonCancel, ButtonNo, ButtonAbort};
    if (answerYes) {
        for (Button b : yesOrder)
            if (buttons & b) return b;
    } else {
        for (Button b : noOrder)
            if (buttons & b) return b;
        // A box with only OK (a plain message) is acknowledged.
        for (Button b : yesOrder)
            if (buttons & b) return b;
    }
    return ButtonOk;
}

StderrUserInterface::StderrUserInterface(bool answerYes, std::FILE* out)
    : answerYes_(answerYes), out_(out), terminal_(isatty(fileno(out)) != 0) {}

Button StderrUserInterface::message(const MessageRequest& request) {
    finishProgress();
    std::string joined;
    for (const std::string& line : messageLines(request.text)) {
        if (!joined.empty()) joined += "\n  ";
        joined += line;
    }
    std::string caption = request.caption;
    while (!caption.empty() && caption.front() == ' ') caption.erase(caption.begin());
    std::fprintf(out_, "%s: %s\n", caption.c_str(), joined.c_str());
    shown_.push_back(caption + ": " + joined);
    Button answer = commandModeAnswer(request.buttons, answerYes_);
    const bool question = (request.buttons & ~static_cast<unsigned>(ButtonOk)) != 0;
    if (question) {
        const char* name = answer == ButtonOk ? "OK" : answer == ButtonYes ? "Yes" : answer == ButtonNo ? "No"
                         : answer == ButtonCancel ? "Cancel" : answer == ButtonAbort ? "Abort"
                         : answer == ButtonRetry ? "Retry" : "Ignore";
        std::fprintf(out_, "  -> %s\n", name);
    }
    std::fflush(out_);
    return answer;
}

std::string progressLine(const ProgressReport& report) {
    std::string title = report.title;
    title.erase(0, title.find_first_not_of(' '));
    while (!title.empty() && title.back() == ' ') title.pop_back();
    std::string line = title;
    if (!report.phase.empty()) line += (line.empty() ? "" : " - ") + report.phase;
    std::string counters;
    for (const auto& [name, value] : report.counters)
        counters += (counters.empty() ? "" : ", ") + counterCaption(report, name) + " " + groupedNumber(value);
    if (!counters.empty()) line += ": " + counters;
    if (report.percent >= 0) line += " (" + std::to_string(report.percent) + "%)";
    return line;
}

void StderrUserInterface::progress(const ProgressReport& report) {
    if (!terminal_) return;
    auto now = std::chrono::steady_clock::now();
    if (progressOpen_ && now - lastProgress_ < std::chrono::milliseconds(500)) return;
    lastProgress_ = now;
    std::string line = progressLine(report);
    if (line.size() > 110) {
        std::size_t cut = 110;  // never inside a UTF-8 character
        while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
        line.resize(cut);
    }
    std::fprintf(out_, "\r%-110s", line.c_str());
    std::fflush(out_);
    progressOpen_ = true;
}

void StderrUserInterface::finishProgress() {
    if (!progressOpen_) return;
    std::fprintf(out_, "\r%-110s\r", "");
    progressOpen_ = false;
}

}  // namespace pm::cli
