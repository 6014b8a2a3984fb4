#include "import/internet/html_entities.h"

#include <unicode/normalizer2.h>

#include <array>

#include "import/internet/charset.h"
#include "import/internet/text_case.h"

namespace pm::inet {

namespace {

struct NamedEntity {
    std::string_view name;
    char32_t codePoint;
};

// Named entities that are not a base letter with an accent, by name.
constexpr NamedEntity kNamed[] = {
    {"AElig", 0xC6}, {"ETH", 0xD0},     {"OElig", 0x152}, {"Oslash", 0xD8}, {"THORN", 0xDE},
    {"acute", 0xB4}, {"aelig", 0xE6},   {"amp", 0x26},    {"apos", 0x27},   {"bdquo", 0x201E},
    {"brvbar", 0xA6}, {"bull", 0x2022}, {"cedil", 0xB8},  {"cent", 0xA2},   {"circ", 0x2C6},
    {"copy", 0xA9},  {"curren", 0xA4},  {"dagger", 0x2020}, {"deg", 0xB0},  {"divide", 0xF7},
    {"eth", 0xF0},   {"euro", 0x20AC},  {"frac12", 0xBD}, {"frac14", 0xBC}, {"frac34", 0xBE},
    {"gt", 0x3E},    {"hellip", 0x2026}, {"iexcl", 0xA1}, {"iquest", 0xBF}, {"laquo", 0xAB},
    {"ldquo", 0x201C}, {"lsaquo", 0x2039}, {"lsquo", 0x2018}, {"lt", 0x3C}, {"macr", 0xAF},
    {"mdash", 0x2014}, {"micro", 0xB5}, {"middot", 0xB7}, {"minus", 0x2212}, {"nbsp", 0xA0},
    {"ndash", 0x2013}, {"not", 0xAC},   {"oelig", 0x153}, {"ordf", 0xAA},   {"ordm", 0xBA},
    {"oslash", 0xF8}, {"para", 0xB6},   {"permil", 0x2030}, {"plusmn", 0xB1}, {"pound", 0xA3},
    {"quot", 0x22},  {"raquo", 0xBB},   {"rdquo", 0x201D}, {"reg", 0xAE},   {"rsaquo", 0x203A},
    {"rsquo", 0x2019}, {"sbquo", 0x201A}, {"sect", 0xA7}, {"shy", 0xAD},    {"sup1", 0xB9},
    {"sup2", 0xB2},  {"sup3", 0xB3},    {"szlig", 0xDF},  {"thinsp", 0x2009}, {"thorn", 0xFE},
    {"tilde", 0x2DC}, {"times", 0xD7},  {"trade", 0x2122}, {"uml", 0xA8},   {"yen", 0xA5},
    {"ensp", 0x2002}, {"emsp", 0x2003}, {"Dagger", 0x2021},
};

// Accent suffixes and the combining mark each adds to its base letter.
constexpr std::array<NamedEntity, 7> kAccents = {{
    {"acute", 0x301}, {"grave", 0x300}, {"tilde", 0x303}, {"cedil", 0x327},
    {"circ", 0x302},  {"ring", 0x30A},  {"uml", 0x308},
}};

// A base letter with an accent suffix: the precomposed letter, or 0.
char32_t accentedLetter(std::string_view name) {
    if (name.size() < 4 || !isAsciiLetter(name[0])) return 0;
    std::string_view suffix = name.substr(1);
    for (const NamedEntity& accent : kAccents) {
        if (suffix != accent.name) continue;
        UErrorCode status = U_ZERO_ERROR;
        const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
        if (U_FAILURE(status)) return 0;
        UChar32 composed = nfc->composePair(static_cast<UChar32>(name[0]), static_cast<UChar32>(accent.codePoint));
        return composed < 0 ? 0 : static_cast<char32_t>(composed);
    }
    return 0;
}

char32_t namedEntity(std::string_view name) {
    for (const NamedEntity& e : kNamed)
        if (e.name == name) return e.codePoint;
    return accentedLetter(name);
}

// The code point of "#123" / "#x7B", or 0 when invalid.
char32_t numericEntity(std::string_view body) {
    bool hex = body.size() > 1 && (body[1] == 'x' || body[1] == 'X');
    std::string_view digits = body.substr(hex ? 2 : 1);
    if (digits.empty() || digits.size() > 8) return 0;
    std::uint32_t value = 0;
    for (char c : digits) {
        int d = hex ? (c >= '0' && c <= '9'   ? c - '0'
                       : c >= 'a' && c <= 'f' ? c - 'a' + 10
                       : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                              : -1)
                    : (isAsciiDigit(c) ? c - '0' : -1);
        if (d < 0) return 0;
        value = value * (hex ? 16 : 10) + static_cast<std::uint32_t>(d);
    }
    if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
    if (value >= 0x80 && value < 0xA0) return windows1252ToUnicode(static_cast<unsigned char>(value));
    return value;
}

}  // namespace

std::size_t decodeHtmlEntity(std::string_view text, std::size_t pos, std::string& out) {
    if (pos >= text.size() || text[pos] != '&') return 0;
    // Entity names are short; looking further would make a text full of
    // "&" without ";" quadratic.
    std::size_t semi = text.substr(0, pos + 13).find(';', pos + 1);
    if (semi == std::string_view::npos || semi == pos + 1) return 0;
    std::string_view body = text.substr(pos + 1, semi - pos - 1);
    char32_t cp = body[0] == '#' ? numericEntity(body) : namedEntity(body);
    if (cp == 0) return 0;
    appendUtf8(out, cp);
    return semi - pos + 1;
}

}  // namespace pm::inet
