#pragma once
// text/enriched (RFC 1896) to plain text.
#include <string>
#include <string_view>

namespace pm::inet {

// `text` with its formatting commands (anything in angle brackets) removed
// and the text inside a "param" command dropped; "<<" stands for a literal
// "<". Line ends are kept as they are.
std::string enrichedToText(std::string_view text);

}  // namespace pm::inet
