#include "support/recording_user_interface.h"

#include <gtest/gtest.h>

namespace pm::test {

Button RecordingUserInterface::message(const MessageRequest& request) {
    Button answer = request.defaultButton;
    const bool question = (request.buttons & ~static_cast<unsigned>(ButtonOk)) != 0;
    if (question) {
        if (!script_.empty()) {
            answer = script_.front();
            script_.pop_front();
        } else if (!takeDefaults_) {
            ADD_FAILURE() << "unexpected question: " << request.caption << " / " << request.text;
        }
    } else {
        answer = ButtonOk;
    }
    shown_.push_back({request.caption, request.text, request.icon, request.buttons, request.defaultButton, answer});
    return answer;
}

bool RecordingUserInterface::sawCaption(const std::string& caption) const {
    for (const Shown& s : shown_)
        if (s.caption == caption) return true;
    return false;
}

bool RecordingUserInterface::sawText(const std::string& part) const {
    for (const Shown& s : shown_)
        if (s.text.find(part) != std::string::npos) return true;
    return false;
}

}  // namespace pm::test
