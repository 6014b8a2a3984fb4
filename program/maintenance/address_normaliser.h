#pragma once
// The address normaliser of the duplicate merging: brings the ways one
// CompuServe identifier was written ("12345.678", "12345, 678",
// "[12345,678]", "12345.678@compuserve.com") to one form ("12345,678"), so
// that persons who share an identifier meet in the address order. Other
// Internet addresses are left as they are.
#include <string>
#include <string_view>

namespace pm {

// The service's Internet mail domain (compared in upper case).
inline constexpr const char* ServiceMailDomain = "COMPUSERVE.COM";

// The normalised form of `address` (trailing blanks ignored): unchanged
// when blank or shorter than 4 characters. The first "," or "@" among the
// first L-2 characters decides the form: "@" with the service's domain
// after it keeps the part before it and turns its first "." into ","; a
// comma loses a blank right after it; without either, the last "." seen
// becomes "," (losing a blank after it). The comma and dot forms also lose
// enclosing "[" "]".
std::string normaliseAddress(std::string_view address);

}  // namespace pm
