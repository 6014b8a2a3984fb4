#pragma once
// The text comparison that tells a re-delivered mail from a new one.
#include <string_view>

#include "common/message_text.h"
#include "common/types.h"

namespace pm {

// Characters of either text the comparison looks at.
inline constexpr std::size_t DupTextLimit = MessageTextChars;

// Whether two texts count as the same message: each cut to 64,000
// characters and trailing blanks, tabs and line ends removed, the shorter is
// the start of the longer and the longer has fewer than 20 characters more.
bool textsAreDuplicates(std::string_view a, std::string_view b);

// DupString: 1 when the stored text of message `a` (MsgText) and a second
// text are duplicates, else 0. Mode 1 compares with `text` (the message
// being stored), mode 2 with the stored text of message `b`. A missing text
// counts as empty. MsgText must be open; its buffer is overwritten.
BYTE DupString(int mode, ULONG a, ULONG b, std::string_view text = {});

}  // namespace pm
