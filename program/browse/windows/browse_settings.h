#pragma once
// The settings the browse windows read: date and time formats, status
// colours, fonts, the default tabs and the thread tree's options.
#include <QColor>
#include <QFont>
#include <optional>
#include <string>

namespace pm::frame {
class FrameSettings;
}

namespace pm {

// Settings items of the browses and the thread tree.
enum BrowseItem : int {
    ItemTreeLineFormat = 16,     // thread tree line format, 1-5
    ItemListFont = 33,           // font of the lists (name and size)
    ItemTextFont = 35,           // font of the message text pane
    ItemTreeFont = 36,           // font of the thread tree
    ItemTreeOnTop = 37,          // the thread tree floats on top
    ItemDefaultMessageTab = 38,  // the message browse's first view, 1-7
    ItemDefaultMailTab = 39,     // the mail browse's first view, 1-5
    ItemTreeWithBrowse = 40,     // the thread tree opens with the message browse
};

struct BrowsePictures {
    std::string date;  // picture of the date format (item 10)
    std::string time;  // picture of the time format (item 13)
};
// A stored 0 reads as the default format (17, 7), as at load.
BrowsePictures browsePictures(frame::FrameSettings& settings);
// The date format code (item 10; 0 reads as 17).
long browseDateFormat(frame::FrameSettings& settings);

struct BrowseLook {
    QColor keep{0, 0, 128};
    QColor del{255, 0, 0};
    std::optional<QFont> listFont, textFont, treeFont;
};
BrowseLook browseLook(frame::FrameSettings& settings);

}  // namespace pm
