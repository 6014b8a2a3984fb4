#include "browse/text_pages.h"

#include "common/fixed_text.h"
#include "tables/records/message_tables.h"

namespace pm {

namespace {

constexpr const char* kMore = " ..........<MORE>>";
constexpr const char* kContinued = "<CONTINUED>> \r\n";
constexpr std::size_t kContinuedLength = 15;

// The 1-based position of the first blank from `from` to `to`, else `to`
// + 1, moved back to the start of the character it falls in.
std::size_t cutPosition(const std::string& text, std::size_t from, std::size_t to) {
    for (std::size_t p = from; p <= to && p <= text.size(); ++p)
        if (text[p - 1] == ' ') return p;
    std::size_t p = to + 1;
    while (p > 1 && p <= text.size() && (static_cast<unsigned char>(text[p - 1]) & 0xC0) == 0x80) --p;
    return p;
}

}  // namespace

int MessageTextPages::load(ULONG number, const std::string* subject) {
    MsgText.clear();
    TXT.MSGNUMBER = number;
    std::string stored;
    if (MsgText.get(TXT_IdKey) == StorageStatus::Ok) stored = TXT.MsgText;
    std::string text;
    if (subject) text = "Subject: " + std::string(trimRight(*subject)) + "\r\n\r\n";
    text += trimRight(stored);
    return loadText(std::move(text));
}

int MessageTextPages::loadText(std::string text) {
    text.resize(utf8FitLength(text, TextLimit));
    text_ = std::move(text);
    cut1_ = cut2_ = 0;
    const std::size_t length = text_.size();
    pages_ = length <= PageLimit ? 1 : length <= 2 * PageLimit ? 2 : 3;
    if (pages_ >= 2) cut1_ = cutPosition(text_, 23950, 23980);
    if (pages_ == 3) cut2_ = cutPosition(text_, 47060, 47100);
    return pages_ == 1 ? 0 : 1;
}

TextPage MessageTextPages::page(int number) const {
    TextPage p;
    if (number < 1 || number > pages_) return p;
    if (pages_ == 1) {
        p.text = text_;
        p.length = text_.size();
        return p;
    }
    // Byte ranges [begin, end) of the full text on each page.
    const std::size_t begin = number == 1 ? 0 : number == 2 ? cut1_ - 1 : cut2_ - 1;
    const std::size_t end = number == pages_ ? text_.size() : number == 1 ? cut1_ - 1 : cut2_ - 1;
    p.start = begin + 1;
    p.length = end - begin;
    if (number > 1) {
        p.text = kContinued;
        p.prefixLength = kContinuedLength;
    }
    p.text.append(text_, begin, end - begin);
    if (number < pages_) p.text += kMore;
    return p;
}

}  // namespace pm
