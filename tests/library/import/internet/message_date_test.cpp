#include "import/internet/message_date.h"

#include <gtest/gtest.h>

#include "common/dates.h"

namespace pm::inet {
namespace {

TEST(Calendar, DayNumbersAndTheirLimits) {
    EXPECT_EQ(dayNumber(1800, 12, 28), 0);  // before the first day
    EXPECT_EQ(dayNumber(1801, 1, 1), 4);
    EXPECT_EQ(dayNumber(1995, 5, 19), 70999);
    EXPECT_EQ(dayNumber(2000, 3, 1) - dayNumber(2000, 2, 28), 2);  // leap year
    EXPECT_EQ(dayNumber(1900, 3, 1) - dayNumber(1900, 2, 28), 1);  // no leap year
    EXPECT_EQ(dayNumber(1995, 2, 29), 0);
    EXPECT_EQ(dayNumber(1995, 13, 1), 0);
    EXPECT_EQ(dayNumber(1995, 4, 31), 0);
    EXPECT_EQ(dayNumber(10000, 1, 1), 0);
}

TEST(MessageDate, CenturyRule) {
    EXPECT_EQ(expandTwoDigitYear(0), 2000);
    EXPECT_EQ(expandTwoDigitYear(49), 2049);
    EXPECT_EQ(expandTwoDigitYear(50), 1950);
    EXPECT_EQ(expandTwoDigitYear(99), 1999);
    EXPECT_EQ(expandTwoDigitYear(102), 2002);
    EXPECT_EQ(expandTwoDigitYear(1995), 1995);
}

TEST(MessageDate, MonthNames) {
    struct Case {
        const char* name;
        int month;
    };
    const Case cases[] = {
        {"JAN", 1}, {"Jan", 1}, {"FEB", 2}, {"MAR", 3}, {"M\xC3\x84R", 3}, {"M\xC3\xA4r", 3},
        {"M\xC4R", 3}, {"APR", 4}, {"MAY", 5}, {"MAI", 5}, {"Mai", 5}, {"JUN", 6}, {"JUL", 7},
        {"AUG", 8}, {"SEP", 9}, {"OCT", 10}, {"OKT", 10}, {"NOV", 11}, {"DEC", 12}, {"DEZ", 12},
        {"June", 6}, {"jan", 0}, {"jAN", 0}, {"XYZ", 0}, {"JA", 0}, {"", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(monthFromName(c.name), c.month) << c.name;
}

TEST(MessageDate, Shapes) {
    struct Case {
        const char* text;
        int y, m, d, hh, mm, ss;  // y == 0: no date
        DateStyle style = DateStyle::Internet;
    };
    const Case cases[] = {
        // Shape 1, dashes or blanks, two- and four-digit years.
        {"12-Jan-95 10:11", 1995, 1, 12, 10, 11, 0},
        {"12 JAN 1995 10:11:12", 1995, 1, 12, 10, 11, 12},
        {"5 Jun 2003 23:59:59 +0200", 2003, 6, 5, 23, 59, 59},
        {"07-Okt-97", 1997, 10, 7, 0, 0, 0},
        // Shape 2: weekday, one-digit day, four-digit year, seconds and a
        // zone offset, which is not applied.
        {"Mon, 5 Jun 1995 22:30:45 -0800", 1995, 6, 5, 22, 30, 45},
        {"Thu, 21 Dec 2000 16:01:07 +0200 (EET)", 2000, 12, 21, 16, 1, 7},
        {"  tue, 02 mar 99 08:05 GMT", 1999, 3, 2, 8, 5, 0},
        {"Mi, 3 M\xC3\xA4r 1999 12:00:00 +0100", 1999, 3, 3, 12, 0, 0},
        {"Fr, 07 Mai 2004 09:15:00", 2004, 5, 7, 9, 15, 0},
        {"Sa, 4 Dez 1999 13:00", 1999, 12, 4, 13, 0, 0},
        // Shape 3: month first.
        {"Jan 12, 1995 10:11", 1995, 1, 12, 10, 11, 0},
        {"Jun 5, 96 7:05:09", 1996, 6, 5, 7, 5, 9},
        // Raw Latin-1 "M\xE4r".
        {"3 M\xE4r 1998", 1998, 3, 3, 0, 0, 0},
        // Pegasus: any weekday form, one-digit day.
        {"Monday, 5 Jun 95 10:20:30", 1995, 6, 5, 10, 20, 30, DateStyle::Pegasus},
        {"Tue, 6-Jun-95 8:00", 1995, 6, 6, 8, 0, 0, DateStyle::Pegasus},
        // Garbage and impossible dates.
        {"", 0, 0, 0, 0, 0, 0},
        {"yesterday", 0, 0, 0, 0, 0, 0},
        {"31 Feb 1995 10:00", 0, 0, 0, 0, 0, 0},
        {"12 Foo 1995", 0, 0, 0, 0, 0, 0},
        {"12 Jan 5", 0, 0, 0, 0, 0, 0},
        // Real-world shapes: asctime (with a zone before or after the year),
        // a weekday without its comma, month first with a two-digit year,
        // ISO 8601, AM/PM, obsolete years.
        {"Mon Jun  5 10:00:00 1995", 1995, 6, 5, 10, 0, 0},
        {"Wed Feb  1 19:06:09 2006", 2006, 2, 1, 19, 6, 9},
        {"Sat Sep  1 20:58 EDT 2001", 2001, 9, 1, 20, 58, 0},
        {"Thu Sep 13 12:30:05 2001 -0400", 2001, 9, 13, 12, 30, 5},
        {"Feb 1 19:06:09 2006", 2006, 2, 1, 19, 6, 9},
        {"Wed 1 Feb 2006 19:06:09 +0100", 2006, 2, 1, 19, 6, 9},
        {"Fri, Nov 01 02 15:01:05", 2002, 11, 1, 15, 1, 5},
        {"Sunday, February 5, 2006 10:00 PM", 2006, 2, 5, 22, 0, 0},
        {"Wed, 1 Feb 2006 12:30 am", 2006, 2, 1, 0, 30, 0},
        {"2006-02-01T19:06:09Z", 2006, 2, 1, 19, 6, 9},
        {"2006-02-01 19:06:09.250+01:00", 2006, 2, 1, 19, 6, 9},
        {"2006/2/1", 2006, 2, 1, 0, 0, 0},
        {"Wed, 1 Feb 106 19:06:09 GMT", 2006, 2, 1, 19, 6, 9},
        {"1 Feb 06 19:06 EST", 2006, 2, 1, 19, 6, 0},
        {"2006-13-01T19:06:09", 0, 0, 0, 0, 0, 0},
        {"Russia with love", 0, 0, 0, 0, 0, 0},
        {"Mon Jun  5 10:00:00 1995", 0, 0, 0, 0, 0, 0, DateStyle::Pegasus},
        // A valid date with an unreadable time keeps the date.
        {"12 Jan 1995 25:00", 1995, 1, 12, 0, 0, 0},
        {"12 Jan 1995 ab:cd", 1995, 1, 12, 0, 0, 0},
    };
    for (const Case& c : cases) {
        MessageDate got = parseMessageDate(c.text, c.style);
        LONG date = c.y ? dayNumber(c.y, c.m, c.d) : 0;
        LONG time = c.y ? ((c.hh * 60 + c.mm) * 60 + c.ss) * 100 : 0;
        EXPECT_EQ(got.date, date) << c.text;
        EXPECT_EQ(got.time, time) << c.text;
    }
}

}  // namespace
}  // namespace pm::inet
