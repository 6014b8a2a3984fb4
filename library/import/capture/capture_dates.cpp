#include "import/capture/capture_dates.h"

#include <string>

#include "common/dates.h"
#include "common/text.h"
#include "import/capture/capture_fields.h"
#include "import/internet/charset.h"
#include "import/internet/message_date.h"

namespace pm::capture {

namespace {

bool digit(char c) { return c >= '0' && c <= '9'; }

int twoDigits(std::string_view text, std::size_t index) {
    if (index + 2 > text.size() || !digit(text[index]) || !digit(text[index + 1])) return -1;
    return (text[index] - '0') * 10 + (text[index + 1] - '0');
}

// h:mm[:ss] or hh:mm[:ss] at the start of `text`; the seconds only when
// `seconds` allows them. -1 when the text has no such shape.
LONG readClock(std::string_view text, bool seconds) {
    std::string padded(text.substr(0, 8));
    if (padded.size() >= 2 && digit(padded[0]) && padded[1] == ':') padded.insert(0, "0");
    const int hours = twoDigits(padded, 0);
    if (hours < 0 || padded.size() < 5 || padded[2] != ':') return -1;
    const int minutes = twoDigits(padded, 3);
    if (minutes < 0) return -1;
    int secs = 0;
    if (seconds && padded.size() >= 8 && padded[5] == ':') {
        secs = twoDigits(padded, 6);
        if (secs < 0) secs = 0;
    }
    return inet::timeOfDay(hours, minutes, secs);
}

}  // namespace

LONG captureDate(std::string_view raw, const char* codePage) {
    std::string text(raw.substr(0, 11));
    if (text.size() >= 2 && digit(text[0]) && text[1] == '-') text.insert(0, "0");
    if (text.size() < 9) return 0;
    const int day = twoDigits(text, 0);
    int year = twoDigits(text, 7);
    if (day < 0 || year < 0) return 0;
    if (text.size() >= 11 && digit(text[9]) && digit(text[10])) year = year * 100 + twoDigits(text, 9);
    else year = inet::expandTwoDigitYear(year);
    const std::string monthName = toUpper(inet::toUtf8(std::string_view(text).substr(3, 3), codePage));
    const int month = inet::monthFromName(monthName);
    if (month == 0) return 0;
    return dayNumber(year, month, day);
}

DateLineDate dateOfDateLine(std::string_view line, const char* codePage) {
    std::size_t start = 5;
    if (charAt(line, start) == ' ') {
        if (charAt(line, 6) == ' ') return {};
        start = 6;
    }
    std::string_view text = textFrom(line, start, 11);
    const std::size_t length = charAt(line, start + 1) == '-' ? 8 : 9;
    const bool fourDigitYear = text.size() >= length + 2 && digit(text[length]) && digit(text[length + 1]);
    const std::size_t size = length + (fourDigitYear ? 2 : 0);
    DateLineDate result;
    result.date = captureDate(text.substr(0, size), codePage);
    result.end = start + size - 1;
    return result;
}

LONG timeHhMm(std::string_view line, std::size_t pos) {
    const LONG t = readClock(textFrom(line, pos, 5), false);
    return t < 0 || charAt(line, pos + 1) == ':' ? 0 : t;
}

LONG timeHhMmSs(std::string_view line, std::size_t pos) {
    std::string_view text = textFrom(line, pos, 8);
    if (text.size() < 8 || text[5] != ':' || text[1] == ':') return 0;
    const LONG t = readClock(text, true);
    return t < 0 ? 0 : t;
}

LONG timeAfter(std::string_view line, std::size_t after) {
    for (std::size_t pos = after + 1; pos <= after + 5; ++pos) {
        if (charAt(line, pos) == ' ') continue;
        const LONG t = readClock(textFrom(line, pos, 8), true);
        return t < 0 ? 0 : t;
    }
    return 0;
}

}  // namespace pm::capture
