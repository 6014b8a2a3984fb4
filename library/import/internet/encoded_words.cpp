#include "import/internet/encoded_words.h"

#include <vector>

#include "import/internet/base64.h"
#include "import/internet/charset.h"
#include "import/internet/quoted_printable.h"
#include "import/internet/text_case.h"

namespace pm::inet {

namespace {

// Longest encoded word considered; a "=?" without an end within this many
// bytes is plain text.
constexpr std::size_t kMaxWordLength = 1000;

struct Segment {
    bool word = false;        // a decodable encoded word
    std::string text;         // plain text, or the raw word when not decodable
    std::string charset;      // lower-case, of a word
    std::string bytes;        // decoded bytes of a word
};

std::string decodeQ(std::string_view encoded) {
    std::string out;
    out.reserve(encoded.size());
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        char c = encoded[i];
        if (c == '_') {
            out.push_back(' ');
        } else if (c == '=') {
            int byte = quotedPrintableEscape(encoded, i);
            if (byte >= 0) {
                out.push_back(static_cast<char>(byte));
                i += 2;
            } else {
                out.push_back('=');
            }
        } else {
            out.push_back(c);
        }
    }
    return out;
}

// Parses an encoded word starting at text[pos] ("=?"). On success returns
// true with the word's length, charset and decoded bytes.
bool parseWord(std::string_view text, std::size_t pos, std::size_t& length, std::string& charset,
               std::string& bytes) {
    // Search within the longest word only, so that a text full of "=?"
    // stays linear.
    std::string_view window = text.substr(0, pos + kMaxWordLength);
    std::size_t q1 = window.find('?', pos + 2);
    if (q1 == std::string_view::npos || q1 == pos + 2 || q1 + 3 > window.size()) return false;
    if (window[q1 + 2] != '?') return false;
    char encoding = asciiUpper(window[q1 + 1]);
    if (encoding != 'B' && encoding != 'Q') return false;
    std::size_t end = window.find("?=", q1 + 3);
    if (end == std::string_view::npos) return false;
    std::string_view name = text.substr(pos + 2, q1 - pos - 2);
    std::string_view payload = text.substr(q1 + 3, end - q1 - 3);
    for (char c : name)
        if (isBlankOrTab(c) || c == '\r' || c == '\n') return false;
    for (char c : payload)
        if (c == '\r' || c == '\n') return false;
    std::size_t star = name.find('*');
    if (star != std::string_view::npos) name = name.substr(0, star);
    if (!isKnownCharset(name)) return false;
    charset = asciiLower(name);
    bytes = encoding == 'B' ? decodeBase64(payload) : decodeQ(payload);
    length = end + 2 - pos;
    return true;
}

bool isWhiteSpace(std::string_view text) {
    for (char c : text)
        if (!isBlankOrTab(c) && c != '\r' && c != '\n') return false;
    return true;
}

}  // namespace

std::string decodeEncodedWords(std::string_view text) {
    if (text.find("=?") == std::string_view::npos) return std::string(text);

    std::vector<Segment> segments;
    std::size_t plainStart = 0, i = 0;
    while ((i = text.find("=?", i)) != std::string_view::npos) {
        std::size_t length;
        Segment word;
        word.word = true;
        if (!parseWord(text, i, length, word.charset, word.bytes)) {
            i += 2;
            continue;
        }
        if (i > plainStart) segments.push_back(Segment{false, std::string(text.substr(plainStart, i - plainStart)), {}, {}});
        segments.push_back(std::move(word));
        i += length;
        plainStart = i;
    }
    if (plainStart < text.size()) segments.push_back(Segment{false, std::string(text.substr(plainStart)), {}, {}});

    std::string out;
    out.reserve(text.size());
    std::size_t k = 0;
    while (k < segments.size()) {
        if (!segments[k].word) {
            out += segments[k].text;
            ++k;
            continue;
        }
        // Collect a run of words of one charset separated only by white space.
        std::string bytes = segments[k].bytes;
        const std::string& charset = segments[k].charset;
        std::size_t next = k + 1;
        while (true) {
            std::size_t candidate = next;
            if (candidate < segments.size() && !segments[candidate].word && isWhiteSpace(segments[candidate].text))
                ++candidate;
            if (candidate < segments.size() && segments[candidate].word && segments[candidate].charset == charset) {
                bytes += segments[candidate].bytes;
                next = candidate + 1;
            } else {
                break;
            }
        }
        out += toUtf8(bytes, charset);
        k = next;
        // White space before a following word of another charset is dropped too.
        if (k + 1 < segments.size() && !segments[k].word && isWhiteSpace(segments[k].text) && segments[k + 1].word)
            ++k;
    }
    return out;
}

std::string decodeHeaderText(std::string_view raw) {
    std::string out = decodeEncodedWords(toUtf8Fallback(raw));
    // Control characters (tabs of folded lines, a decoded line end) would
    // break a one-line field.
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20 || c == '\x7F') c = ' ';
    return out;
}

}  // namespace pm::inet
