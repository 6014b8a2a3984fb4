#include "sets/output_encoding.h"

#include <unordered_map>

#include "common/text.h"
#include "common/utf8.h"

namespace pm {

namespace {

using ByteMap = std::unordered_map<char32_t, char>;

// Unicode character -> byte of the upper half of a single-byte code page.
ByteMap upperHalf(const char* charset) {
    ByteMap map;
    for (int b = 0x80; b <= 0xFF; ++b) {
        const std::string one(1, static_cast<char>(b));
        const std::string utf8 = toUtf8From(one, charset);
        if (utf8.empty()) continue;
        const Utf8Char c = decodeUtf8At(utf8, 0);
        if (c.wellFormed && c.length == utf8.size() && c.codePoint != kReplacementCharacter)
            map.emplace(c.codePoint, static_cast<char>(b));
    }
    return map;
}

const ByteMap& mapOf(OutputCodePage codePage) {
    static const ByteMap windows = upperHalf("windows-1252");
    static const ByteMap dos = upperHalf("ibm-850");
    return codePage == OutputCodePage::Cp850 ? dos : windows;
}

// Near substitutes for characters a code page lacks; "" when none.
std::string_view substituteOf(char32_t c) {
    switch (c) {
        case 0x00A0: return " ";
        case 0x2018: case 0x2019: case 0x201A: case 0x2032: return "'";
        case 0x201C: case 0x201D: case 0x201E: case 0x00AB: case 0x00BB: case 0x2033: return "\"";
        case 0x2013: case 0x2014: case 0x2212: return "-";
        case 0x2026: return "...";
        case 0x2022: return "*";
        case 0x2122: return "TM";
        case 0x20AC: return "EUR";
        case 0x0160: return "S";
        case 0x0161: return "s";
        case 0x017D: return "Z";
        case 0x017E: return "z";
        case 0x0152: return "OE";
        case 0x0153: return "oe";
        case 0x0178: return "Y";
        case 0x02C6: return "^";
        case 0x02DC: return "~";
        case 0x2039: return "<";
        case 0x203A: return ">";
        default: return {};
    }
}

}  // namespace

std::string encodeOutput(std::string_view text, OutputCodePage codePage) {
    if (codePage == OutputCodePage::Utf8) return std::string(text);
    const ByteMap& map = mapOf(codePage);
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const Utf8Char c = decodeUtf8At(text, at);
        at += c.length;
        if (c.codePoint < 0x80) {
            out += static_cast<char>(c.codePoint);
            continue;
        }
        if (codePage == OutputCodePage::Cp850 && c.codePoint == 0x00A0) {
            out += ' ';
            continue;
        }
        if (auto it = map.find(c.codePoint); it != map.end()) {
            out += it->second;
            continue;
        }
        const std::string_view near = substituteOf(c.codePoint);
        out += near.empty() ? std::string_view("?") : near;
    }
    return out;
}

}  // namespace pm
