#pragma once
// A user interface for tests: records every message box and answers from a
// script. A question that nobody scripted fails the test (unless the
// recorder is told to take default answers).
#include <deque>
#include <string>
#include <vector>

#include "common/user_interface.h"

namespace pm::test {

class RecordingUserInterface final : public UserInterface {
public:
    struct Shown {
        std::string caption;
        std::string text;
        Icon icon;
        unsigned buttons;
        Button defaultButton;
        Button answer;
    };

    // Answers the next box that offers more than OK.
    void answer(Button button) { script_.push_back(button); }
    // Questions without a scripted answer take their default.
    void takeDefaults(bool on = true) { takeDefaults_ = on; }

    Button message(const MessageRequest& request) override;
    void beep() override { ++beeps_; }
    void progress(const ProgressReport& report) override { lastProgress_ = report; ++progressCalls_; }

    const std::vector<Shown>& shown() const { return shown_; }
    bool empty() const { return shown_.empty(); }
    const Shown& last() const { return shown_.back(); }
    // Whether a box with this caption was shown.
    bool sawCaption(const std::string& caption) const;
    // Whether any box text contains `part`.
    bool sawText(const std::string& part) const;
    int beeps() const { return beeps_; }
    int progressCalls() const { return progressCalls_; }
    const ProgressReport& lastProgress() const { return lastProgress_; }
    void clear() { shown_.clear(); beeps_ = 0; }

private:
    std::deque<Button> script_;
    std::vector<Shown> shown_;
    bool takeDefaults_ = false;
    int beeps_ = 0;
    int progressCalls_ = 0;
    ProgressReport lastProgress_;
};

// Installs a recorder for one test.
struct RecorderScope {
    RecordingUserInterface ui;
    ScopedUserInterface scope{ui};
};

}  // namespace pm::test
