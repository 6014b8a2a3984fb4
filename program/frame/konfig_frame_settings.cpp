#include "frame/frame_settings.h"

#include "tables/config/browse_columns.h"
#include "tables/config/installation.h"
#include "tables/config/last_database.h"
#include "tables/config/settings.h"

namespace pm::frame {

namespace {

// The Konfig operations (get, set) of the block that holds `item`.
std::pair<int, int> operationsOf(int item) {
    if (item >= 61) return {GetOutput, SetOutput};
    if (item >= 22) return {GetDisplay, SetDisplay};
    return {GetGeneral, SetGeneral};
}

}  // namespace

LONG KonfigFrameSettings::value(int item) {
    LONG v = 0;
    Konfig(operationsOf(item).first, item, &v);
    return v;
}

void KonfigFrameSettings::setValue(int item, LONG value) { Konfig(operationsOf(item).second, item, &value); }

std::string KonfigFrameSettings::text(int item) {
    LONG size = 0;
    std::string t;
    Konfig(operationsOf(item).first, item, &size, &t);
    return t;
}

void KonfigFrameSettings::setText(int item, const std::string& text) {
    LONG size = static_cast<LONG>(text.size());
    std::string t = text;
    Konfig(operationsOf(item).second, item, &size, &t);
}

bool KonfigFrameSettings::saveGeneral() { return Konfig(SaveGeneral); }

bool KonfigFrameSettings::place(int slot, WindowPlace& place) {
    if (!WindowPos(GetPosition, slot, &place)) return false;
    return place.width > 0 && place.height > 0;
}

void KonfigFrameSettings::storePlace(int slot, const WindowPlace& place) {
    WindowPlace p = place;
    WindowPos(StorePosition, slot, &p);
}

bool KonfigFrameSettings::columns(int slot, ColumnWidths& widths) {
    if (!ListCol(ApplyColumns, slot, &widths)) return false;
    for (auto w : widths)
        if (w > 0) return true;
    return false;
}

void KonfigFrameSettings::storeColumns(int slot, const ColumnWidths& widths, int count) {
    ColumnWidths w = widths;
    ListCol(TakeColumns, slot, &w, count);
}

bool KonfigFrameSettings::saveWindowState() {
    const bool positions = WindowPos(SavePositions);
    const bool secondary = WindowPos2(SavePositions);
    const bool columns = ListCol(SaveColumns);
    const bool browseColumns = saveBrowseColumns();
    return positions && secondary && columns && browseColumns;
}

std::string KonfigFrameSettings::storedPath(int kind) {
    std::string path;
    if (kind == 1)
        AutoPath(3, 18, &path);
    else
        WSVars(3, 44, &path);
    return path;
}

bool KonfigFrameSettings::storeNewPath(int kind, const std::string& path) { return pm::storeNewPath(kind, path); }

ULONG KonfigFrameSettings::lastDatabase() { return lastActiveDatabase(); }

void KonfigFrameSettings::setLastDatabase(ULONG id) { rememberActiveDatabase(id); }

}  // namespace pm::frame
