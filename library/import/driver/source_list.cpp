#include "import/driver/source_list.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "tables/access/file_functions.h"

namespace pm {

namespace fs = std::filesystem;

std::string joinPath(const std::string& directory, const std::string& name) {
    if (!name.empty() && name.front() == '/') return name;
    if (directory.empty()) return name;
    if (directory.back() == '/') return directory + name;
    return directory + "/" + name;
}

std::int64_t fileSizeOf(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
    return static_cast<std::int64_t>(st.st_size);
}

std::string unusableSourceText(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) return path + " is a directory, not a file, and will be skipped!";
        return path + " is not a regular file (a pipe, device or socket) and will be skipped!";
    }
    const int error = errno;
    if (error == ENOENT || error == ENOTDIR) return "The file " + path + " does not exist and will be skipped!";
    if (error == ELOOP) return path + " is a loop of symbolic links and will be skipped!";
    return "The file " + path + " cannot be reached (" + std::strerror(error) + ") and will be skipped!";
}

std::vector<SourceFile> filesMatching(const std::string& directory, const std::vector<std::string>& masks,
                                      std::vector<std::string>* problems) {
    std::vector<SourceFile> files;
    std::error_code ec;
    fs::directory_iterator it(directory, ec);
    if (ec) {
        if (problems)
            problems->push_back("The directory " + directory + " cannot be read (" + ec.message() +
                                ") and will be skipped!");
        return files;
    }
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        const fs::directory_entry& entry = *it;
        const std::string name = entry.path().filename().string();
        const bool matches = std::any_of(masks.begin(), masks.end(),
                                         [&](const std::string& mask) { return wildcardMatch(mask, name); });
        if (!matches) continue;
        const std::string full = joinPath(directory, name);
        std::error_code typeError;
        if (entry.is_regular_file(typeError)) {
            files.push_back({full, std::max<std::int64_t>(fileSizeOf(full), 0)});
        } else if (problems && !entry.is_directory(typeError)) {
            // A pipe, a device, a dangling link or a loop of links under a
            // matching name: named, not passed over in silence.
            problems->push_back(unusableSourceText(full));
        }
    }
    if (ec && problems)
        problems->push_back("The directory " + directory + " could not be read to its end (" + ec.message() + ")!");
    std::sort(files.begin(), files.end(), [](const SourceFile& a, const SourceFile& b) { return a.name < b.name; });
    return files;
}

std::vector<std::string> directoryTree(const std::string& top) {
    std::vector<std::string> tree;
    std::error_code ec;
    if (!fs::is_directory(top, ec)) return tree;
    tree.push_back(top);
    for (std::size_t i = 0; i < tree.size(); ++i) {
        std::vector<std::string> level;
        for (const auto& entry : fs::directory_iterator(tree[i], ec)) {
            if (entry.is_symlink(ec) || !entry.is_directory(ec)) continue;
            level.push_back(joinPath(tree[i], entry.path().filename().string()));
        }
        std::sort(level.begin(), level.end());
        tree.insert(tree.end(), level.begin(), level.end());
    }
    return tree;
}

void SourceList::queueFile(SourceFile file) {
    listedBytes_ += file.size;
    files_.push_back(std::move(file));
}

void SourceList::build(const ImportRequest& request, bool folders) {
    files_.clear();
    directories_.clear();
    listedBytes_ = 0;
    masks_ = splitList(request.masks);
    switch (request.selectionMethod) {
        case SelectDirectoryTree:
            for (std::string& dir : directoryTree(request.importPath)) directories_.push_back(std::move(dir));
            break;
        case SelectDirectory:
            directories_.push_back(request.importPath);
            break;
        default:
            for (const std::string& name : request.selectedFiles) {
                if (folders) {
                    queueFile({name, 0});
                } else {
                    const std::string full = joinPath(request.importPath, name);
                    queueFile({full, std::max<std::int64_t>(fileSizeOf(full), 0)});
                }
            }
            break;
    }
}

void SourceList::buildFolders(std::vector<SourceFile> folders) {
    files_.clear();
    directories_.clear();
    listedBytes_ = 0;
    for (SourceFile& folder : folders) queueFile(std::move(folder));
}

bool SourceList::nextFile(SourceFile& file) {
    if (files_.empty()) return false;
    file = std::move(files_.front());
    files_.pop_front();
    return true;
}

bool SourceList::nextDirectory(std::vector<std::string>& problems) {
    if (directories_.empty()) return false;
    const std::string dir = std::move(directories_.front());
    directories_.pop_front();
    for (SourceFile& f : filesMatching(dir, masks_, &problems)) queueFile(std::move(f));
    return true;
}

}  // namespace pm
