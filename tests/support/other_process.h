#pragma once
// What another process could do with a store file at this moment, and
// child processes that act on stores beside the test's own connection.
#include <sys/types.h>
#include <unistd.h>

#include <string>

namespace pm::test {

// Whether another process could take `store` for itself at once: false
// while any connection holds a read or write lock on it.
bool otherProcessCanLockAlone(const std::string& store);

// SQLite's pending lock byte: held by a writer from the start of its commit.
inline constexpr off_t kPendingByte = 0x40000000;

// Runs `work` in a child process (its exit code its result). The child
// inherits no open store: SQLite must not be used on both sides of a fork.
template <class Work>
pid_t startChild(Work work) {
    const pid_t pid = fork();
    if (pid == 0) {
        alarm(30);  // never outlive a test that went wrong
        _exit(work());
    }
    return pid;
}

// The exit code of child `pid` once it ended; -1 when it did not exit.
int childExitCode(pid_t pid);

// Whether another process has begun to commit to `file` (holds its
// pending byte), looked for up to five seconds. Looked at from a child:
// closing a descriptor of the file here would drop this process's locks.
bool writerCommitting(const std::string& file);

// A writer in another process that has written and not yet committed:
// the child opens `store`, runs `sql` (which begins the transaction:
// "BEGIN IMMEDIATE; UPDATE ...") and waits; commit() has it commit,
// waiting up to 20 seconds for readers. Start it before this process opens
// the store (see startChild).
class WriterInWaiting {
public:
    WriterInWaiting(const std::string& store, const std::string& sql);
    ~WriterInWaiting();
    WriterInWaiting(const WriterInWaiting&) = delete;
    WriterInWaiting& operator=(const WriterInWaiting&) = delete;

    // Whether the child made its writes.
    bool wrote() const { return wrote_; }
    // Tells it to commit; returns at once.
    void commit();
    // Waits for its end: 0 when it committed (asked again, the same).
    int exitCode();

private:
    int ready_[2] = {-1, -1};
    int go_[2] = {-1, -1};
    pid_t pid_ = -1;
    int exitCode_ = -1;
    bool wrote_ = false;
};

}  // namespace pm::test
