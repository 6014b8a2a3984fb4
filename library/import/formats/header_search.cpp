#include "import/formats/header_search.h"

#include <algorithm>

#include "import/internet/header_fields.h"
#include "import/internet/text_case.h"

namespace pm::formats {

bool recognisedHeaderLine(std::string_view line) { return inet::classifyHeaderLine(line) != inet::NotHeaderLine; }

std::int64_t findHeaderStart(ByteWindow& window, std::int64_t from, std::int64_t span, HeaderStartTest test) {
    std::string candidate;
    for (std::int64_t pos = from; pos < from + span; ++pos) {
        const int byte = window.at(pos);
        if (byte < 0) return 0;
        if (!inet::isAsciiLetter(static_cast<char>(byte))) continue;
        if (pos > from && inet::isAsciiLetter(static_cast<char>(window.at(pos - 1)))) continue;
        window.copy(pos, 100, candidate);
        const std::size_t end = candidate.find_first_of("\r\n");
        if (end != std::string::npos) candidate.resize(end);
        if (test(candidate)) return pos;
    }
    return 0;
}

void dropNulBytes(std::string& text) {
    if (text.find('\0') == std::string::npos) return;
    text.erase(std::remove(text.begin(), text.end(), '\0'), text.end());
}

}  // namespace pm::formats
