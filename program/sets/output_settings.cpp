#include "sets/output_settings.h"

#include <algorithm>

#include "common/text.h"
#include "tables/config/settings.h"

namespace pm {

namespace {

int layoutItem(BYTE type) {
    return type == TypeMail ? OutputMailLayoutItem : type == TypeNewsgroup ? OutputNewsLayoutItem : OutputForumLayoutItem;
}

OutputLayout defaultLayout(BYTE type) { return type == TypeNewsgroup ? OutputLayout::UnixRfc822 : OutputLayout::Tapcis; }

std::string blankDefault(const std::string& name, const std::string& fallback) {
    const std::string_view t = trim(name);
    return t.empty() ? fallback : std::string(t);
}

}  // namespace

std::vector<OutputLayout> offeredLayouts(BYTE type) {
    using L = OutputLayout;
    switch (type) {
        case TypeMail: return {L::Eudora, L::OzWin2, L::Tapcis, L::UnixRfc822};
        case TypeNewsgroup: return {L::UnixRfc822};
        default: return {L::OzWin2, L::Tapcis};
    }
}

bool layoutOffered(OutputLayout layout, BYTE type) {
    const auto offered = offeredLayouts(type);
    return std::find(offered.begin(), offered.end(), layout) != offered.end();
}

OutputLayout configuredLayout(BYTE type) {
    const auto layout = static_cast<OutputLayout>(configValue(layoutItem(type)));
    return layoutOffered(layout, type) ? layout : defaultLayout(type);
}

bool setConfiguredLayout(BYTE type, OutputLayout layout) {
    if (!layoutOffered(layout, type)) return false;
    return setConfigValue(layoutItem(type), static_cast<LONG>(layout));
}

OutputStyle configuredStyle() {
    OutputStyle style;
    const LONG width = configValue(OutputLineWidthItem);
    style.lineWidth = width > 0 ? static_cast<int>(width) : 78;
    style.rewrap = configValue(OutputCopyStyleItem) == 1;
    return style;
}

bool twoFileLayout(BYTE type, OutputLayout layout) { return type == TypeMail && layout != OutputLayout::Tapcis; }

OutputFiles defaultOutputFiles(BYTE type, OutputLayout layout) {
    if (type != TypeMail) return {"SaveMsg.Txt", ""};
    if (layout == OutputLayout::Tapcis) return {"SaveMail.Txt", ""};
    return {"InBox.Mbx", "OutBox.Mbx"};
}

OutputFiles offeredOutputFiles(BYTE type, OutputLayout layout, const std::string& description) {
    switch (layout) {
        case OutputLayout::Tapcis: return {type == TypeForum ? "SaveMsg.Txt" : "SaveMail.Txt", ""};
        case OutputLayout::OzWin2: {
            if (type == TypeMail) return {"CISMAIL.IN", "CISMAIL.OUT"};
            // The first eight characters of the database name, as a file name.
            std::string stem;
            for (char c : description) {
                if (stem.size() == 8) break;
                if (c != '/' && c != ' ' && c != '\\') stem += c;
            }
            return {(stem.empty() ? std::string("FORUM") : stem) + ".SAV", ""};
        }
        case OutputLayout::Eudora: return {"InBox.MBX", "OutBox.MBX"};
        case OutputLayout::UnixRfc822:
            if (type == TypeMail) return {"InBox.MBX", "OutBox.MBX"};
            return {"SaveMsg.TXT", ""};
    }
    return defaultOutputFiles(type, layout);
}

std::string checkOutputFiles(BYTE type, OutputLayout layout, const OutputFiles& files, std::string& caption,
                             bool secondUsed) {
    const OutputFiles defaults = defaultOutputFiles(type, layout);
    const std::string first = blankDefault(files.first, defaults.first);
    const std::string second = blankDefault(files.second, defaults.second);
    auto hasPath = [](const std::string& name) {
        return name.find('/') != std::string::npos || name.find('\\') != std::string::npos ||
               name.find(':') != std::string::npos || name == "." || name == "..";
    };
    const bool two = secondUsed && twoFileLayout(type, layout);
    if (hasPath(first) || (two && hasPath(second))) {
        caption = "Filename error";
        return "Do not include the path, just the filename!";
    }
    if (two && equalsCaseless(first, second)) {
        caption = "Filename error";
        return "The files for received and sent mail must have different names.";
    }
    return {};
}

}  // namespace pm
