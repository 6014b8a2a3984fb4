#include "import/internet/quoted_printable.h"

namespace pm::inet {

int hexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

int quotedPrintableEscape(std::string_view text, std::size_t pos) {
    if (pos + 2 >= text.size() || text[pos] != '=') return -1;
    int hi = hexDigitValue(text[pos + 1]);
    int lo = hexDigitValue(text[pos + 2]);
    if (hi < 0 || lo < 0) return -1;
    return hi * 16 + lo;
}

std::string decodeQuotedPrintable(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0, n = text.size();
    while (i < n) {
        char c = text[i];
        if (c != '=') {
            out.push_back(c);
            ++i;
            continue;
        }
        int byte = quotedPrintableEscape(text, i);
        if (byte >= 0) {
            out.push_back(static_cast<char>(byte));
            i += 3;
            continue;
        }
        // Soft line break: "=", optional blanks, then a line end (or the end
        // of the text, where an encoder may have left a final "=").
        std::size_t j = i + 1;
        while (j < n && (text[j] == ' ' || text[j] == '\t')) ++j;
        if (j == n) {
            i = n;
            continue;
        }
        if (text[j] == '\r' || text[j] == '\n') {
            if (text[j] == '\r' && j + 1 < n && text[j + 1] == '\n') ++j;
            i = j + 1;
            continue;
        }
        out.push_back('=');
        ++i;
    }
    return out;
}

}  // namespace pm::inet
