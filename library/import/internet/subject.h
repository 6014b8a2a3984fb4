#pragma once
// The subject rule of the message parsers.
#include <string>
#include <string_view>

namespace pm::inet {

// `subject` left-aligned; when its first three characters are "RE:" in any
// case they are removed once and the rest is left-aligned again. A second
// "Re:" stays.
std::string stripReplyPrefix(std::string_view subject);

}  // namespace pm::inet
