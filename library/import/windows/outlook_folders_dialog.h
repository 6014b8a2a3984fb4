#pragma once
// "Select Outlook folders": the mail folders of an Outlook folder file with
// their item counts, each with a check mark, for the folders an Outlook
// Mail import reads. Folders chosen before are marked again; a folder
// without mail is not offered.
#include <QDialog>
#include <string>
#include <vector>

#include "import/outlook/outlook_folders.h"

class QDialogButtonBox;
class QLabel;
class QTreeWidget;

namespace pm {

class OutlookFoldersDialog : public QDialog {
    Q_OBJECT
public:
    // Lists the folders of `storePath`; `chosen` holds the folders (names
    // or paths) marked at the start.
    OutlookFoldersDialog(const std::string& storePath, const std::vector<std::string>& chosen,
                         QWidget* parent = nullptr);

    // False when the file could not be listed; the reason was shown
    // ("Outlook Is Not Installed" or "Outlook cannot be run") and the
    // dialog should not be opened.
    bool listed() const { return listed_; }

    // The paths of the marked folders, in the order of the list.
    std::vector<std::string> chosenFolders() const;
    // The total of items in the marked folders.
    int chosenItems() const;

    QTreeWidget* folderList() const { return list_; }
    QDialogButtonBox* buttons() const { return buttons_; }

private:
    void updateTotal();

    bool listed_ = false;
    std::vector<outlook::FolderChoice> folders_;
    QTreeWidget* list_;
    QLabel* total_;
    QDialogButtonBox* buttons_;
};

}  // namespace pm
