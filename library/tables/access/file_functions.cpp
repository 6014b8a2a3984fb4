#include "tables/access/file_functions.h"

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "common/counts.h"
#include "common/fatal_error.h"
#include "common/globals.h"
#include "common/user_interface.h"
#include "storage/table.h"
#include "tables/records/registry.h"
#include "tables/records/table_path.h"

namespace pm {

namespace fs = std::filesystem;

namespace {

const char* const kCrLf = "\r\n";

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

bool isDirectory(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string directoryOf(const std::string& path) {
    auto slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string(".") : (slash == 0 ? "/" : path.substr(0, slash));
}

std::string baseName(const std::string& path) {
    auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A stand-in table for `number` over `path`, with its own buffer, so that a
// question about one file never disturbs the table the program has open.
struct Probe {
    explicit Probe(int number, const std::string& path)
        : def(tableByNumber(number)->def()), buffer(def.recordSize), memos(def.memos.size()) {
        std::vector<std::string*> pointers;
        for (auto& m : memos) pointers.push_back(&m);
        table = std::make_unique<Table>(def, buffer.data(), pointers);
        table->setFileName(path);
    }
    const TableDef& def;
    std::vector<unsigned char> buffer;
    std::vector<std::string> memos;
    std::unique_ptr<Table> table;
};

// The stores themselves: postmoor.db, and the run stores of processes in
// the temporary directory (run-HOST-PID.db), each with its journal.
bool isStoreFile(const std::string& name) {
    auto endsWith = [&](const std::string& tail) {
        return name.size() >= tail.size() && name.compare(name.size() - tail.size(), tail.size(), tail) == 0;
    };
    if (name == kStoreFileName || name == std::string(kStoreFileName) + "-journal") return true;
    return name.rfind("run-", 0) == 0 && (endsWith(".db") || endsWith(".db-journal"));
}

// Whether a table of this process is open on `path`.
bool tableOpenOn(int number, const std::string& path) {
    Table* t = tableByNumber(number);
    return t && t->isOpen() && fs::path(t->fileName()).lexically_normal() == fs::path(path).lexically_normal();
}

bool deleteOne(const std::string& name, bool report) {
    const int number = tableNumberOfFileName(name);
    struct stat st {};
    const bool realFile = stat(name.c_str(), &st) == 0;
    if (!realFile && number > 0) {
        if (tableOpenOn(number, name)) {
            if (report) message("File Deletion Error!", "The file " + name + " is open and cannot be removed");
            return false;
        }
        Probe probe(number, name);
        StorageStatus s = probe.table->remove();
        if (s == StorageStatus::Ok) return true;
        if (report) {
            if (s == StorageStatus::AccessDenied)
                message("File Deletion Error!", "No access rights - the file " + name + " cannot be removed");
            else if (s == StorageStatus::IsLocked)
                message("File Deletion Error!", "The file " + name + " is open and cannot be removed");
            else  // a full disk, a damaged store: say what it is
                message("File Deletion Error!",
                        "The file " + name + " cannot be removed\r\n" + probe.table->lastError().text);
        }
        return false;
    }
    if (!realFile) return true;  // a missing file counts as deleted
    if (std::remove(name.c_str()) == 0) return true;
    if (report) {
        if (errno == EACCES || errno == EPERM || errno == EROFS)
            message("File Deletion Error!", "No access rights - the file " + name + " cannot be removed");
        else
            message("File Deletion Error!", "The file " + name + " is open and cannot be removed");
    }
    return false;
}

}  // namespace

namespace {

bool matchCore(const std::string& pattern, const std::string& name) {
    // Iterative matcher with backtracking on the last '*'.
    std::size_t p = 0, n = 0, star = std::string::npos, mark = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || lowerAscii(pattern[p]) == lowerAscii(name[n]))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            mark = n;
        } else if (star != std::string::npos) {
            p = star + 1;
            n = ++mark;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

}  // namespace

bool wildcardMatch(const std::string& pattern, const std::string& name) {
    if (matchCore(pattern, name)) return true;
    // "NAME.*" also matches a name without any extension, as "*.*" matches every file.
    if (pattern.size() >= 2 && pattern.compare(pattern.size() - 2, 2, ".*") == 0 &&
        name.find('.') == std::string::npos)
        return matchCore(pattern.substr(0, pattern.size() - 2), name);
    return false;
}

int tableNumberOfFileName(const std::string& path) {
    std::string name = baseName(path);
    if (name.size() != 10 || lowerAscii(name[0]) != 'i' || lowerAscii(name[1]) != 'd' ||
        lowerAscii(name[2]) != 'x' || name[6] != '.')
        return 0;
    for (int i = 3; i < 6; ++i)
        if (name[static_cast<std::size_t>(i)] < '0' || name[static_cast<std::size_t>(i)] > '9') return 0;
    int number = std::stoi(name.substr(3, 3));
    std::string ext;
    for (char c : name.substr(7)) ext += lowerAscii(c);
    const bool dat = number == 22 || number == 28 || number == 33;
    if (ext != (dat ? "dat" : "tps")) return 0;
    Table* t = tableByNumber(number);
    if (!t) return 0;
    StorageClass cls = t->def().storage;
    if (cls != StorageClass::Keyed && cls != StorageClass::Simple) return 0;
    return number;
}

std::vector<std::string> matchingFiles(const std::string& patternPath) {
    std::vector<std::string> out;
    const std::string dir = directoryOf(patternPath);
    const std::string pattern = baseName(patternPath);
    std::error_code ec;
    if (!isDirectory(dir)) return out;
    for (const auto& entry : fs::directory_iterator(dir, ec)) {
        std::string name = entry.path().filename().string();
        if (isStoreFile(name) || !entry.is_regular_file(ec)) continue;
        if (wildcardMatch(pattern, name)) out.push_back(dir + "/" + name);
    }
    // Tables inside the store, under their own file names.
    if (fs::exists(storeFilePath(dir), ec)) {
        for (int number : registryNumbers()) {
            Table* t = tableByNumber(number);
            if (!t || (t->def().storage != StorageClass::Keyed && t->def().storage != StorageClass::Simple)) continue;
            char name[16];
            std::snprintf(name, sizeof name, "IDX%03d.%s", number,
                          (number == 22 || number == 28 || number == 33) ? "DAT" : "TPS");
            if (!wildcardMatch(pattern, name)) continue;
            const std::string full = dir + "/" + name;
            if (std::find(out.begin(), out.end(), full) != out.end()) continue;
            Probe probe(number, full);
            if (probe.table->exists()) out.push_back(full);
        }
    }
    std::sort(out.begin(), out.end());
    return out;
}

bool ExistPath(int kind, int tableNumber, const std::string& extraText, const std::string& pathIn,
               bool silent) {
    std::string path;
    if (kind == CheckPathArgument || kind == CreatePathArgument) {
        if (pathIn.empty() || pathIn[0] != '/') return false;
        path = pathIn;
    } else {
        path = directoryOf(tableFileName(tableNumber));
    }
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    if (isDirectory(path)) return true;
    if (!silent && !quiet()) {
        beep();
        message(" Path Not Found", "The specified path " + path + " does not exist." + kCrLf + extraText);
    }
    if (kind == CreatePathArgument || kind == CreateTableDirectory) {
        if (::mkdir(path.c_str(), 0777) != 0 && !isDirectory(path)) {
            beep();
            fatal(" Directory Creation Error",
                  "The specified directory " + path + " could not be created." + kCrLf + "Postmoor will be halted.",
                  "Probable access rights violation");
        }
    }
    return false;
}

bool DOSFunc(int operation, const std::string& name) {
    switch (operation) {
        case DeleteOneFile:
            return deleteOne(name, true);
        case DeleteMatchingFiles: {
            bool allGone = true;
            for (const std::string& file : matchingFiles(name))
                if (!deleteOne(file, true)) allGone = false;
            const std::string dir = directoryOf(name);
            // A store whose last table went is removed with it.
            removeStoreIfEmpty(dir);
            if (!allGone)
                message("File Deletion Error!",
                        std::string("One or more files have not been ") + kCrLf + "removed in subdirectory " + dir);
            return allGone;
        }
        case FileExists: {
            if (name.find_first_of("*?") != std::string::npos) return !matchingFiles(name).empty();
            struct stat st {};
            if (stat(name.c_str(), &st) == 0) return true;
            int number = tableNumberOfFileName(name);
            if (number == 0) return false;
            Probe probe(number, name);
            return probe.table->exists();
        }
        default:
            return false;
    }
}

std::uint64_t GetFSize(const std::string& pattern) {
    std::uint64_t total = 0;
    const std::string dir = directoryOf(pattern);
    const std::string base = baseName(pattern);
    std::error_code ec;
    if (!isDirectory(dir)) return 0;
    for (const auto& entry : fs::directory_iterator(dir, ec)) {
        if (!entry.is_regular_file(ec)) continue;
        if (wildcardMatch(base, entry.path().filename().string())) total += entry.file_size(ec);
    }
    return total;
}

std::int64_t freeDiskSpace(const std::string& path) {
    struct statvfs vfs {};
    if (statvfs(path.c_str(), &vfs) != 0) return -1;
    return static_cast<std::int64_t>(vfs.f_bavail) * static_cast<std::int64_t>(vfs.f_frsize);
}

std::uint64_t CheckSpace(std::uint64_t required) {
    const std::string dir = Mem.FileDir.empty() ? Mem.Net : Mem.FileDir;
    std::int64_t available = freeDiskSpace(dir.empty() ? "." : dir);
    if (available < 0 || static_cast<std::uint64_t>(available) >= required) return 0;
    const auto free = static_cast<std::uint64_t>(available);
    if (Mem.DoTask == TaskRunning) return free;
    beep();
    Button answer = message("Warning",
                            "You have only " + groupedNumber(available) + " bytes free on disk  " + dir + " " +
                                "This may be too little for this process. Running out of diskspace may corrupt "
                                "the currently accessed data file(s).Press OK if you want to continue and Cancel "
                                "if you want to abort this process!",
                            Icon::Exclamation, ButtonOk | ButtonCancel, ButtonCancel);
    return answer == ButtonOk ? 0 : free;
}

}  // namespace pm
