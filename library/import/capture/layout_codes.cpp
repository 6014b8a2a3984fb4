#include "import/capture/layout_codes.h"

namespace pm::capture {

std::vector<std::string> splitStoredLine(std::string_view s) {
    std::vector<std::string> lines;
    if (s.empty()) {
        lines.emplace_back();
        return lines;
    }
    if (s.starts_with("@l")) s.remove_prefix(2);
    if (s.size() >= 3) {
        if (s.ends_with("@b\n")) s.remove_suffix(3);
        else if (s.ends_with("@b") || s.ends_with("@l")) s.remove_suffix(2);
    }
    std::string current;
    std::size_t i = 0;
    auto breakLine = [&](std::size_t length, std::size_t emptyLinesAtStart) {
        if (i == 0) {
            for (std::size_t n = 0; n < emptyLinesAtStart; ++n) lines.emplace_back();
        } else {
            lines.push_back(std::move(current));
            current.clear();
        }
        i += length;
    };
    while (i < s.size()) {
        const std::string_view rest = s.substr(i);
        if (rest.starts_with("@b\n@l")) breakLine(5, 2);
        else if (rest.starts_with("@b\r\n") || rest.starts_with("@l\r\n")) breakLine(4, 1);
        else if (rest.starts_with("@b\n") || rest.starts_with("\n@l")) breakLine(3, 1);
        else if (rest.front() == '\n') breakLine(1, 1);
        else current.push_back(s[i++]);
    }
    lines.push_back(std::move(current));
    return lines;
}

}  // namespace pm::capture
