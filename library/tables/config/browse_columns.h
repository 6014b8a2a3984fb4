#pragma once
// The column widths a person gave the lists of the browse windows (message
// lists, persons, look-up lists, task log ...), kept beside the window
// places in the Control table so that a list opens again as it was left.
//
// Records 19 and 20 hold ten slots each, a slot ten signed 16-bit widths in
// pixels (0: none stored, the list's own width holds). Loaded with the
// other settings at start-up; widths change in memory, and
// saveBrowseColumns() writes the slots this process changed over what the
// store holds then, so two programs on one installation keep each other's
// widths.
#include <array>
#include <cstdint>

namespace pm {

// The slot of each list; a list keeps its slot for good.
enum BrowseColumnSlot : int {
    BrowseForumMessages = 1,
    BrowseNewsgroupMessages = 2,
    BrowseMailMessages = 3,
    BrowsePersons = 4,
    BrowseLookupThreads = 5,
    BrowseLookupSections = 6,
    BrowseLookupPersons = 7,  // by name and by address
    BrowseLookupWords = 8,
    BrowseLookupTopics = 9,
    BrowseTaskRuns = 10,
    BrowseTaskItems = 11,
    BrowseTasks = 12,
    BrowseImportDefinitions = 13,
    BrowseWordList = 14,
};

inline constexpr int kBrowseColumnSlots = 20;
inline constexpr int kBrowseColumns = 10;
using BrowseColumnWidths = std::array<std::int16_t, kBrowseColumns>;

// Reads both records (missing ones hold no widths). False when one cannot
// be read; nothing is kept then.
bool loadBrowseColumns();
// The widths kept for `slot` (all 0 for a slot outside 1-20).
BrowseColumnWidths browseColumnWidths(int slot);
// Keeps `width` for column `column` (0 first) of `slot`. Columns past the
// tenth, slots outside 1-20 and widths outside 1-1999 are not kept.
void storeBrowseColumnWidth(int slot, int column, int width);
// Writes the slots changed since the load; false after reporting when a
// record cannot be written.
bool saveBrowseColumns();
// Forgets every width; the next save empties the slots that held some.
void resetBrowseColumns();

}  // namespace pm
