#include "tables/config/preferences.h"

#include <cmath>

#include "common/globals.h"
#include "common/user_interface.h"
#include "tables/config/settings.h"

namespace pm {

namespace {

enum : int {
    kToolTips = 2, kLocatorDelay = 3, kDefaultDatabase = 6, kShowTime = 9, kDateFormat = 10, kDefaultFileType = 12,
    kTimeFormat = 13, kImportPath = 14, kTreeFormat = 16, kTempDirectory = 17, kDatabaseDirectory = 18,
    kDefaultMailDatabase = 19, kFirstSpeed = 26, kTreeOnTop = 37, kMessageTab = 38, kMailTab = 39,
    kTreeWithBrowse = 40, kFramePlace = 42, kWordIndexDirectory = 44, kRestrictFrom = 46, kRestrictTo = 47,
    kTasksOff = 48, kExitAfterTasks = 57,
};

LONG general(int item) {
    LONG v = 0;
    Konfig(GetGeneral, item, &v);
    return v;
}

LONG display(int item) {
    LONG v = 0;
    Konfig(GetDisplay, item, &v);
    return v;
}

void setGeneral(int item, LONG v) { Konfig(SetGeneral, item, &v); }
void setDisplay(int item, LONG v) { Konfig(SetDisplay, item, &v); }

std::string directory(int item) {
    std::string path;
    if (item == kWordIndexDirectory)
        WSVars(3, item, &path);
    else
        AutoPath(3, item, &path);
    return path;
}

bool saved(bool ok, const char* block) {
    if (!ok)
        message("Configuration Error", std::string("The ") + block + " settings could not be saved!",
                Icon::Exclamation);
    return ok;
}

}  // namespace

LONG locatorDelayFromSeconds(double seconds) {
    return seconds <= 0 ? 0 : static_cast<LONG>(std::lround(seconds * 10.0));
}

Preferences readPreferences() {
    Preferences p;
    p.defaultDatabase = static_cast<ULONG>(general(kDefaultDatabase));
    p.messageBrowseTab = display(kMessageTab);
    p.defaultMailDatabase = static_cast<ULONG>(general(kDefaultMailDatabase));
    p.mailBrowseTab = display(kMailTab);
    p.defaultFileType = general(kDefaultFileType);
    LONG size = 0;
    Konfig(GetGeneral, kImportPath, &size, &p.importPath);
    p.tempDirectory = directory(kTempDirectory);
    p.databaseDirectory = directory(kDatabaseDirectory);
    p.wordIndexDirectory = directory(kWordIndexDirectory);
    for (std::size_t i = 0; i < kPreferenceColours.size(); ++i) p.colours[i] = display(kPreferenceColours[i]);
    for (std::size_t i = 0; i < kPreferenceFonts.size(); ++i)
        Konfig(GetDisplay, kPreferenceFonts[i], &p.fonts[i].size, &p.fonts[i].name);
    p.threadTreeFormat = general(kTreeFormat);
    p.treeWithBrowse = display(kTreeWithBrowse) != 0;
    p.treeOnTop = display(kTreeOnTop) != 0;
    p.exitAfterTasks = display(kExitAfterTasks) != 0;
    p.restrictFrom = display(kRestrictFrom);
    p.restrictTo = display(kRestrictTo);
    p.tasksDeactivated = display(kTasksOff) != 0;
    for (std::size_t i = 0; i < p.speeds.size(); ++i) p.speeds[i] = display(kFirstSpeed + static_cast<int>(i));
    p.showCompletionTime = general(kShowTime) != 2;
    p.locatorDelay = general(kLocatorDelay);
    p.toolTips = general(kToolTips) != 2;
    p.dateFormat = general(kDateFormat);
    p.timeFormat = general(kTimeFormat);
    p.openMaximized = display(kFramePlace) == 0;
    return p;
}

bool writePreferences(const Preferences& p) {
    setGeneral(kToolTips, p.toolTips ? 1 : 2);
    setGeneral(kLocatorDelay, p.locatorDelay);
    setGeneral(kDefaultDatabase, static_cast<LONG>(p.defaultDatabase));
    setGeneral(kDateFormat, p.dateFormat);
    setGeneral(kTimeFormat, p.timeFormat);
    setGeneral(kDefaultFileType, p.defaultFileType);
    setDisplay(kMessageTab, p.messageBrowseTab);
    setDisplay(kMailTab, p.mailBrowseTab);
    std::string path = p.importPath;
    LONG size = static_cast<LONG>(path.size());
    Konfig(SetGeneral, kImportPath, &size, &path);
    setGeneral(kDefaultMailDatabase, static_cast<LONG>(p.defaultMailDatabase));

    // Each directory is made when it changed, and used from now on.
    bool ok = true;
    const std::pair<int, const std::string*> directories[] = {{kTempDirectory, &p.tempDirectory},
                                                              {kDatabaseDirectory, &p.databaseDirectory},
                                                              {kWordIndexDirectory, &p.wordIndexDirectory}};
    for (const auto& [item, wanted] : directories)
        if (!wanted->empty() && *wanted != directory(item) && !changeDirectory(item, *wanted)) ok = false;

    setDisplay(kTreeWithBrowse, p.treeWithBrowse ? 1 : 0);
    setDisplay(kTreeOnTop, p.treeOnTop ? 1 : 0);
    setDisplay(kRestrictFrom, p.restrictFrom);
    setDisplay(kRestrictTo, p.restrictTo);
    setDisplay(kTasksOff, p.tasksDeactivated ? 1 : 0);
    setDisplay(kFramePlace, p.openMaximized ? 0 : 1);
    setDisplay(kExitAfterTasks, p.exitAfterTasks ? 1 : 0);
    for (std::size_t i = 0; i < kPreferenceFonts.size(); ++i) {
        std::string name = p.fonts[i].name;
        LONG fontSize = p.fonts[i].size;
        Konfig(SetDisplay, kPreferenceFonts[i], &fontSize, &name);
    }
    for (std::size_t i = 0; i < kPreferenceColours.size(); ++i) setDisplay(kPreferenceColours[i], p.colours[i]);
    for (std::size_t i = 0; i < p.speeds.size(); ++i) setDisplay(kFirstSpeed + static_cast<int>(i), p.speeds[i]);
    setGeneral(kShowTime, p.showCompletionTime ? 1 : 2);
    loadSpeedValues();
    setGeneral(kTreeFormat, p.threadTreeFormat);

    if (p.resetWindowPlaces) {
        ok = saved(WindowPos(ResetPositions) && WindowPos2(ResetPositions) && WindowPos(SavePositions) &&
                       WindowPos2(SavePositions),
                   "window position") &&
             ok;
    }
    ok = saved(Konfig(SaveGeneral), "general") && ok;
    ok = saved(Konfig(SaveDisplay), "display") && ok;
    ok = saved(AutoPath(4), "directory") && ok;
    ok = saved(WSVars(4), "word search") && ok;
    return ok;
}

}  // namespace pm
