#pragma once
// Changes to one person of the active database made by hand: its first and
// last name (the name form's save) and the swap of its current string with
// one of its aliases (ShowAlias). Each runs in one transaction with the
// 5-second lock wait; the tables of MaintenanceTables must be open.
#include <string>
#include <vector>

#include "common/types.h"
#include "tables/records/message_tables.h"

namespace pm {

enum class PersonEdit {
    Saved,
    ChangedMeanwhile,  // another user changed the person: the buffer holds the current record
    Refused,           // the mailbox owner's address cannot change
    Failed,            // reported and rolled back
};

// Saves new names for the person `kept` (the record as the form read it):
// re-reads it and refuses when it differs ("Warning!" / "The record has
// just been changed by another user!\r\nTry again!"), writes the names,
// renames the mail database after its owner ("first last") and, when the
// last name changed, renews the short names its messages carry.
PersonEdit renamePerson(const PersonRecord& kept, const std::string& lastName, const std::string& firstName);

// The aliases (PLINK strings) of person `id`, in key order.
std::vector<std::string> aliasesOf(ULONG id);

// Exchanges person `id`'s string with its alias `alias`: the person takes
// the alias string and the address found in it; the alias record takes the
// person's former string. Nothing happens (Saved) when the two are equal
// without regard to case. The mailbox owner is refused ("Warning!").
PersonEdit swapAlias(ULONG id, const std::string& alias);

// The name as lists show it: "Last, First", or the one that is not blank.
std::string displayName(const PersonRecord& person);

}  // namespace pm
