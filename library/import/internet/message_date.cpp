#include "import/internet/message_date.h"

#include <string>

#include "common/dates.h"
#include "import/internet/charset.h"
#include "import/internet/text_case.h"

namespace pm::inet {

namespace {

struct Cursor {
    std::string_view s;
    std::size_t i = 0;

    bool atEnd() const { return i >= s.size(); }
    char peek() const { return atEnd() ? '\0' : s[i]; }
    void skipBlanks() {
        while (!atEnd() && isBlankOrTab(s[i])) ++i;
    }
    // Up to `maxDigits` digits; false when there is none.
    bool readNumber(std::size_t maxDigits, int& value, std::size_t& count) {
        value = 0;
        count = 0;
        while (!atEnd() && isAsciiDigit(s[i]) && count < maxDigits) {
            value = value * 10 + (s[i] - '0');
            ++i;
            ++count;
        }
        return count > 0;
    }
    std::string_view readLetters() {
        std::size_t start = i;
        while (!atEnd() && isAsciiLetter(s[i])) ++i;
        return s.substr(start, i - start);
    }
    // A date separator: blanks, or a dash with optional blanks around it.
    bool readSeparator() {
        std::size_t start = i;
        skipBlanks();
        if (peek() == '-') {
            ++i;
            skipBlanks();
        }
        return i > start;
    }
};

// Year of 2 to 4 digits, not followed by a further digit.
bool readYear(Cursor& c, int& year) {
    std::size_t count;
    if (!c.readNumber(4, year, count) || count < 2 || isAsciiDigit(c.peek())) return false;
    year = expandTwoDigitYear(year);
    return true;
}

// D MMM Y or D-MMM-Y.
bool readDayMonthYear(Cursor& c, int& day, int& month, int& year) {
    std::size_t count;
    if (!c.readNumber(2, day, count) || isAsciiDigit(c.peek())) return false;
    if (!c.readSeparator()) return false;
    month = monthFromName(c.readLetters());
    if (month == 0 || !c.readSeparator()) return false;
    return readYear(c, year);
}

// True when a time (digits and a colon) starts at the cursor.
bool timeFollows(const Cursor& c) {
    std::size_t i = c.i;
    while (i < c.s.size() && i - c.i < 2 && isAsciiDigit(c.s[i])) ++i;
    return i > c.i && i < c.s.size() && c.s[i] == ':';
}

// hh:mm[:ss], an "AM"/"PM" after it taken into account; -1 when there is
// no such time at the cursor, 0 for an impossible one.
LONG readClock(Cursor& c) {
    int h, m, s = 0;
    std::size_t count;
    if (!c.readNumber(2, h, count) || c.peek() != ':') return -1;
    ++c.i;
    if (!c.readNumber(2, m, count) || count != 2) return 0;
    if (c.peek() == ':') {
        ++c.i;
        if (!c.readNumber(2, s, count) || count != 2) s = 0;
    }
    if (s == 60) s = 59;  // a leap second
    // Fractions of a second ("19:06:09.25") are passed over.
    if (c.peek() == '.' || c.peek() == ',') {
        std::size_t next = c.i + 1;
        if (next < c.s.size() && isAsciiDigit(c.s[next])) {
            c.i = next;
            while (isAsciiDigit(c.peek())) ++c.i;
        }
    }
    Cursor ahead = c;
    ahead.skipBlanks();
    const std::string_view suffix = ahead.s.substr(ahead.i, 2);
    if ((suffix == "AM" || suffix == "PM") && !isAsciiLetter(ahead.s.size() > ahead.i + 2 ? ahead.s[ahead.i + 2] : ' ')) {
        if (h >= 1 && h <= 12) h = (h % 12) + (suffix == "PM" ? 12 : 0);
        c.i = ahead.i + 2;
    }
    LONG t = timeOfDay(h, m, s);
    return t < 0 ? 0 : t;
}

// Passes over a time zone: a name ("EDT", "GMT") or an offset ("-0400",
// "+01:00") after blanks.
void skipZone(Cursor& c) {
    Cursor ahead = c;
    ahead.skipBlanks();
    if (isAsciiLetter(ahead.peek())) {
        ahead.readLetters();
        c = ahead;
    } else if ((ahead.peek() == '+' || ahead.peek() == '-') && ahead.i + 1 < ahead.s.size() &&
               isAsciiDigit(ahead.s[ahead.i + 1])) {
        ++ahead.i;
        while (isAsciiDigit(ahead.peek()) || ahead.peek() == ':') ++ahead.i;
        c = ahead;
    }
}

// After a month name: "D, Y [time]", "D Y [time]" (month first with a
// two-digit year, "Nov 01 02 15:01:05") or the asctime order
// "D hh:mm[:ss] [zone] Y [zone]". The time is read here for the asctime
// order (`time` >= 0), else left to the caller.
bool readAfterMonth(Cursor& c, int& day, int& year, LONG& time) {
    c.skipBlanks();
    std::size_t count;
    if (!c.readNumber(2, day, count) || isAsciiDigit(c.peek())) return false;
    if (c.peek() == ',') ++c.i;
    c.skipBlanks();
    if (timeFollows(c)) {
        time = readClock(c);
        skipZone(c);
        c.skipBlanks();
        if (!readYear(c, year)) return false;
        skipZone(c);
        return true;
    }
    return readYear(c, year);
}

// Y-M-D or Y/M/D (ISO 8601 and its variants), a "T" or blanks before the
// time.
bool readYearMonthDay(Cursor& c, int& day, int& month, int& year) {
    std::size_t count;
    if (!c.readNumber(4, year, count) || count != 4) return false;
    const char separator = c.peek();
    if (separator != '-' && separator != '/') return false;
    ++c.i;
    if (!c.readNumber(2, month, count) || c.peek() != separator) return false;
    ++c.i;
    if (!c.readNumber(2, day, count) || isAsciiDigit(c.peek())) return false;
    if (c.peek() == 'T') ++c.i;
    return true;
}

// hh:mm[:ss] after blanks (a comma before it is tolerated); 0 when absent
// or impossible.
LONG readTime(Cursor& c) {
    c.skipBlanks();
    if (c.peek() == ',') {
        ++c.i;
        c.skipBlanks();
    }
    const LONG t = readClock(c);
    return t < 0 ? 0 : t;
}

// The date text as the shapes are tested on: no-charset rule, trimmed,
// upper-cased, German "Ä" read as "A" so that MÄR is MAR.
std::string normaliseDateText(std::string_view text) {
    std::string utf8 = toUtf8Fallback(text);
    std::string_view t = trim(utf8);
    std::string out;
    out.reserve(t.size());
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (t[i] == '\xC3' && i + 1 < t.size() && (t[i + 1] == '\x84' || t[i + 1] == '\xA4')) {
            out.push_back('A');
            ++i;
        } else {
            out.push_back(asciiUpper(t[i]));
        }
    }
    return out;
}

}  // namespace

int expandTwoDigitYear(int year) {
    if (year < 0) return year;
    if (year < 50) return 2000 + year;
    if (year < 1000) return 1900 + year;
    return year;
}

int monthFromName(std::string_view name) {
    // Three letters, "Ä"/"ä" (UTF-8 or a single Latin-1 byte) counting as A/a.
    char letters[3];
    std::size_t n = 0;
    for (std::size_t i = 0; i < name.size() && n < 3; ++i) {
        char c = name[i];
        if (c == '\xC3' && i + 1 < name.size() && (name[i + 1] == '\x84' || name[i + 1] == '\xA4')) {
            letters[n++] = name[i + 1] == '\x84' ? 'A' : 'a';
            ++i;
        } else if (c == '\xC4' || c == '\xE4') {
            letters[n++] = c == '\xC4' ? 'A' : 'a';
        } else if (isAsciiLetter(c)) {
            letters[n++] = c;
        } else {
            return 0;
        }
    }
    if (n < 3) return 0;
    auto upper = [](char c) { return c >= 'A' && c <= 'Z'; };
    auto lower = [](char c) { return c >= 'a' && c <= 'z'; };
    if (!upper(letters[0])) return 0;
    if (!((upper(letters[1]) && upper(letters[2])) || (lower(letters[1]) && lower(letters[2]))))
        return 0;
    std::string key{letters[0], asciiUpper(letters[1]), asciiUpper(letters[2])};
    static constexpr std::string_view kNames[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                                  "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
    for (int m = 0; m < 12; ++m)
        if (key == kNames[m]) return m + 1;
    if (key == "MAI") return 5;
    if (key == "OKT") return 10;
    if (key == "DEZ") return 12;
    return 0;
}

LONG timeOfDay(int hours, int minutes, int seconds) {
    if (hours < 0 || hours > 23 || minutes < 0 || minutes > 59 || seconds < 0 || seconds > 59)
        return -1;
    return ((hours * 60 + minutes) * 60 + seconds) * 100;
}

MessageDate parseMessageDate(std::string_view text, DateStyle style) {
    std::string t = normaliseDateText(text);
    Cursor c{t};
    int day = 0, month = 0, year = 0;
    LONG time = -1;  // read with the date (asctime order), else after it
    bool ok = false;

    if (isAsciiLetter(c.peek())) {
        std::string_view word = c.readLetters();
        const int leadingMonth = monthFromName(word);
        if (leadingMonth != 0 && style == DateStyle::Internet) {
            // Month first: "Jan 12, 1995", "Feb  1 19:06:09 2006".
            month = leadingMonth;
            ok = readAfterMonth(c, day, year, time);
        } else {
            // A weekday, with or without its comma (Pegasus writes any
            // weekday form, always with the comma).
            const bool comma = c.peek() == ',';
            if (comma || style == DateStyle::Internet) {
                if (comma) ++c.i;
                c.skipBlanks();
                if (isAsciiDigit(c.peek())) {
                    ok = readDayMonthYear(c, day, month, year);
                } else if (style == DateStyle::Internet && isAsciiLetter(c.peek())) {
                    month = monthFromName(c.readLetters());
                    ok = month != 0 && readAfterMonth(c, day, year, time);
                }
            }
        }
    } else if (isAsciiDigit(c.peek())) {
        Cursor iso = c;
        if (readYearMonthDay(iso, day, month, year)) {
            c = iso;
            ok = true;
        } else {
            ok = readDayMonthYear(c, day, month, year);
        }
    }
    if (!ok) return {};

    MessageDate result;
    result.date = dayNumber(year, month, day);
    if (result.date == 0) return {};
    result.time = time >= 0 ? time : readTime(c);
    return result;
}

}  // namespace pm::inet
