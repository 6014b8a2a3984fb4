#include "tables/rebuild/rebuild_log.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/fatal_error.h"
#include "common/globals.h"

namespace pm {

namespace {

[[noreturn]] void writeFailed(const std::string& path, int error) {
    fatal("Rebuild", path + "\r\n" + std::strerror(error) + "\r\nPostmoor will terminate.");
}

}  // namespace

RebuildLog::~RebuildLog() { close(); }

std::string RebuildLog::path() { return Mem.Net + "/CFG/TestDB.Txt"; }

void RebuildLog::create() {
    close();
    path_ = path();
    // Locked before it is emptied: a second rebuild must not touch the log
    // of one that runs.
    const int fd = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) writeFailed(path_, errno);
    if (flock(fd, LOCK_EX | LOCK_NB) != 0 || ftruncate(fd, 0) != 0) {
        const int error = errno;
        ::close(fd);
        writeFailed(path_, error);
    }
    file_ = fdopen(fd, "wb");
    if (!file_) {
        const int error = errno;
        ::close(fd);
        writeFailed(path_, error);
    }
}

void RebuildLog::line(const std::string& text) {
    if (!file_) return;
    const std::string bytes = text + "\r\n";
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size() || std::fflush(file_) != 0)
        writeFailed(path_, errno);
}

void RebuildLog::heading(const std::string& text) {
    const std::string separator(53, '-');
    line(separator);
    line(text);
    line(separator);
}

void RebuildLog::close() {
    if (!file_) return;
    flock(fileno(file_), LOCK_UN);
    std::fclose(file_);
    file_ = nullptr;
}

}  // namespace pm
