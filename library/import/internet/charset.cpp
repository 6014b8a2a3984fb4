#include "import/internet/charset.h"

#include <unicode/ucnv.h>
#include <unicode/unistr.h>

#include <string>
#include <unordered_map>

#include "common/text.h"
#include "common/utf8.h"
#include "import/internet/text_case.h"

namespace pm::inet {

namespace {

// Opened converters by normalised charset name, per thread (ICU converters
// are not thread-safe). nullptr records a name ICU does not know.
class ConverterCache {
public:
    ~ConverterCache() { clear(); }

    UConverter* get(const std::string& name) {
        auto it = converters_.find(name);
        if (it != converters_.end()) {
            if (it->second) ucnv_reset(it->second);
            return it->second;
        }
        // Garbage headers can name endless charsets; keep the cache small.
        if (converters_.size() >= 64) clear();
        UErrorCode status = U_ZERO_ERROR;
        UConverter* converter = ucnv_open(name.c_str(), &status);
        if (U_FAILURE(status)) converter = nullptr;
        converters_.emplace(name, converter);
        return converter;
    }

private:
    void clear() {
        for (auto& entry : converters_)
            if (entry.second) ucnv_close(entry.second);
        converters_.clear();
    }

    std::unordered_map<std::string, UConverter*> converters_;
};

thread_local ConverterCache converterCache;

// "ISO-8859-1" -> "iso-8859-1"; quotes, blanks and an RFC 2231 language
// suffix ("utf-8*en") removed.
std::string normaliseName(std::string_view charset) {
    std::string_view name = trim(charset);
    if (name.size() >= 2 && (name.front() == '"' || name.front() == '\'') && name.back() == name.front())
        name = trim(name.substr(1, name.size() - 2));
    std::size_t star = name.find('*');
    if (star != std::string_view::npos) name = name.substr(0, star);
    if (name.size() > 60) name = name.substr(0, 60);
    return asciiLower(name);
}

bool isAscii(std::string_view bytes) {
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

std::string convertWith(UConverter* converter, std::string_view bytes) {
    UErrorCode status = U_ZERO_ERROR;
    icu::UnicodeString unicode(bytes.data(), static_cast<int32_t>(bytes.size()), converter, status);
    std::string out;
    if (U_FAILURE(status)) return toUtf8Fallback(bytes);
    unicode.toUTF8String(out);
    return out;
}

}  // namespace

std::string lenientUtf8(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    std::string out;
    out.reserve(n + n / 8);
    for (std::size_t i = 0; i < n;) {
        const Utf8Char c = decodeUtf8At(bytes, i);
        if (c.wellFormed) {
            const std::size_t len = c.length;
            out.append(bytes.data() + i, len);
            i += len;
        } else {
            appendUtf8(out, windows1252ToUnicode(p[i]));
            ++i;
        }
    }
    return out;
}

bool isValidUtf8(std::string_view bytes) { return pm::isValidUtf8(bytes); }

char32_t windows1252ToUnicode(unsigned char byte) { return pm::windows1252ToUnicode(byte); }

void appendUtf8(std::string& out, char32_t cp) {
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = kReplacementCharacter;
    pm::appendUtf8(out, cp);
}

std::string toUtf8Fallback(std::string_view bytes) { return pm::utf8OrWindows1252(bytes); }

bool isKnownCharset(std::string_view charset) {
    std::string name = normaliseName(charset);
    return !name.empty() && converterCache.get(name) != nullptr;
}

std::string toUtf8(std::string_view bytes, std::string_view charset) {
    std::string name = normaliseName(charset);
    if (name.empty() || name == "utf-8" || name == "utf8") {
        if (name.empty() || isValidUtf8(bytes)) return toUtf8Fallback(bytes);
        // Declared UTF-8 with stray bytes: almost always Latin-1 text pasted
        // into a UTF-8 mail (quoted replies). Keep every well-formed
        // character and read each stray byte as Windows-1252.
        return lenientUtf8(bytes);
    }
    if (name == "us-ascii" || name == "ascii" || name == "iso-8859-1" || name == "iso8859-1" ||
        name == "latin1" || name == "l1" || name == "windows-1252" || name == "cp1252") {
        if (isAscii(bytes)) return std::string(bytes);
        if (name == "us-ascii" || name == "ascii") return toUtf8Fallback(bytes);
        std::string out;
        out.reserve(bytes.size() + bytes.size() / 4);
        for (char c : bytes) appendUtf8(out, windows1252ToUnicode(static_cast<unsigned char>(c)));
        return out;
    }
    // The ISO and Windows families are ASCII supersets: plain ASCII needs no
    // converter.
    if ((name.starts_with("iso-8859-") || name.starts_with("windows-12")) && isAscii(bytes))
        return std::string(bytes);
    UConverter* converter = converterCache.get(name);
    if (!converter) return toUtf8Fallback(bytes);
    return convertWith(converter, bytes);
}

}  // namespace pm::inet
