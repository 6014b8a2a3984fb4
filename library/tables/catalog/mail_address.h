#pragma once
// The owner addresses of a mail database as its catalog record keeps them.
#include <cstddef>
#include <string>
#include <string_view>

namespace pm {

// Widths of the mailbox name and of each owner address in bytes, and the
// number of alternative addresses.
inline constexpr std::size_t MailboxNameWidth = 40;
inline constexpr std::size_t MailAddressWidth = 60;
inline constexpr std::size_t AltAddressCount = 10;

// The address as the owner comparison sees it: Unicode lower case (root
// locale), cut to 60 bytes at a whole character, trailing blanks removed.
std::string normalizeMailAddress(std::string_view address);

}  // namespace pm
