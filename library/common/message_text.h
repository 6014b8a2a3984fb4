#pragma once
// The size of a stored message text (the MsgText memo, the work file's
// MSGTEXT): counted in characters, so a text in any script holds as much.
#include <cstddef>

namespace pm {

// Characters a message text holds at most.
inline constexpr std::size_t MessageTextChars = 64000;

// Bytes that many characters may take in UTF-8 (the memos' room).
inline constexpr std::size_t MessageTextBytes = 4 * MessageTextChars;

}  // namespace pm
