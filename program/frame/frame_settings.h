#pragma once
// The stored settings as the frame and its windows use them. The program
// reads and writes them through the library's settings services
// (KonfigFrameSettings); tests give the frame an in-memory stand-in.
#include <string>

#include "common/types.h"
#include "tables/config/settings.h"

namespace pm::frame {

// Settings items the frame reads.
enum FrameItem : int {
    ItemToolTips = 2,          // 1 show, 2 hide
    ItemLocatorDelay = 3,      // tenths of a second before typed text is reset
    ItemDefaultDatabase = 6,   // FOR:ID activated at start
    ItemDateFormat = 10,
    ItemTimeFormat = 13,
    ItemDefaultFileType = 12,
    ItemDefaultImportPath = 14,
    ItemDefaultMailDatabase = 19,
    ItemDeleteColour = 22,     // status colour of Delete (RGB value, red in the low byte)
    ItemKeepColour = 24,       // status colour of Keep
    ItemSavedFramePlace = 42,  // non-zero: the frame opens at its saved place
    ItemExitAfterTasks = 57,
};

// Window position slots (WindowPos) of the windows that remember their place.
enum WindowSlot : int {
    SlotFrame = 1,
    SlotChangeForum = 2,
    SlotBrowseBox = 3,
    SlotSetIndex = 4,
    SlotStartUpWizard = 5,
    SlotAbout = 6,
    SlotMailDatabaseForm = 7,
    SlotDatabaseSelection = 8,
    SlotHelp = 9,
};

// List column slots (ListCol); slots 1 and 2 are kept for lists that store
// their widths in a string.
enum ColumnSlot : int {
    ColumnsChangeForum = 3,
    ColumnsBrowseBox = 4,
    ColumnsDatabaseSelection = 5,
};

class FrameSettings {
public:
    virtual ~FrameSettings() = default;

    // A numeric item of the general or display settings (0 when unset).
    virtual LONG value(int item) = 0;
    // Sets a numeric item in memory (saveGeneral() writes general items).
    virtual void setValue(int item, LONG value) = 0;
    // A text item (14, the default import path).
    virtual std::string text(int item) = 0;
    virtual void setText(int item, const std::string& text) = 0;
    // Writes the general settings block; false when it cannot be written.
    virtual bool saveGeneral() = 0;

    // The stored place of a window slot; false when none is stored (all 0).
    virtual bool place(int slot, WindowPlace& place) = 0;
    // Stores a window's place in memory (values of 2,000 or more are not stored).
    virtual void storePlace(int slot, const WindowPlace& place) = 0;
    // The stored widths of a list's columns; false when none are stored.
    virtual bool columns(int slot, ColumnWidths& widths) = 0;
    // Stores the widths of the first `count` columns in memory.
    virtual void storeColumns(int slot, const ColumnWidths& widths, int count) = 0;
    // Writes window positions, secondary positions and column widths.
    virtual bool saveWindowState() = 0;

    // The stored top directory: kind 1 databases (item 18), 2 word index (44).
    virtual std::string storedPath(int kind) = 0;
    // Stores and creates a new top directory and makes it current (NewPath).
    virtual bool storeNewPath(int kind, const std::string& path) = 0;

    // The database active when the program last ran (0: none), opened at
    // the next start unless the preferences name a default database.
    virtual ULONG lastDatabase() { return 0; }
    virtual void setLastDatabase(ULONG id) { (void)id; }
};

// The settings through the library's services (Konfig, AutoPath, WSVars,
// WindowPos, WindowPos2, ListCol).
class KonfigFrameSettings final : public FrameSettings {
public:
    LONG value(int item) override;
    void setValue(int item, LONG value) override;
    std::string text(int item) override;
    void setText(int item, const std::string& text) override;
    bool saveGeneral() override;
    bool place(int slot, WindowPlace& place) override;
    void storePlace(int slot, const WindowPlace& place) override;
    bool columns(int slot, ColumnWidths& widths) override;
    void storeColumns(int slot, const ColumnWidths& widths, int count) override;
    bool saveWindowState() override;
    std::string storedPath(int kind) override;
    bool storeNewPath(int kind, const std::string& path) override;
    ULONG lastDatabase() override;
    void setLastDatabase(ULONG id) override;
};

}  // namespace pm::frame
