#pragma once
// The user interface of command mode: messages and progress on stderr.
// Questions take their OK/Yes answer with --yes, else their Cancel/No one.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "common/user_interface.h"

namespace pm::cli {

class StderrUserInterface final : public UserInterface {
public:
    explicit StderrUserInterface(bool answerYes, std::FILE* out = stderr);

    Button message(const MessageRequest& request) override;
    void beep() override {}
    void progress(const ProgressReport& report) override;

    // Ends a progress line that is still open.
    void finishProgress();

    // Every message shown so far, "caption: text" (for the run summary).
    const std::vector<std::string>& shown() const { return shown_; }

private:
    bool answerYes_;
    std::FILE* out_;
    bool terminal_;
    bool progressOpen_ = false;
    std::chrono::steady_clock::time_point lastProgress_{};
    std::vector<std::string> shown_;
};

// The progress line of `report` in plain words: its title, the phase, the
// counters under their captions, the percentage. "Message import - storing
// messages: Messages imported 595, Messages skipped 5 (20%)".
std::string progressLine(const ProgressReport& report);

// The answer command mode gives to a box with `buttons`.
Button commandModeAnswer(unsigned buttons, bool answerYes);

}  // namespace pm::cli
