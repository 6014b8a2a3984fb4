#include "maintenance/address_normaliser.h"

#include "common/text.h"

namespace pm {

namespace {

// `text` with the character at `at` made "," and a blank right after it removed.
std::string commaAt(std::string text, std::size_t at) {
    text[at] = ',';
    if (at + 1 < text.size() && text[at + 1] == ' ') text.erase(at + 1, 1);
    return text;
}

std::string withoutBrackets(std::string text) {
    if (text.size() >= 2 && text.front() == '[' && text.back() == ']') return text.substr(1, text.size() - 2);
    return text;
}

}  // namespace

std::string normaliseAddress(std::string_view address) {
    // Leading blanks stay where they were: only the trailing ones are ignored.
    std::string text(address.substr(0, address.find_last_not_of(' ') + 1));
    const std::size_t length = text.size();
    if (trim(text).empty() || length < 4) return text;
    std::size_t dot = std::string::npos;
    for (std::size_t i = 0; i + 2 < length; ++i) {
        const char c = text[i];
        if (c == '@') {
            if (toUpper(text.substr(i + 1)) != ServiceMailDomain) return text;
            std::string local = text.substr(0, i);
            if (local.size() > 3) {
                const std::size_t first = local.find('.');
                if (first != std::string::npos && first + 2 < local.size()) local = commaAt(local, first);
            }
            return local;
        }
        if (c == ',') return withoutBrackets(commaAt(text, i));
        if (c == '.') dot = i;
    }
    if (dot == std::string::npos) return text;
    return withoutBrackets(commaAt(text, dot));
}

}  // namespace pm
