#include "common/date_pictures.h"

#include <fmt/format.h>

#include <cctype>
#include <ctime>
#include <vector>

#include "common/dates.h"

namespace pm {
namespace {

enum class Picture { None, D2, D6, D10, D17, D18, T1, T3, T4, T7 };

Picture pictureOf(std::string_view picture) {
    while (!picture.empty() && picture.front() == ' ') picture.remove_prefix(1);
    while (!picture.empty() && picture.back() == ' ') picture.remove_suffix(1);
    if (!picture.empty() && picture.front() == '@') picture.remove_prefix(1);
    std::string upper;
    for (char c : picture) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (upper == "D2-") return Picture::D2;
    if (upper == "D6-") return Picture::D6;
    if (upper == "D10-") return Picture::D10;
    if (upper == "D17") return Picture::D17;
    if (upper == "D18") return Picture::D18;
    if (upper == "T1") return Picture::T1;
    if (upper == "T3") return Picture::T3;
    if (upper == "T4") return Picture::T4;
    if (upper == "T7") return Picture::T7;
    return Picture::None;
}

bool isBlank(std::string_view text) {
    for (char c : text)
        if (!std::isspace(static_cast<unsigned char>(c))) return false;
    return true;
}

std::string_view trim(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    return text;
}

// strftime over a day and time with the locale's own conventions.
std::string localeFormat(LONG day, LONG time, const char* format) {
    std::tm tm{};
    if (day != 0) {
        const CalendarDate date = calendarDate(day);
        tm.tm_year = date.year - 1900;
        tm.tm_mon = date.month - 1;
        tm.tm_mday = date.day;
        tm.tm_wday = dayOfWeek(day);
        tm.tm_yday = static_cast<int>(day - dayNumber(date.year, 1, 1));
    } else {
        tm.tm_year = 100;
        tm.tm_mday = 1;
    }
    const TimeOfDay parts = timeOfDay(time);
    tm.tm_hour = parts.hour;
    tm.tm_min = parts.minute;
    tm.tm_sec = parts.second;
    tm.tm_isdst = -1;
    char buffer[128];
    const std::size_t n = std::strftime(buffer, sizeof buffer, format, &tm);
    return std::string(buffer, n);
}

// strptime over the whole text; false when the text does not match or
// something other than blanks follows.
bool localeParse(std::string_view text, const char* format, std::tm& tm) {
    const std::string copy(trim(text));
    tm = std::tm{};
    tm.tm_mday = 1;
    const char* end = strptime(copy.c_str(), format, &tm);
    return end != nullptr && isBlank(end);
}

// Splits "12-31-1999" style text into its digit runs; false unless the text
// is exactly `count` runs of digits with one separator between them.
bool splitNumbers(std::string_view text, std::size_t count, std::string_view separators,
                  std::vector<std::string_view>& parts) {
    parts.clear();
    std::size_t i = 0;
    while (true) {
        const std::size_t start = i;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i;
        if (i == start || i - start > 4) return false;
        parts.push_back(text.substr(start, i - start));
        if (i == text.size()) break;
        if (separators.find(text[i]) == std::string_view::npos) return false;
        ++i;
    }
    return parts.size() == count;
}

int toInt(std::string_view digits) {
    int value = 0;
    for (char c : digits) value = value * 10 + (c - '0');
    return value;
}

}  // namespace

bool isDatePicture(std::string_view picture) {
    const Picture p = pictureOf(picture);
    return p == Picture::D2 || p == Picture::D6 || p == Picture::D10 || p == Picture::D17 || p == Picture::D18;
}

bool isTimePicture(std::string_view picture) {
    const Picture p = pictureOf(picture);
    return p == Picture::T1 || p == Picture::T3 || p == Picture::T4 || p == Picture::T7;
}

std::string formatDate(LONG day, std::string_view picture) {
    if (!isValidDay(day)) return {};
    const CalendarDate d = calendarDate(day);
    switch (pictureOf(picture)) {
    case Picture::D2: return fmt::format("{:02}-{:02}-{:04}", d.month, d.day, d.year);
    case Picture::D6: return fmt::format("{:02}-{:02}-{:04}", d.day, d.month, d.year);
    case Picture::D10: return fmt::format("{:04}-{:02}-{:02}", d.year, d.month, d.day);
    case Picture::D17: return localeFormat(day, 0, "%x");
    // The long date: weekday, day, month name and year in the locale's words.
    case Picture::D18: return localeFormat(day, 0, "%A, %e %B %Y");
    default: return {};
    }
}

std::string formatTime(LONG time, std::string_view picture) {
    if (!isValidTime(time)) return {};
    const TimeOfDay t = timeOfDay(time);
    switch (pictureOf(picture)) {
    case Picture::T1: return fmt::format("{:02}:{:02}", t.hour, t.minute);
    case Picture::T3: {
        const int hour12 = t.hour % 12 == 0 ? 12 : t.hour % 12;
        return fmt::format("{:02}:{:02}{}", hour12, t.minute, t.hour < 12 ? "AM" : "PM");
    }
    case Picture::T4: return fmt::format("{:02}:{:02}:{:02}", t.hour, t.minute, t.second);
    case Picture::T7: return localeFormat(0, time, "%X");
    default: return {};
    }
}

std::optional<LONG> parseDate(std::string_view text, std::string_view picture) {
    const Picture p = pictureOf(picture);
    if (!isDatePicture(picture)) return std::nullopt;
    if (isBlank(text)) return 0;
    if (p == Picture::D17 || p == Picture::D18) {
        std::tm tm{};
        if (!localeParse(text, p == Picture::D17 ? "%x" : "%A, %e %B %Y", tm)) return std::nullopt;
        const LONG day = dayNumber(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday);
        return day ? std::optional<LONG>(day) : std::nullopt;
    }
    std::vector<std::string_view> parts;
    if (!splitNumbers(trim(text), 3, "-/.", parts)) return std::nullopt;
    // Positions of year, month and day in the typed text.
    const int order[3][3] = {{2, 0, 1}, {2, 1, 0}, {0, 1, 2}};
    const int* at = order[p == Picture::D2 ? 0 : p == Picture::D6 ? 1 : 2];
    // The year is written out in full: a short one would silently land in antiquity.
    if (parts[at[0]].size() != 4 || parts[at[1]].size() > 2 || parts[at[2]].size() > 2)
        return std::nullopt;
    const int year = toInt(parts[at[0]]), month = toInt(parts[at[1]]), day = toInt(parts[at[2]]);
    const LONG number = dayNumber(year, month, day);
    return number ? std::optional<LONG>(number) : std::nullopt;
}

std::optional<LONG> parseTime(std::string_view text, std::string_view picture) {
    const Picture p = pictureOf(picture);
    if (!isTimePicture(picture)) return std::nullopt;
    if (isBlank(text)) return 0;
    if (p == Picture::T7) {
        std::tm tm{};
        if (!localeParse(text, "%X", tm)) return std::nullopt;
        const LONG time = timeOf(tm.tm_hour, tm.tm_min, tm.tm_sec > 59 ? 59 : tm.tm_sec);
        return time >= 0 ? std::optional<LONG>(time) : std::nullopt;
    }
    std::string_view rest = trim(text);
    int meridiem = 0;  // 0 none, 1 AM, 2 PM
    if (p == Picture::T3 && rest.size() >= 2) {
        const char a = static_cast<char>(std::toupper(static_cast<unsigned char>(rest[rest.size() - 2])));
        const char m = static_cast<char>(std::toupper(static_cast<unsigned char>(rest.back())));
        if (m == 'M' && (a == 'A' || a == 'P')) {
            meridiem = a == 'A' ? 1 : 2;
            rest = trim(rest.substr(0, rest.size() - 2));
        }
    }
    std::vector<std::string_view> parts;
    if (!splitNumbers(rest, 2, ":", parts) && !splitNumbers(rest, 3, ":", parts)) return std::nullopt;
    if (parts[0].size() > 2) return std::nullopt;
    for (std::size_t i = 1; i < parts.size(); ++i)
        if (parts[i].size() != 2) return std::nullopt;
    int hour = toInt(parts[0]);
    if (meridiem != 0) {
        if (hour < 1 || hour > 12) return std::nullopt;
        hour = hour % 12 + (meridiem == 2 ? 12 : 0);
    }
    const LONG time = timeOf(hour, toInt(parts[1]), parts.size() == 3 ? toInt(parts[2]) : 0);
    return time >= 0 ? std::optional<LONG>(time) : std::nullopt;
}

}  // namespace pm
