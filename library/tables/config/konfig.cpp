// Konfig: the general, display and output settings by item number.
#include "tables/config/konfig_blocks.h"
#include "tables/config/settings.h"

namespace pm {

using konfig::Block;
using konfig::Item;
using konfig::Kind;

namespace {

bool setItem(Block& block, const Item& item, const LONG* value, const std::string* text) {
    switch (item.kind) {
        case Kind::Number:
            if (!value) return false;
            setBlockLong(block.memory, item.offset, *value);
            return true;
        case Kind::Text:
            if (!text) return false;
            setBlockText(block.memory, item.offset, item.width, *text);
            return true;
        case Kind::Font:
            if (!text && !value) return false;
            if (text) setBlockText(block.memory, item.offset, konfig::kFontNameWidth, *text);
            if (value) setBlockLong(block.memory, item.offset + konfig::kFontNameWidth, *value);
            return true;
    }
    return false;
}

bool getItem(const Block& block, const Item& item, LONG* value, std::string* text) {
    switch (item.kind) {
        case Kind::Number:
            if (!value) return false;
            *value = blockLong(block.memory, item.offset);
            return true;
        case Kind::Text:
            if (!text) return false;
            *text = blockText(block.memory, item.offset, item.width);
            return true;
        case Kind::Font:
            if (!text && !value) return false;
            if (text) *text = blockText(block.memory, item.offset, konfig::kFontNameWidth);
            if (value) *value = blockLong(block.memory, item.offset + konfig::kFontNameWidth);
            return true;
    }
    return false;
}

}  // namespace

bool Konfig(int operation, int item, LONG* value, std::string* text) {
    Block* block = konfig::blockOfOperation(operation);
    if (!block) return false;
    switch (operation) {
        case LoadGeneral: case LoadDisplay: case LoadOutput:
            return konfig::loadBlock(*block);
        case SaveGeneral: case SaveDisplay: case SaveOutput:
            return konfig::saveBlock(*block);
        default:
            break;
    }
    const Item* layout = konfig::findItem(*block, item);
    if (!layout) {
        if (block->unknownIsFatal) fatalInvalidItem();
        return false;
    }
    if (!konfig::ensureLoaded(*block)) return false;
    const bool isSet = operation == SetGeneral || operation == SetDisplay || operation == SetOutput;
    return isSet ? setItem(*block, *layout, value, text) : getItem(*block, *layout, value, text);
}

}  // namespace pm
