#pragma once
// "Outlook Mail": the import's connection to Outlook and the parser that
// turns the mail items of the chosen folders into work records.
//
// The stand-in for the running Outlook is its folder file: the import path
// names the .pst (or .ost) file, the selected files name the folders. A
// missing file is an Outlook that is not installed ("Fatal error. Outlook
// cannot be initialized."), a file that cannot be read as a folder file an
// Outlook that does not run ("Outlook cannot be run"); when none of the
// selected folders holds mail: "Selected Outlook folders no longer exist.".
#include <memory>
#include <string>
#include <vector>

#include "import/driver/automation_session.h"
#include "import/driver/format_parser.h"
#include "import/outlook/outlook_folders.h"

namespace pm::outlook {

class OutlookConnection final : public AutomationSession {
public:
    OutlookConnection(std::unique_ptr<Session> session, std::vector<FolderEntry> folders);
    ~OutlookConnection() override;

    std::vector<SourceFile> folders() const override;
    // The folder queued under `name`; nullptr when there is none (or it
    // was released).
    FolderEntry* folder(const std::string& name);
    // Releases a folder that has been read.
    void release(const std::string& name);

private:
    std::unique_ptr<Session> session_;
    std::vector<FolderEntry> folders_;
};

// Steps 1 to 4 of the start: the store, the namespace, the folder list
// matched against the selection (the sum of the item counts is the
// progress total).
AutomationResult startOutlook(const ImportRequest& request);

// Reads one folder of the connection: at most 10 items per call.
std::unique_ptr<FormatParser> makeOutlookParser();

}  // namespace pm::outlook
