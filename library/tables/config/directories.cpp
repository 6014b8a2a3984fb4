// Changing the temporary, database and word-index top directories.
#include <filesystem>
#include <system_error>

#include "common/globals.h"
#include "common/user_interface.h"
#include "storage/table.h"
#include "tables/config/control_blocks.h"
#include "tables/config/installation.h"
#include "tables/config/settings.h"

namespace pm {

namespace {

std::string normalised(const std::string& path) {
    std::error_code ec;
    std::string s = std::filesystem::absolute(path, ec).lexically_normal().string();
    if (ec) s = path;
    while (s.size() > 1 && s.back() == '/') s.pop_back();
    return s;
}

std::string& directoryInUse(int item) {
    switch (item) {
        case 17: return Mem.TempDir;
        case 18: return Mem.FileDir;
        case 44: return MasIdxPath;
        default: fatalInvalidItem();
    }
}

// True when `path` is `top` or lies below it; `rest` gets the part below.
bool below(const std::string& path, const std::string& top, std::string& rest) {
    if (top.empty() || path.compare(0, top.size(), top) != 0) return false;
    if (path.size() == top.size()) {
        rest.clear();
        return true;
    }
    if (top.back() != '/' && path[top.size()] != '/') return false;
    rest = path.substr(top.back() == '/' ? top.size() : top.size() + 1);
    return true;
}

}  // namespace

std::string storedDirectoryText(const std::string& path) {
    if (path.empty() || path.front() != '/') return path;
    std::string rest;
    if (!below(normalised(path), Mem.Net, rest)) return path;
    return rest.empty() ? "." : rest;
}

std::string directoryFromStored(const std::string& stored) {
    if (stored.empty() || stored.front() == '/' || Mem.Net.empty()) return stored;
    return normalised(Mem.Net + "/" + stored);
}

bool changeDirectory(int item, const std::string& pathIn) {
    std::string& inUse = directoryInUse(item);
    const std::string path = normalised(pathIn);
    if (path.empty()) return false;
    // Paths are compared exactly: on this platform two spellings that differ
    // in letter case are two directories.
    if (path != inUse) {
        std::error_code ec;
        std::filesystem::create_directories(path, ec);
        if (ec || !std::filesystem::is_directory(path, ec)) {
            message("Directory Error", "The directory " + path + " cannot be created!", Icon::Exclamation);
            return false;
        }
    }
    std::string text = path;
    const bool saved = item == 44 ? WSVars(2, 44, &text) && WSVars(4) : AutoPath(2, item, &text) && AutoPath(4);
    if (!saved) return false;
    inUse = path;
    if (item == 17) setScratchDirectory(path);
    return true;
}

bool storeNewPath(int kind, const std::string& path) {
    if (kind != 1 && kind != 2) return false;
    std::error_code ec;
    if (path.empty() || !std::filesystem::is_directory(path, ec)) return false;
    return changeDirectory(kind == 1 ? 18 : 44, path);
}

}  // namespace pm
