#include "wordindex/character_class.h"

namespace pm {

int windows1252Code(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
    switch (cp) {
        case 0x20AC: return 128;  // euro sign
        case 0x0081: return 129;
        case 0x201A: return 130;  // single low-9 quotation mark
        case 0x0192: return 131;  // f with hook
        case 0x201E: return 132;  // double low-9 quotation mark
        case 0x2026: return 133;  // horizontal ellipsis
        case 0x2020: return 134;  // dagger
        case 0x2021: return 135;  // double dagger
        case 0x02C6: return 136;  // modifier circumflex
        case 0x2030: return 137;  // per mille
        case 0x0160: return 138;  // S caron
        case 0x2039: return 139;  // single left angle quotation mark
        case 0x0152: return 140;  // OE
        case 0x008D: return 141;
        case 0x017D: return 142;  // Z caron
        case 0x008F: return 143;
        case 0x0090: return 144;
        case 0x2018: return 145;  // left single quotation mark
        case 0x2019: return 146;  // right single quotation mark
        case 0x201C: return 147;  // left double quotation mark
        case 0x201D: return 148;  // right double quotation mark
        case 0x2022: return 149;  // bullet
        case 0x2013: return 150;  // en dash
        case 0x2014: return 151;  // em dash
        case 0x02DC: return 152;  // small tilde
        case 0x2122: return 153;  // trade mark
        case 0x0161: return 154;  // s caron
        case 0x203A: return 155;  // single right angle quotation mark
        case 0x0153: return 156;  // oe
        case 0x009D: return 157;
        case 0x017E: return 158;  // z caron
        case 0x0178: return 159;  // Y diaeresis
        default: return -1;
    }
}

}  // namespace pm
