#include "import/addresses/mailbox_addresses.h"

#include <unicode/locid.h>
#include <unicode/unistr.h>

#include "common/globals.h"

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

void MailboxAddresses::set(std::string_view mailboxName, std::string_view defaultAddress,
                           const std::array<std::string, AltAddressCount>& altAddresses,
                           ULONG personId) {
    mailboxName_ = mailboxName;
    defaultAddress_ = normalizeMailAddress(defaultAddress);
    for (std::size_t i = 0; i < AltAddressCount; ++i)
        altAddresses_[i] = normalizeMailAddress(altAddresses[i]);
    personId_ = personId;
}

void MailboxAddresses::clear() {
    mailboxName_.clear();
    defaultAddress_.clear();
    for (auto& alt : altAddresses_) alt.clear();
    personId_ = 0;
}

int MailboxAddresses::isForeign(std::string_view address) const {
    const std::string lower = normalizeMailAddress(address);
    // An unused slot is blank; it must not make a blank address the owner's.
    if (lower.empty()) return 1;
    if (defaultAddress_ == lower) return 0;
    for (const auto& alt : altAddresses_)
        if (alt == lower) return 0;
    return 1;
}

BYTE MailboxAddresses::classify(std::string& senderAddress, std::string& receiverAddress) const {
    if (isForeign(senderAddress)) {
        senderAddress = normalizeMailAddress(senderAddress);
        receiverAddress = defaultAddress_.view();
        return MailReceived;
    }
    senderAddress = defaultAddress_.view();
    receiverAddress = normalizeMailAddress(receiverAddress);
    return MailSent;
}

void loadMailboxAddresses(MailboxAddresses& state, const std::optional<MailboxOwner>& owner) {
    if (owner)
        state.set(owner->mailboxName, owner->mailAddress, owner->altAddresses, owner->personId);
    else
        state.clear();
    Mem.PersonID = state.personId();
    if (state.onLoad) state.onLoad();
}

}  // namespace pm
