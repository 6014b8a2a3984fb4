#include "import/store/header_words.h"

#include <unicode/ucnv.h>

#include <cctype>
#include <optional>
#include <string_view>

namespace pm {
namespace {

struct EncodedWord {
    std::string charset;  // without an RFC 2231 language suffix
    std::string bytes;    // decoded, still in the charset
    std::size_t end = 0;  // index just after "?="
};

int base64Value(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

std::optional<std::string> decodeBase64(std::string_view in) {
    std::string out;
    unsigned buffer = 0;
    int bits = 0;
    for (unsigned char c : in) {
        if (c == '=') break;
        const int v = base64Value(c);
        if (v < 0) return std::nullopt;
        buffer = (buffer << 6) | static_cast<unsigned>(v);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out += static_cast<char>((buffer >> bits) & 0xFF);
        }
    }
    return out;
}

int hexValue(unsigned char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = static_cast<unsigned char>(std::toupper(c));
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::optional<std::string> decodeQ(std::string_view in) {
    std::string out;
    for (std::size_t i = 0; i < in.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(in[i]);
        if (c == '_') {
            out += ' ';
        } else if (c == '=') {
            if (i + 2 >= in.size()) return std::nullopt;
            const int hi = hexValue(static_cast<unsigned char>(in[i + 1]));
            const int lo = hexValue(static_cast<unsigned char>(in[i + 2]));
            if (hi < 0 || lo < 0) return std::nullopt;
            out += static_cast<char>(hi * 16 + lo);
            i += 2;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

// Parses an encoded word starting at `start` (which holds "=?").
std::optional<EncodedWord> parseWord(const std::string& text, std::size_t start) {
    const std::size_t q1 = text.find('?', start + 2);
    if (q1 == std::string::npos || q1 == start + 2) return std::nullopt;
    if (q1 + 2 >= text.size() || text[q1 + 2] != '?') return std::nullopt;
    const char encoding = static_cast<char>(std::toupper(static_cast<unsigned char>(text[q1 + 1])));
    if (encoding != 'B' && encoding != 'Q') return std::nullopt;
    const std::size_t close = text.find("?=", q1 + 3);
    if (close == std::string::npos) return std::nullopt;
    const std::string_view content(text.data() + q1 + 3, close - (q1 + 3));
    // An encoded word holds no blanks; a blank means this was not one.
    for (char c : content)
        if (c == ' ' || c == '\t') return std::nullopt;
    std::optional<std::string> bytes = encoding == 'B' ? decodeBase64(content) : decodeQ(content);
    if (!bytes) return std::nullopt;
    EncodedWord word;
    word.charset = text.substr(start + 2, q1 - (start + 2));
    if (const std::size_t star = word.charset.find('*'); star != std::string::npos) word.charset.resize(star);
    word.bytes = std::move(*bytes);
    word.end = close + 2;
    return word;
}

std::optional<std::string> toUtf8(const std::string& charset, const std::string& bytes) {
    if (bytes.empty()) return std::string();
    UErrorCode status = U_ZERO_ERROR;
    UConverter* from = ucnv_open(charset.c_str(), &status);
    if (U_FAILURE(status)) return std::nullopt;
    ucnv_close(from);
    status = U_ZERO_ERROR;
    const int32_t needed = ucnv_convert("UTF-8", charset.c_str(), nullptr, 0, bytes.data(),
                                        static_cast<int32_t>(bytes.size()), &status);
    if (status != U_BUFFER_OVERFLOW_ERROR && U_FAILURE(status)) return std::nullopt;
    std::string out(static_cast<std::size_t>(needed), '\0');
    status = U_ZERO_ERROR;
    ucnv_convert("UTF-8", charset.c_str(), out.data(), needed, bytes.data(), static_cast<int32_t>(bytes.size()),
                 &status);
    if (U_FAILURE(status) && status != U_STRING_NOT_TERMINATED_WARNING) return std::nullopt;
    return out;
}

bool onlyBlanks(std::string_view text) {
    for (char c : text)
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n') return false;
    return true;
}

}  // namespace

void decodeHeaderWords(std::string& text) {
    if (text.find("=?") == std::string::npos) return;
    std::string out;
    std::size_t pos = 0;
    // A run of adjacent encoded words in one charset, not yet converted.
    std::string runCharset, runBytes, runSource;
    bool inRun = false;
    auto flush = [&]() {
        if (!inRun) return;
        if (std::optional<std::string> utf8 = toUtf8(runCharset, runBytes)) out += *utf8;
        else out += runSource;
        inRun = false;
        runBytes.clear();
        runSource.clear();
    };
    while (pos < text.size()) {
        const std::size_t start = text.find("=?", pos);
        if (start == std::string::npos) break;
        std::optional<EncodedWord> word = parseWord(text, start);
        if (!word) {
            flush();
            out.append(text, pos, start + 2 - pos);
            pos = start + 2;
            continue;
        }
        const std::string_view gap(text.data() + pos, start - pos);
        const bool adjacent = inRun && onlyBlanks(gap);
        if (!adjacent) {
            flush();
            out += gap;
        } else if (runCharset != word->charset) {
            flush();  // the blanks between two encoded words go
        }
        if (!inRun) {
            inRun = true;
            runCharset = word->charset;
        } else {
            runSource += gap;  // kept should the run stay undecoded
        }
        runBytes += word->bytes;
        runSource.append(text, start, word->end - start);
        pos = word->end;
    }
    flush();
    if (pos < text.size()) out.append(text, pos, std::string::npos);
    text = std::move(out);
}

}  // namespace pm
