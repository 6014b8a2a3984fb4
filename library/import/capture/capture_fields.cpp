#include "import/capture/capture_fields.h"

#include "import/capture/capture_format.h"
#include "import/internet/charset.h"

namespace pm::capture {

char charAt(std::string_view line, std::size_t pos) {
    return pos >= 1 && pos <= line.size() ? line[pos - 1] : ' ';
}

std::string_view textFrom(std::string_view line, std::size_t pos, std::size_t count) {
    if (pos < 1 || pos > line.size()) return {};
    return line.substr(pos - 1, count);
}

std::string_view trimmed(std::string_view text) {
    // Control characters count as blanks: a stored line may end in a line
    // feed or carry tabs.
    auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

std::string_view withoutTrailing(std::string_view text, std::string_view mark) {
    text = trimmed(text);
    if (text.ends_with(mark)) text = trimmed(text.substr(0, text.size() - mark.size()));
    return text;
}

bool isNumeric(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

unsigned long numberOf(std::string_view text) {
    if (!isNumeric(text) || text.size() > 9) return 0;
    unsigned long value = 0;
    for (char c : text) value = value * 10 + static_cast<unsigned long>(c - '0');
    return value;
}

unsigned long leadingNumber(std::string_view text) {
    text = trimmed(text);
    std::size_t n = 0;
    while (n < text.size() && n < 9 && text[n] >= '0' && text[n] <= '9') ++n;
    return numberOf(text.substr(0, n));
}

std::string fieldText(std::string_view raw, const char* codePage) {
    std::string text(raw);
    applyCaptureMapping(text, codePage);
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == '\x7F') c = ' ';
    std::string_view t = trimmed(text);
    bool ascii = true;
    for (char c : t)
        if (static_cast<unsigned char>(c) >= 0x80) ascii = false;
    if (ascii) return std::string(t);
    return inet::toUtf8(t, codePage);
}

}  // namespace pm::capture
