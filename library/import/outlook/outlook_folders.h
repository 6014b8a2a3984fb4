#pragma once
// The mail folders of an Outlook session and the choice among them.
//
// Enumeration walks the namespace's folders and every folder below them:
// a folder whose default item type is mail and that holds one or more items
// joins the list with its name and item count; the folders of every type
// are searched for subfolders. Folders that cannot be read are passed over.
#include <memory>
#include <string>
#include <vector>

#include "import/outlook/outlook_session.h"

namespace pm::outlook {

struct FolderEntry {
    std::string name;                // up to 100 bytes
    std::string path;                // the folder's place: "Store/Inbox/Project"
    int itemCount = 0;
    std::unique_ptr<Folder> folder;  // held while the entry lives
};

// Every mail folder with items, in the order of the folder tree.
std::vector<FolderEntry> mailFolders(const Session& session);

// A mail folder as a person chooses it: no handle is kept.
struct FolderChoice {
    std::string name;
    std::string path;
    int itemCount = 0;
};

enum class FolderListing {
    Listed,
    NotInstalled,  // no such folder file, or no library to read one ("Outlook Is Not Installed")
    CannotRun,     // the file cannot be read as one ("Outlook cannot be run")
};

// The mail folders of the folder file `storePath` for a choice; `detail`
// says what went wrong when they cannot be listed.
FolderListing listMailFolders(const std::string& storePath, std::vector<FolderChoice>& folders, std::string& detail);

// Keeps the entries whose name or path is selected (letter case ignored);
// the others are released. Selected names without a folder are dropped.
void keepSelectedFolders(std::vector<FolderEntry>& folders, const std::vector<std::string>& selection);

}  // namespace pm::outlook
