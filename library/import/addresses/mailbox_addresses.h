#pragma once
// The addresses of a mail database's owner, held while mail is imported into
// it: they tell mail the owner sent from mail the owner received.
#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "common/fixed_text.h"
#include "common/types.h"
#include "tables/catalog/mail_address.h"

namespace pm {

// The owner state of one mail import. Addresses are kept and compared in
// lower case, so an address that differs from the owner's only in letter
// case is still the owner's; apart from case they must match exactly (a
// CompuServe address is entered as the numeric identifier only). Empty
// address slots match nothing.
class MailboxAddresses {
public:
    // Starts cleared.
    MailboxAddresses() { clear(); }

    // Replaces the whole state. The addresses are lower-cased and cut to 60
    // bytes; the mailbox name is kept as written (it names the database) and
    // cut to 40 bytes.
    void set(std::string_view mailboxName, std::string_view defaultAddress,
             const std::array<std::string, AltAddressCount>& altAddresses, ULONG personId);

    // Forgets the owner: no name, no addresses, person identifier 0.
    void clear();

    // 1 when `address` is neither the default nor any alternative address of
    // the owner, else 0.
    int isForeign(std::string_view address) const;

    // Decides the direction of a mail from its sender address and makes both
    // addresses fit for storage (60 bytes, trailing blanks removed):
    // received (1) when the sender is foreign: the receiver becomes the
    // owner's default address and the sender is lower-cased; sent (2)
    // otherwise: the sender becomes the owner's default address and the
    // receiver is lower-cased.
    BYTE classify(std::string& senderAddress, std::string& receiverAddress) const;

    std::string_view mailboxName() const { return mailboxName_.view(); }
    std::string_view defaultAddress() const { return defaultAddress_.view(); }
    // Alternative address `index` (0-9), lower case; empty when unused.
    std::string_view altAddress(std::size_t index) const { return altAddresses_.at(index).view(); }
    ULONG personId() const { return personId_; }

    // Called by loadMailboxAddresses after every load. The message store
    // hooks the emptying of its owner-name cache here, since a cached name
    // belongs to the previous mailbox.
    std::function<void()> onLoad;

private:
    FixedText<MailboxNameWidth> mailboxName_;
    FixedText<MailAddressWidth> defaultAddress_;
    std::array<FixedText<MailAddressWidth>, AltAddressCount> altAddresses_;
    ULONG personId_ = 0;
};

// The owner fields of a mail database's Forums record (FOR.DESCRIPTION,
// FOR.MAILADDRESS, FOR.ALTADDRESS, FOR.PERSONID).
struct MailboxOwner {
    std::string mailboxName;
    std::string mailAddress;
    std::array<std::string, AltAddressCount> altAddresses;
    ULONG personId = 0;
};

// The load operation: fills `state` from the database's owner fields, or
// clears it when the Forums record could not be read (`owner` empty).
// Publishes the owner's person identifier as Mem.PersonID (0 when cleared)
// and then calls state.onLoad when it is set.
void loadMailboxAddresses(MailboxAddresses& state, const std::optional<MailboxOwner>& owner);

}  // namespace pm
