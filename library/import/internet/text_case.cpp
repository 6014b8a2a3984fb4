#include "import/internet/text_case.h"

#include <unicode/locid.h>
#include <unicode/unistr.h>

#include "import/internet/charset.h"

namespace pm::inet {

std::string_view trimLeft(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isBlankOrTab(text[i])) ++i;
    return text.substr(i);
}

std::string_view trimRightBlanks(std::string_view text) {
    std::size_t n = text.size();
    while (n > 0 && isBlankOrTab(text[n - 1])) --n;
    return text.substr(0, n);
}

std::string_view trim(std::string_view text) { return trimRightBlanks(trimLeft(text)); }

bool startsWithNoCase(std::string_view text, std::string_view upperPrefix) {
    if (text.size() < upperPrefix.size()) return false;
    for (std::size_t i = 0; i < upperPrefix.size(); ++i)
        if (asciiUpper(text[i]) != upperPrefix[i]) return false;
    return true;
}

std::size_t findNoCase(std::string_view text, std::string_view upperNeedle, std::size_t from) {
    if (upperNeedle.empty()) return from <= text.size() ? from : std::string_view::npos;
    if (text.size() < upperNeedle.size()) return std::string_view::npos;
    for (std::size_t i = from; i + upperNeedle.size() <= text.size(); ++i)
        if (startsWithNoCase(text.substr(i), upperNeedle)) return i;
    return std::string_view::npos;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (asciiUpper(a[i]) != asciiUpper(b[i])) return false;
    return true;
}

std::string asciiUpper(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = asciiUpper(c);
    return out;
}

std::string asciiLower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = asciiLower(c);
    return out;
}

std::string lowerCase(std::string_view utf8) {
    bool ascii = true;
    for (char c : utf8)
        if (static_cast<unsigned char>(c) >= 0x80) { ascii = false; break; }
    if (ascii || !isValidUtf8(utf8)) return asciiLower(utf8);
    icu::UnicodeString u = icu::UnicodeString::fromUTF8(
        icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())));
    u.toLower(icu::Locale::getRoot());
    std::string out;
    u.toUTF8String(out);
    return out;
}

}  // namespace pm::inet
