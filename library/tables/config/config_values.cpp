// One settings item at a time, whichever service keeps it.
#include "tables/config/konfig_blocks.h"
#include "tables/config/settings.h"

namespace pm {

namespace {

struct Operations {
    int set, get, save;
};

Operations operationsOf(const konfig::Block& block) {
    if (&block == &konfig::generalBlock()) return {SetGeneral, GetGeneral, SaveGeneral};
    if (&block == &konfig::displayBlock()) return {SetDisplay, GetDisplay, SaveDisplay};
    return {SetOutput, GetOutput, SaveOutput};
}

bool isWordSearchByte(int item) { return item == 49 || (item >= 51 && item <= 56); }

}  // namespace

ConfigItemKind configItemKind(int item) {
    if (item == 17 || item == 18 || item == 44) return ConfigItemKind::Directory;
    if (isWordSearchByte(item)) return ConfigItemKind::Byte;
    if (item == 50) return ConfigItemKind::Number;
    const konfig::Block* block = konfig::blockOfItem(item);
    const konfig::Item* layout = block ? konfig::findItem(*block, item) : nullptr;
    if (!layout) return ConfigItemKind::None;
    switch (layout->kind) {
        case konfig::Kind::Number: return ConfigItemKind::Number;
        case konfig::Kind::Text: return ConfigItemKind::Text;
        case konfig::Kind::Font: return ConfigItemKind::Font;
    }
    return ConfigItemKind::None;
}

std::size_t configTextWidth(int item) {
    switch (configItemKind(item)) {
        case ConfigItemKind::Directory: return 100;
        case ConfigItemKind::Font: return konfig::kFontNameWidth;
        case ConfigItemKind::Text: return konfig::findItem(*konfig::blockOfItem(item), item)->width;
        default: return 0;
    }
}

LONG configValue(int item) {
    LONG value = 0;
    if (isWordSearchByte(item)) {
        BYTE b = 0;
        WSVars(3, item, nullptr, &b);
        return b;
    }
    if (item == 50) {
        WSVars(3, item, nullptr, nullptr, &value);
        return value;
    }
    konfig::Block* block = konfig::blockOfItem(item);
    if (!block) return 0;
    // Konfig itself refuses (or ends the program on) items the block lacks.
    Konfig(operationsOf(*block).get, item, &value);
    return value;
}

bool setConfigValue(int item, LONG value) {
    const ConfigItemKind kind = configItemKind(item);
    if (kind == ConfigItemKind::Byte || item == 50) {
        if (kind == ConfigItemKind::Byte && (value < 0 || value > 255)) return false;
        BYTE b = static_cast<BYTE>(value);
        return WSVars(2, item, nullptr, &b, &value) && WSVars(4);
    }
    if (kind != ConfigItemKind::Number && kind != ConfigItemKind::Font) return false;
    konfig::Block& block = *konfig::blockOfItem(item);
    const Operations ops = operationsOf(block);
    return Konfig(ops.set, item, &value) && Konfig(ops.save);
}

std::string configText(int item) {
    std::string text;
    switch (configItemKind(item)) {
        case ConfigItemKind::Directory:
            if (item == 44)
                WSVars(3, item, &text);
            else
                AutoPath(3, item, &text);
            break;
        case ConfigItemKind::Text:
        case ConfigItemKind::Font:
            Konfig(operationsOf(*konfig::blockOfItem(item)).get, item, nullptr, &text);
            break;
        default:
            break;
    }
    return text;
}

bool setConfigText(int item, const std::string& text) {
    switch (configItemKind(item)) {
        case ConfigItemKind::Directory:
            return changeDirectory(item, text);
        case ConfigItemKind::Text:
        case ConfigItemKind::Font: {
            const Operations ops = operationsOf(*konfig::blockOfItem(item));
            std::string t = text;
            return Konfig(ops.set, item, nullptr, &t) && Konfig(ops.save);
        }
        default:
            return false;
    }
}

}  // namespace pm
