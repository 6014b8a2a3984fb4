#include "import/navigator/run_log.h"

#include <cstdio>

namespace pm::navigator {

void logLine(const ParserCall& call, const std::string& line) {
    if (call.logFile.empty()) return;
    std::FILE* f = std::fopen(call.logFile.c_str(), "ab");
    if (!f) return;
    const std::string text = line + "\r\n";
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
}

}  // namespace pm::navigator
