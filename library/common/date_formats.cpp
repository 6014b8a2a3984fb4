#include "common/date_formats.h"

namespace pm {
namespace {

struct FormatEntry {
    LONG code;
    const char* description;
    const char* picture;
};

constexpr FormatEntry DateFormats[] = {
    {2, "mm-dd-yyyy", "@D2-"},
    {6, "dd-mm-yyyy", "@D6-"},
    {10, "yyyy-mm-dd", "@D10-"},
    {17, "Windows setting", "@D17"},
};

constexpr FormatEntry TimeFormats[] = {
    {1, "hh:mm", "@T1"},
    {3, "hh:mmXM", "@T3"},
    {7, "Windows setting", "@T7"},
};

template <std::size_t N>
LONG fill(const FormatEntry (&table)[N], LONG code, std::string& description, std::string& picture) {
    description.clear();
    picture.clear();
    for (const FormatEntry& entry : table) {
        if (entry.code == code) {
            description = entry.description;
            picture = entry.picture;
        }
    }
    return code;
}

template <std::size_t N>
LONG codeOf(const FormatEntry (&table)[N], std::string_view description) {
    for (const FormatEntry& entry : table)
        if (description == entry.description) return entry.code;
    return 0;
}

}  // namespace

LONG SetDate(LONG code, std::string& description, std::string& picture) {
    return fill(DateFormats, code, description, picture);
}

LONG SetTime(LONG code, std::string& description, std::string& picture) {
    return fill(TimeFormats, code, description, picture);
}

LONG dateFormatCode(std::string_view description) { return codeOf(DateFormats, description); }

LONG timeFormatCode(std::string_view description) { return codeOf(TimeFormats, description); }

}  // namespace pm
