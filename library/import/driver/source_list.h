#pragma once
// The source files of one import run: a file queue (name with path, size)
// and, for the directory-tree method, a directory queue whose directories
// are listed one at a time as the run reaches them.
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "import/driver/import_request.h"

namespace pm {

struct SourceFile {
    std::string name;        // full path
    std::int64_t size = 0;   // bytes; 0 when the file is missing
};

// `directory` joined with `name` by "/" (no doubled separator); an absolute
// `name` is taken as it is.
std::string joinPath(const std::string& directory, const std::string& name);

// The regular files of `directory` whose names match one of the masks
// (case-blind, "*" and "?"), each listed once, in name order. What cannot be
// used goes to `problems` (when given) as a skip message naming it: the
// directory itself when it cannot be read, and each matching entry that is
// neither a file nor a directory (a pipe, a device, a dangling link, a loop
// of links).
std::vector<SourceFile> filesMatching(const std::string& directory, const std::vector<std::string>& masks,
                                      std::vector<std::string>* problems = nullptr);

// `top` and every directory below it, breadth first, each level in name
// order. Symbolic links to directories are not followed (no loops).
std::vector<std::string> directoryTree(const std::string& top);

// The size of a file in bytes, or -1 when it does not exist or is no
// regular file.
std::int64_t fileSizeOf(const std::string& path);

// Why `path` (for which fileSizeOf() gave -1) cannot be imported, as the
// skip message says it: "The file PATH does not exist and will be
// skipped!", or that it is a directory, a pipe, device or socket, a loop of
// symbolic links, or cannot be reached (with the system's reason).
std::string unusableSourceText(const std::string& path);

class SourceList {
public:
    // Fills the queues for the request: method 0 queues the whole directory
    // tree, method 1 the import path (listed when reached), method 2 the
    // selected files with their sizes (the automation format: the selected
    // folders as they are).
    void build(const ImportRequest& request, bool folders);

    // Replaces the queues with `folders` (an automation format's folders,
    // their item counts as sizes).
    void buildFolders(std::vector<SourceFile> folders);

    // The next file, or false when the file queue is empty.
    bool nextFile(SourceFile& file);
    // Lists the next queued directory's matching files into the file queue;
    // false when no directory is left. A directory without matching files
    // lists nothing (the caller simply asks again). What is skipped is added
    // to `problems` as messages naming it (see filesMatching()).
    bool nextDirectory(std::vector<std::string>& problems);

    // Total bytes of every file listed so far (the progress scale).
    std::int64_t listedBytes() const { return listedBytes_; }
    std::size_t filesWaiting() const { return files_.size(); }

private:
    void queueFile(SourceFile file);

    std::vector<std::string> masks_;
    std::deque<SourceFile> files_;
    std::deque<std::string> directories_;
    std::int64_t listedBytes_ = 0;
};

}  // namespace pm
