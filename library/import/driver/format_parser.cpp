#include "import/driver/format_parser.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace pm {

std::string cannotOpenWarning(const std::string& fileName, int error) {
    return fileName + " cannot be opened\r\n" + std::strerror(error) + "\r\n" + "This file will be skipped!";
}

bool opensForReading(const std::string& fileName, std::string& warning) {
    std::FILE* f = std::fopen(fileName.c_str(), "rb");
    if (!f) {
        warning = cannotOpenWarning(fileName, errno);
        return false;
    }
    std::fclose(f);
    return true;
}

}  // namespace pm
