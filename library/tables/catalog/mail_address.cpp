#include "tables/catalog/mail_address.h"

#include <unicode/locid.h>
#include <unicode/unistr.h>

#include "common/fixed_text.h"

namespace pm {

namespace {

std::string toLowerUtf8(std::string_view text) {
    icu::UnicodeString u = icu::UnicodeString::fromUTF8(
        icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
    // The root locale keeps the mapping the same on every machine (no
    // Turkish dotless i surprises).
    u.toLower(icu::Locale::getRoot());
    std::string out;
    u.toUTF8String(out);
    return out;
}

}  // namespace

std::string normalizeMailAddress(std::string_view address) {
    std::string lower = toLowerUtf8(trimRight(address));
    lower.resize(utf8FitLength(lower, MailAddressWidth));
    return std::string(trimRight(lower));
}

}  // namespace pm
