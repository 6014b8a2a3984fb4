#pragma once
// Running test code as a user without the superuser's rights: the superuser
// reads every file and directory, so what an unreadable one does can only be
// seen by another user. Tests run as root (CI does) give up the rights for
// the part that needs it: user and group nobody.
#include <functional>
#include <optional>
#include <string>

namespace pm::test {

// The shell prefix that runs a program as such a user: "" when this process
// is no superuser; nullopt when it is and has no means to run `program`
// (an absolute path) as another user here - `why` then says why.
std::optional<std::string> unprivilegedPrefix(const std::string& program, std::string& why);

// What `work` returns, run as such a user: in this process when it is no
// superuser, else in a child process that gave up the rights. nullopt when
// the rights cannot be given up (`why` says why).
std::optional<std::string> runUnprivileged(const std::function<std::string()>& work, std::string& why);

// Makes `path`, and everything below it, belong to that user, and the
// folders above it passable, so it can work there. No-op when this process
// is no superuser.
void handToUnprivileged(const std::string& path);

}  // namespace pm::test
