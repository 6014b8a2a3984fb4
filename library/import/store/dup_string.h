#pragma once
// The text comparison that tells a re-delivered mail from a new one.
#include <string_view>

#include "common/types.h"

namespace pm {

// Longest text either side of the comparison holds.
inline constexpr std::size_t DupTextLimit = 64000;

// Whether two texts count as the same message: trailing blanks removed and
// each cut to 64,000 bytes, the shorter is the start of the longer and the
// longer has fewer than 20 characters more.
bool textsAreDuplicates(std::string_view a, std::string_view b);

// DupString: 1 when the stored text of message `a` (MsgText) and a second
// text are duplicates, else 0. Mode 1 compares with `text` (the message
// being stored), mode 2 with the stored text of message `b`. A missing text
// counts as empty. MsgText must be open; its buffer is overwritten.
BYTE DupString(int mode, ULONG a, ULONG b, std::string_view text = {});

}  // namespace pm
