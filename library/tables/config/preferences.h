#pragma once
// The preferences: every settings item the preferences window edits, read
// in one go and written back in one go (the window is a view over this).
#include <array>
#include <string>

#include "common/types.h"

namespace pm {

// The colours the preferences choose, each an RGB value with red in the low
// byte, by the settings item that keeps it.
enum PreferenceColour : int {
    ColourTab1 = 31, ColourTab2 = 41, ColourTab3 = 43, ColourTab4 = 45, ColourCurrentTab = 25,
    ColourReadOnly = 23, ColourNormal = 32, ColourKeep = 24, ColourDelete = 22,
};
inline constexpr std::array<int, 9> kPreferenceColours = {ColourTab1,     ColourTab2, ColourTab3,
                                                          ColourTab4,     ColourCurrentTab, ColourReadOnly,
                                                          ColourNormal,   ColourKeep, ColourDelete};

// The fonts, by item: list boxes, entry fields, the message/mail text box,
// the thread tree.
enum PreferenceFont : int { FontLists = 33, FontEntries = 34, FontText = 35, FontThreadTree = 36 };
inline constexpr std::array<int, 4> kPreferenceFonts = {FontLists, FontEntries, FontText, FontThreadTree};

struct FontSetting {
    std::string name;  // at most 20 bytes
    LONG size = 8;
};

struct Preferences {
    // " Defaults "
    ULONG defaultDatabase = 0;      // 6: FOR:ID
    LONG messageBrowseTab = 1;      // 38: 1 By MsgNmbr ... 7 KeyWord
    ULONG defaultMailDatabase = 0;  // 19: FOR:ID
    LONG mailBrowseTab = 1;         // 39: 1 By Date ... 5 By Receiver
    LONG defaultFileType = 17;      // 12: format number
    std::string importPath;         // 14: 100 bytes
    // " Directories "
    std::string tempDirectory;       // 17
    std::string databaseDirectory;   // 18
    std::string wordIndexDirectory;  // 44
    // " Colors " (kPreferenceColours order) and " Fonts " (kPreferenceFonts order)
    std::array<LONG, 9> colours{};
    std::array<FontSetting, 4> fonts;
    // " Thread Tree "
    LONG threadTreeFormat = 2;      // 16: 1-5
    bool treeWithBrowse = false;    // 40: open the thread tree with the message browse
    bool treeOnTop = false;         // 37: always floating on top
    // "Tasks"
    bool exitAfterTasks = false;    // 57
    LONG restrictFrom = 0;          // 46: time (hundredths of a second since midnight)
    LONG restrictTo = 0;            // 47
    bool tasksDeactivated = false;  // 48
    // " Optimize "
    std::array<LONG, 5> speeds{4, 4, 4, 4, 4};  // 26-30: slider positions 1-7
    bool showCompletionTime = true;             // 9: 1 yes, 2 no
    // " Miscellaneous "
    LONG locatorDelay = 15;         // 3: tenths of a second
    bool toolTips = true;           // 2: 1 show, 2 hide
    LONG dateFormat = 17;           // 10: 2, 6, 10 or 17
    LONG timeFormat = 7;            // 13: 1, 3 or 7
    bool openMaximized = true;      // 42, stored inverted: 0 maximized, 1 at the saved place
    bool resetWindowPlaces = false; // reset the stored window positions and sizes
};

// Every item from the settings in memory (the blocks are loaded when they
// are not yet).
Preferences readPreferences();

// Writes every item back in the window's order: the general and display
// items, the three directories (each created when it differs from the one
// in use, and made current), the window places when asked, the speed
// values re-read, then the general, display, directory and word-search
// blocks saved. A directory that cannot be made, or a block that cannot be
// saved, is reported ("Configuration Error") and the rest still written;
// false when anything failed.
bool writePreferences(const Preferences& preferences);

// The locator delay item for a delay entered in seconds: tenths, rounded
// (2.5 -> 25).
LONG locatorDelayFromSeconds(double seconds);

}  // namespace pm
