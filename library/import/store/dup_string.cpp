#include "import/store/dup_string.h"

#include <string>

#include "common/utf8.h"
#include "tables/records/message_tables.h"

namespace pm {

namespace {

std::string_view limited(std::string_view text) { return text.substr(0, utf8PrefixBytes(text, DupTextLimit)); }

// Every stored text ends in a line end; a copy saved with a line more or
// less, or with blanks after its last word, is still the same text.
std::string_view withoutTrailingSpace(std::string_view text) {
    std::size_t n = text.size();
    while (n > 0 && (text[n - 1] == ' ' || text[n - 1] == '\t' || text[n - 1] == '\r' || text[n - 1] == '\n')) --n;
    return text.substr(0, n);
}

std::string storedText(ULONG number) {
    MsgText.clear();
    TXT.MSGNUMBER = number;
    if (MsgText.get(TXT_IdKey) != StorageStatus::Ok) return {};
    return TXT.MsgText;
}

}  // namespace

bool textsAreDuplicates(std::string_view a, std::string_view b) {
    a = limited(a);
    b = limited(b);
    std::string_view shortText = withoutTrailingSpace(a), longText = withoutTrailingSpace(b);
    if (shortText.size() > longText.size()) {
        std::swap(shortText, longText);
        std::swap(a, b);
    }
    // Equal first characters over the shorter length means the shorter is a
    // byte prefix of the longer (UTF-8 is prefix-free per character).
    if (longText.compare(0, shortText.size(), shortText) != 0) return false;
    // The shorter text's own trailing line ends and blanks, where the longer
    // goes on with the same, are no difference.
    std::size_t same = shortText.size();
    while (same < longText.size() && same < a.size() && longText[same] == a[same]) ++same;
    return utf8CharCount(longText.substr(same)) < 20;
}

BYTE DupString(int mode, ULONG a, ULONG b, std::string_view text) {
    const std::string textA = storedText(a);
    if (mode == 2) return textsAreDuplicates(textA, storedText(b)) ? 1 : 0;
    return textsAreDuplicates(textA, text) ? 1 : 0;
}

}  // namespace pm
