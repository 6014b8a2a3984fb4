#include "import/internet/enriched_text.h"

#include "import/internet/text_case.h"

namespace pm::inet {

std::string enrichedToText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        char c = text[i];
        if (c != '<') {
            out.push_back(c);
            ++i;
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == '<') {
            out.push_back('<');
            i += 2;
            continue;
        }
        std::size_t end = text.find('>', i + 1);
        if (end == std::string_view::npos) {
            // An unclosed "<" is no command.
            out.append(text.substr(i));
            break;
        }
        std::string_view command = trim(text.substr(i + 1, end - i - 1));
        i = end + 1;
        if (equalsNoCase(command, "param")) {
            std::size_t close = findNoCase(text, "</PARAM>", i);
            i = close == std::string_view::npos ? text.size() : close + 8;
        }
    }
    return out;
}

}  // namespace pm::inet
