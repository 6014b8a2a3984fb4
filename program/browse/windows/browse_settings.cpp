#include "browse/windows/browse_settings.h"

#include "common/date_formats.h"
#include "frame/frame_settings.h"
#include "tables/windows/catalog_model.h"

namespace pm {

namespace {

constexpr LONG kDefaultDateFormat = 17;
constexpr LONG kDefaultTimeFormat = 7;
constexpr LONG kDefaultFontSize = 8;

std::optional<QFont> fontOf(frame::FrameSettings& settings, int item) {
    const std::string name = settings.text(item);
    if (name.empty()) return std::nullopt;
    const LONG size = settings.value(item);
    return QFont(QString::fromStdString(name), size > 0 ? static_cast<int>(size) : kDefaultFontSize);
}

}  // namespace

long browseDateFormat(frame::FrameSettings& settings) {
    const LONG code = settings.value(frame::ItemDateFormat);
    return code != 0 ? code : kDefaultDateFormat;
}

BrowsePictures browsePictures(frame::FrameSettings& settings) {
    BrowsePictures p;
    std::string description;
    SetDate(static_cast<LONG>(browseDateFormat(settings)), description, p.date);
    const LONG time = settings.value(frame::ItemTimeFormat);
    SetTime(time != 0 ? time : kDefaultTimeFormat, description, p.time);
    return p;
}

BrowseLook browseLook(frame::FrameSettings& settings) {
    BrowseLook look;
    if (const LONG keep = settings.value(frame::ItemKeepColour); keep != 0) look.keep = colourFromRgbValue(keep);
    if (const LONG del = settings.value(frame::ItemDeleteColour); del != 0) look.del = colourFromRgbValue(del);
    look.listFont = fontOf(settings, ItemListFont);
    look.textFont = fontOf(settings, ItemTextFont);
    look.treeFont = fontOf(settings, ItemTreeFont);
    return look;
}

}  // namespace pm
