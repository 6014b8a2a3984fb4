#pragma once
// Small helpers of the fuzz harnesses: the input as text, and as a file for
// the readers that take a path (one file per process, rewritten each run).
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace pm::fuzz {

inline std::string_view textOf(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// Where the input files go: a memory file system when the machine has one
// (a file rewritten for every input costs disk work elsewhere), else /tmp.
inline const char* inputDirectory() {
    static const char* const directory = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    return directory;
}

// Writes the input to a file of this process (pm-fuzz-PID + `extension`
// in inputDirectory()) and gives its path.
inline std::string inputFile(const std::uint8_t* data, std::size_t size, const char* extension = "") {
    static const std::string path = std::string(inputDirectory()) + "/pm-fuzz-" + std::to_string(getpid());
    const std::string file = path + extension;
    if (std::FILE* f = std::fopen(file.c_str(), "wb")) {
        if (size) std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    return file;
}

}  // namespace pm::fuzz
