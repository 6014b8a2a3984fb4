#include "wordindex/word_case.h"

#include <unicode/ucasemap.h>

#include "common/fatal_error.h"
#include "common/fixed_text.h"
#include "common/utf8.h"

namespace pm {
namespace {

// The root-locale case mapper, opened once for the process. ucasemap
// functions take it as const, so it may be shared.
const UCaseMap* rootCaseMap() {
    static const UCaseMap* map = [] {
        UErrorCode status = U_ZERO_ERROR;
        UCaseMap* m = ucasemap_open("", U_FOLD_CASE_DEFAULT, &status);
        if (U_FAILURE(status) || m == nullptr) {
            fatal("Internal Error", "Unable to load the Unicode case tables.|Postmoor will terminate.");
        }
        return m;
    }();
    return map;
}

bool isAscii(std::string_view text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

// `text` with every ill-formed byte replaced by U+FFFD, or empty when it is
// well-formed (the common case, which then needs no copy).
bool sanitizeUtf8(std::string_view text, std::string& out) {
    bool changed = false;
    for (std::size_t at = 0; at < text.size();) {
        const Utf8Char c = decodeUtf8At(text, at);
        if (!c.wellFormed && !changed) {
            changed = true;
            out.assign(text.substr(0, at));
        }
        if (changed) {
            if (c.wellFormed)
                out.append(text.substr(at, c.length));
            else
                appendUtf8(out, kReplacementCharacter);
        }
        at += c.length;
    }
    return changed;
}

}  // namespace

void upperCaseInto(std::string_view text, std::string& out) {
    if (isAscii(text)) {
        out.resize(text.size());
        for (std::size_t i = 0; i < text.size(); ++i) {
            const char c = text[i];
            out[i] = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
        }
        return;
    }
    thread_local std::string clean;
    if (sanitizeUtf8(text, clean)) text = clean;

    const UCaseMap* map = rootCaseMap();
    // Full case mapping may lengthen the text (ß -> SS); retry once with the
    // exact size when the first guess is short.
    out.resize(text.size() + text.size() / 2 + 8);
    UErrorCode status = U_ZERO_ERROR;
    int32_t length = ucasemap_utf8ToUpper(map, out.data(), static_cast<int32_t>(out.size()), text.data(),
                                          static_cast<int32_t>(text.size()), &status);
    if (status == U_BUFFER_OVERFLOW_ERROR) {
        out.resize(static_cast<std::size_t>(length));
        status = U_ZERO_ERROR;
        length = ucasemap_utf8ToUpper(map, out.data(), static_cast<int32_t>(out.size()), text.data(),
                                      static_cast<int32_t>(text.size()), &status);
    }
    if (U_FAILURE(status)) {
        // Only reachable on resource exhaustion inside ICU; keep the text as it is
        // rather than lose the word.
        out.assign(text);
        return;
    }
    out.resize(static_cast<std::size_t>(length));
}

std::string upperCase(std::string_view text) {
    std::string out;
    upperCaseInto(text, out);
    return out;
}

std::size_t utf8PrefixLength(std::string_view text, std::size_t maxCharacters) {
    std::size_t at = 0;
    for (std::size_t n = 0; n < maxCharacters && at < text.size(); ++n) {
        at += decodeUtf8At(text, at).length;
    }
    return at;
}

std::size_t utf8Length(std::string_view text) {
    std::size_t n = 0;
    for (std::size_t at = 0; at < text.size(); ++n) at += decodeUtf8At(text, at).length;
    return n;
}

std::string_view cutToWordLength(std::string_view word) {
    return word.substr(0, utf8PrefixLength(word, kWordCharacters));
}

std::string_view cutToStoredWord(std::string_view word) {
    return word.substr(0, utf8FitLength(word, kStoredWordBytes));
}

}  // namespace pm
