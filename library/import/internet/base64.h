#pragma once
// Base64 decoding (RFC 2045), for bodies and "B" encoded words.
#include <string>
#include <string_view>

namespace pm::inet {

// The bytes encoded in `text`. Characters outside the Base64 alphabet (line
// ends, blanks, garbage) are skipped; "=" padding ends a group, so blocks
// encoded one after another decode as written. Incomplete trailing bits are
// dropped.
std::string decodeBase64(std::string_view text);

}  // namespace pm::inet
