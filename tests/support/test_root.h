#pragma once
// A temporary installation root for one test, removed afterwards.
#include <string>

namespace pm::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// The whole content of the file at `path` ("" when it cannot be read).
std::string readFile(const std::string& path);

}  // namespace pm::test
