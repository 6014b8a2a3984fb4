#include "import/addresses/mailbox_addresses.h"

#include "common/globals.h"

namespace pm {

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
