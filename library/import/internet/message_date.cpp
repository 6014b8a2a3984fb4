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

// MMM D, Y
bool readMonthDayYear(Cursor& c, int& day, int& month, int& year) {
    month = monthFromName(c.readLetters());
    if (month == 0) return false;
    c.skipBlanks();
    std::size_t count;
    if (!c.readNumber(2, day, count) || c.peek() != ',') return false;
    ++c.i;
    c.skipBlanks();
    return readYear(c, year);
}

// hh:mm[:ss] after blanks (a comma before it is tolerated); 0 when absent
// or impossible.
LONG readTime(Cursor& c) {
    c.skipBlanks();
    if (c.peek() == ',') {
        ++c.i;
        c.skipBlanks();
    }
    int h, m, s = 0;
    std::size_t count;
    if (!c.readNumber(2, h, count) || c.peek() != ':') return 0;
    ++c.i;
    if (!c.readNumber(2, m, count) || count != 2) return 0;
    if (c.peek() == ':') {
        ++c.i;
        if (!c.readNumber(2, s, count) || count != 2) s = 0;
    }
    if (s == 60) s = 59;  // a leap second
    LONG t = timeOfDay(h, m, s);
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
    bool ok = false;

    if (isAsciiLetter(c.peek())) {
        std::size_t start = c.i;
        std::string_view word = c.readLetters();
        if (c.peek() == ',') {
            // A weekday: "Mon, 5 Jun 1995 ..." (Pegasus writes any weekday
            // form this way too).
            ++c.i;
            c.skipBlanks();
            ok = readDayMonthYear(c, day, month, year);
        } else if (style == DateStyle::Internet && !word.empty()) {
            c.i = start;
            ok = readMonthDayYear(c, day, month, year);
        }
    } else if (isAsciiDigit(c.peek())) {
        ok = readDayMonthYear(c, day, month, year);
    }
    if (!ok) return {};

    MessageDate result;
    result.date = dayNumber(year, month, day);
    if (result.date == 0) return {};
    result.time = readTime(c);
    return result;
}

}  // namespace pm::inet
