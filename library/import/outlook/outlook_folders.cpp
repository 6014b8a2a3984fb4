#include "import/outlook/outlook_folders.h"

#include <filesystem>

#include "common/fixed_text.h"
#include "common/text.h"
#include "import/driver/import_request.h"
#include "import/outlook/pff_access.h"

namespace pm::outlook {

namespace {

constexpr std::size_t kFolderNameWidth = 100;

void collect(std::unique_ptr<Folder> folder, const std::string& parentPath, std::vector<FolderEntry>& out) {
    const std::string name = folder->name().value_or("");
    const std::string path = parentPath.empty() ? name : parentPath + "/" + name;
    const int subfolders = folder->folderCount().value_or(0);
    std::vector<std::unique_ptr<Folder>> children;
    for (int i = 1; i <= subfolders; ++i)
        if (std::unique_ptr<Folder> child = folder->folder(i)) children.push_back(std::move(child));
    if (folder->defaultItemType() == MailItemType) {
        const int items = folder->itemCount().value_or(0);
        if (items > 0) {
            FolderEntry entry;
            entry.name = name.substr(0, utf8FitLength(name, kFolderNameWidth));
            entry.path = path;
            entry.itemCount = items;
            entry.folder = std::move(folder);
            out.push_back(std::move(entry));
        }
    }
    for (std::unique_ptr<Folder>& child : children) collect(std::move(child), path, out);
}

}  // namespace

std::vector<FolderEntry> mailFolders(const Session& session) {
    std::vector<FolderEntry> folders;
    for (int i = 1; i <= session.folderCount(); ++i)
        if (std::unique_ptr<Folder> top = session.folder(i)) collect(std::move(top), "", folders);
    return folders;
}

FolderListing listMailFolders(const std::string& storePath, std::vector<FolderChoice>& folders, std::string& detail) {
    folders.clear();
    std::error_code ec;
    if (storePath.empty() || !std::filesystem::is_regular_file(storePath, ec)) {
        detail = storePath.empty() ? "No Outlook folder file is named." : storePath + " does not exist.";
        return FolderListing::NotInstalled;
    }
    if (!pff::load(detail)) return FolderListing::NotInstalled;  // no reader for any folder file
    const std::unique_ptr<Session> session = Session::open(storePath, detail);
    if (!session) return FolderListing::CannotRun;
    for (const FolderEntry& f : mailFolders(*session)) folders.push_back({f.name, f.path, f.itemCount});
    return FolderListing::Listed;
}

void keepSelectedFolders(std::vector<FolderEntry>& folders, const std::vector<std::string>& selection) {
    std::vector<FolderEntry> kept;
    for (FolderEntry& entry : folders)
        for (const std::string& wanted : selection)
            if (equalsCaseless(entry.name, wanted) || equalsCaseless(entry.path, wanted)) {
                kept.push_back(std::move(entry));
                break;
            }
    folders = std::move(kept);
}

}  // namespace pm::outlook
