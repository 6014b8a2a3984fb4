#pragma once
// TestDB.Txt: the plain-text log of a rebuild in the configuration
// directory, re-created empty at every run. Lines end in CR LF.
#include <cstdio>
#include <string>

namespace pm {

class RebuildLog {
public:
    RebuildLog() = default;
    ~RebuildLog();
    RebuildLog(const RebuildLog&) = delete;
    RebuildLog& operator=(const RebuildLog&) = delete;

    // Where the log of the installation lives: Mem.Net + "/CFG/TestDB.Txt".
    static std::string path();

    // Creates the log empty and keeps it open; other processes may read it
    // but not write it while it is open. A log that cannot be created ends
    // the program (FatalError), as a failed write does.
    void create();
    // One line; a failed write ends the program with the system's error text.
    void line(const std::string& text);
    // A heading between two separator lines of 53 hyphens.
    void heading(const std::string& text);
    void close();
    bool isOpen() const { return file_ != nullptr; }

private:
    std::FILE* file_ = nullptr;
    std::string path_;
};

}  // namespace pm
