#pragma once
// Finding or creating the person of a name and an address (AddPers).
#include <string>
#include <string_view>

#include "common/types.h"

namespace pm {

// Width of PER.PERSONSTRING in bytes.
inline constexpr std::size_t PersonStringWidth = 100;

// Reported when the counter yields no identifier for a new person.
inline constexpr const char* PersonIdFailedText =
    "A new person ID could not be generated \r\nThe last transaction is rolled back.";

// The identifying text of a person: the upper case of the name (trailing
// blanks removed), one blank and the address, cut to 100 bytes at a whole
// character and without trailing blanks.
std::string personString(std::string_view name, std::string_view address);

// Finds the person of `name` and `address` by its person string, else
// through an alias in PLINK (left by merging duplicate persons), else adds
// a new person (identifier from NextNr, name split by ParseName, counts 0).
// An alias whose person is gone is replaced: a new person is added and the
// alias deleted. Leaves the person in the PER buffer. Person, PLINK and
// Control must be open, normally inside a transaction. Returns 0 on
// success, 1 on failure (reported; the transaction is rolled back).
BYTE AddPers(std::string_view name, std::string_view address);

}  // namespace pm
