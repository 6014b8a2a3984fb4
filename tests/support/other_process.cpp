#include "support/other_process.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/wait.h>

#include "storage/sql_collation.h"

namespace pm::test {

bool otherProcessCanLockAlone(const std::string& store) {
    const pid_t pid = fork();
    if (pid == 0) {
        alarm(30);
        sqlite3* db = nullptr;
        if (sqlite3_open_v2(store.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) _exit(2);
        sqlite3_busy_timeout(db, 0);
        _exit(sqlite3_exec(db, "BEGIN EXCLUSIVE; COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

int childExitCode(pid_t pid) {
    int status = 0;
    if (pid <= 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

bool writerCommitting(const std::string& file) {
    return childExitCode(startChild([&] {
               const int fd = ::open(file.c_str(), O_RDONLY);
               for (int i = 0; fd >= 0 && i < 500; ++i) {
                   struct flock probe {};
                   probe.l_type = F_WRLCK;
                   probe.l_whence = SEEK_SET;
                   probe.l_start = kPendingByte;
                   probe.l_len = 1;
                   if (fcntl(fd, F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK) return 0;
                   usleep(10000);
               }
               return 1;
           })) == 0;
}

WriterInWaiting::WriterInWaiting(const std::string& store, const std::string& sql) {
    if (pipe(ready_) != 0 || pipe(go_) != 0) return;
    pid_ = startChild([&] {
        sqlite3* db = nullptr;
        if (sqlite3_open(store.c_str(), &db) != SQLITE_OK) return 2;
        sql::registerCollations(db);
        sqlite3_busy_timeout(db, 20000);
        const char written = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK ? 1 : 0;
        char c = 0;
        if (write(ready_[1], &written, 1) != 1 || !written || read(go_[0], &c, 1) != 1) return 3;
        return sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK ? 0 : 4;
    });
    char written = 0;
    wrote_ = read(ready_[0], &written, 1) == 1 && written == 1;
}

WriterInWaiting::~WriterInWaiting() {
    for (int fd : {ready_[0], ready_[1], go_[0], go_[1]})
        if (fd >= 0) ::close(fd);
    exitCode();
}

void WriterInWaiting::commit() { (void)!write(go_[1], "g", 1); }

int WriterInWaiting::exitCode() {
    if (pid_ > 0) exitCode_ = childExitCode(pid_);
    pid_ = -1;
    return exitCode_;
}

}  // namespace pm::test
