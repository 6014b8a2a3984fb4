#include "import/store/dup_string.h"

#include <string>

#include "common/fixed_text.h"
#include "tables/records/message_tables.h"

namespace pm {

namespace {

std::string_view limited(std::string_view text) {
    text = text.substr(0, utf8FitLength(text, DupTextLimit));
    return trimRight(text);
}

std::size_t characters(std::string_view text) {
    std::size_t n = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
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
    if (a.size() > b.size()) std::swap(a, b);
    // Equal first characters over the shorter length means the shorter is a
    // byte prefix of the longer (UTF-8 is prefix-free per character).
    if (b.compare(0, a.size(), a) != 0) return false;
    return characters(b.substr(a.size())) < 20;
}

BYTE DupString(int mode, ULONG a, ULONG b, std::string_view text) {
    const std::string textA = storedText(a);
    if (mode == 2) return textsAreDuplicates(textA, storedText(b)) ? 1 : 0;
    return textsAreDuplicates(textA, text) ? 1 : 0;
}

}  // namespace pm
