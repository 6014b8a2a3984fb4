#pragma once
// The connection of an import run to the mail application that an
// automation format reads instead of files ("Outlook Mail"). The run starts
// it before reading, queues its folders as the files to read, hands it to
// every parser call, and ends it when the run closes.
#include <memory>
#include <vector>

#include "import/driver/source_list.h"

namespace pm {

struct ImportRequest;

class AutomationSession {
public:
    virtual ~AutomationSession() = default;
    // The chosen folders in reading order: each one's name (by which the
    // parser asks for it) and its item count as its size.
    virtual std::vector<SourceFile> folders() const = 0;
};

// Why a connection could not be made.
enum class AutomationStart {
    Ready,
    NotInstalled,  // "Fatal error. Outlook cannot be initialized."
    CannotRun,     // "Outlook cannot be run"
    NoFolders,     // "Selected Outlook folders no longer exist."
};

struct AutomationResult {
    AutomationStart start = AutomationStart::NotInstalled;
    std::unique_ptr<AutomationSession> session;  // set when Ready
    std::string detail;  // what went wrong, in the reader's words ("" when nothing)
};

// The run's message for a failed start (with the detail on a line of its
// own when there is one).
std::string automationStartText(const AutomationResult& result);

}  // namespace pm
