#include "common/user_interface.h"

#include "common/globals.h"

namespace pm {
namespace {

class SilentUserInterface final : public UserInterface {
public:
    Button message(const MessageRequest& request) override { return request.defaultButton; }
    void beep() override {}
};

SilentUserInterface silentInterface;
UserInterface* current = &silentInterface;
SuppressedMessageSink suppressedSink = nullptr;
void* suppressedContext = nullptr;

}  // namespace

UserInterface& ui() { return *current; }

UserInterface* setUserInterface(UserInterface* ui) {
    UserInterface* previous = current;
    current = ui ? ui : &silentInterface;
    return previous == &silentInterface ? nullptr : previous;
}

bool quiet() { return Mem.DoTask == TaskRunning || Mem.DoTask == TaskFailed; }

std::pair<SuppressedMessageSink, void*> setSuppressedMessageSink(SuppressedMessageSink sink, void* context) {
    std::pair<SuppressedMessageSink, void*> previous{suppressedSink, suppressedContext};
    suppressedSink = sink;
    suppressedContext = context;
    return previous;
}

Button message(const std::string& caption, const std::string& text, Icon icon, unsigned buttons,
               Button defaultButton) {
    if (quiet()) {
        if (suppressedSink) suppressedSink({caption, text, icon, buttons, defaultButton}, suppressedContext);
        return defaultButton;
    }
    return current->message({caption, text, icon, buttons, defaultButton});
}

Button messageAlways(const std::string& caption, const std::string& text, Icon icon,
                     unsigned buttons, Button defaultButton) {
    return current->message({caption, text, icon, buttons, defaultButton});
}

void beep() {
    if (!quiet()) current->beep();
}

std::vector<std::string> messageLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        if (c == '\n' || c == '|') {
            lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty() || lines.empty()) lines.push_back(line);
    return lines;
}

}  // namespace pm

namespace pm {

std::string counterCaption(const ProgressReport& report, const std::string& name) {
    for (const auto& [counter, caption] : report.captions)
        if (counter == name) return caption;
    return name;
}

}  // namespace pm
