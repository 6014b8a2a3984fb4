#include "import/driver/automation_session.h"

namespace pm {

std::string automationStartText(const AutomationResult& result) {
    std::string text;
    switch (result.start) {
        case AutomationStart::Ready: return {};
        case AutomationStart::NotInstalled: text = "Fatal error. Outlook cannot be initialized."; break;
        case AutomationStart::CannotRun: text = "Outlook cannot be run"; break;
        case AutomationStart::NoFolders: text = "Selected Outlook folders no longer exist."; break;
    }
    if (!result.detail.empty()) text += "\r\n" + result.detail;
    return text;
}

}  // namespace pm
