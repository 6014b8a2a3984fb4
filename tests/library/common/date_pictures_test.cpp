// Date and time pictures and the format codes behind them.
#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "common/date_formats.h"
#include "common/date_pictures.h"
#include "common/dates.h"

namespace pm {
namespace {

const LONG May19 = 70999;  // 19 May 1995

struct DateCase {
    const char* picture;
    LONG day;
    const char* shown;
};

TEST(DatePictures, FixedDatePicturesFormatAndReadBack) {
    const DateCase cases[] = {
        {"@D2-", May19, "05-19-1995"},     {"@D6-", May19, "19-05-1995"},
        {"@D10-", May19, "1995-05-19"},    {"@d10-", 4, "1801-01-01"},
        {"@D2-", 1, "12-29-1800"},         {"@D6-", 72746, "29-02-2000"},
        {"D10-", LastDayNumber, "9999-12-31"},
    };
    for (const DateCase& c : cases) {
        SCOPED_TRACE(c.picture);
        EXPECT_EQ(formatDate(c.day, c.picture), c.shown);
        EXPECT_EQ(parseDate(c.shown, c.picture), c.day);
    }
}

TEST(DatePictures, NothingIsShownForNoDateOrAnUnknownPicture) {
    for (const char* picture : {"@D2-", "@D6-", "@D10-", "@D17"}) {
        EXPECT_EQ(formatDate(0, picture), "") << picture;
        EXPECT_EQ(formatDate(-5, picture), "") << picture;
    }
    for (const char* picture : {"", "@D2", "@T1", "@N10", "D99-"})
        EXPECT_EQ(formatDate(May19, picture), "") << picture;
    for (const char* picture : {"", "@T2", "@T5", "@D2-"})
        EXPECT_EQ(formatTime(timeOf(10, 0, 0), picture), "") << picture;
    EXPECT_EQ(formatTime(HundredthsPerDay, "@T1"), "");
    EXPECT_EQ(formatTime(-1, "@T1"), "");
}

TEST(DatePictures, TypedDatesAreCheckedAndBlankMeansNoDate) {
    EXPECT_EQ(parseDate("", "@D6-"), 0);
    EXPECT_EQ(parseDate("   ", "@D2-"), 0);
    EXPECT_EQ(parseDate("5/19/1995", "@D2-"), May19);
    EXPECT_EQ(parseDate(" 19.5.1995 ", "@D6-"), May19);
    const struct {
        const char* text;
        const char* picture;
    } rejected[] = {
        {"02-29-1900", "@D2-"}, {"31-04-1995", "@D6-"}, {"1995-13-01", "@D10-"},
        {"05-19-95", "@D2-"},   {"19-05-1995x", "@D6-"}, {"19--05-1995", "@D6-"},
        {"May 19 1995", "@D2-"}, {"1995-05-019", "@D10-"}, {"12-28-1800", "@D2-"},
        {"19-05-1995", "@T1"},   {"19-05-1995", "@D18"},
    };
    for (const auto& r : rejected) EXPECT_EQ(parseDate(r.text, r.picture), std::nullopt) << r.text;
}

struct TimeCase {
    const char* picture;
    LONG time;
    const char* shown;
};

TEST(DatePictures, FixedTimePicturesFormatAndReadBack) {
    const TimeCase cases[] = {
        {"@T1", timeOf(0, 0, 0), "00:00"},   {"@T1", timeOf(9, 5, 0), "09:05"},
        {"@T1", timeOf(23, 59, 0), "23:59"}, {"@T3", timeOf(0, 15, 0), "12:15AM"},
        {"@T3", timeOf(9, 5, 0), "09:05AM"}, {"@T3", timeOf(12, 0, 0), "12:00PM"},
        {"@T3", timeOf(17, 30, 0), "05:30PM"},
    };
    for (const TimeCase& c : cases) {
        SCOPED_TRACE(c.shown);
        EXPECT_EQ(formatTime(c.time, c.picture), c.shown);
        EXPECT_EQ(parseTime(c.shown, c.picture), c.time);
    }
    // Seconds and hundredths are not shown.
    EXPECT_EQ(formatTime(timeOf(17, 30, 59, 99), "@T1"), "17:30");
}

TEST(DatePictures, TypedTimesAreChecked) {
    EXPECT_EQ(parseTime("", "@T1"), 0);
    EXPECT_EQ(parseTime("8:00", "@T1"), timeOf(8, 0, 0));
    EXPECT_EQ(parseTime("08:00:30", "@T1"), timeOf(8, 0, 30));
    EXPECT_EQ(parseTime("5:30 pm", "@T3"), timeOf(17, 30, 0));
    EXPECT_EQ(parseTime("17:30", "@T3"), timeOf(17, 30, 0));
    for (const char* text : {"24:00", "12:60", "12", "12:5", "1:30PM", "abc", "12:00:00:00"})
        EXPECT_EQ(parseTime(text, "@T1"), std::nullopt) << text;
    for (const char* text : {"13:00PM", "0:30AM"})
        EXPECT_EQ(parseTime(text, "@T3"), std::nullopt) << text;
}

TEST(DatePictures, SystemPicturesFollowTheLocale) {
    // The exact text belongs to the locale; it must show something and, in
    // whatever locale the environment names, read back to the same value.
    const std::string saved = std::setlocale(LC_TIME, nullptr);
    std::setlocale(LC_TIME, "");
    const std::string date = formatDate(May19, "@D17");
    const std::string time = formatTime(timeOf(17, 30, 0), "@T7");
    EXPECT_FALSE(date.empty());
    EXPECT_FALSE(time.empty());
    EXPECT_EQ(parseDate(date, "@D17"), May19);
    EXPECT_EQ(parseTime(time, "@T7"), timeOf(17, 30, 0));
    EXPECT_EQ(parseDate("not a date", "@D17"), std::nullopt);
    const std::string longDate = formatDate(May19, "@D18");
    EXPECT_NE(longDate.find("1995"), std::string::npos) << longDate;
    EXPECT_EQ(parseDate(longDate, "@D18"), May19);
    std::setlocale(LC_TIME, saved.c_str());
}

TEST(DatePictures, TimeWithSeconds) {
    EXPECT_EQ(formatTime(timeOf(7, 5, 9, 99), "@T4"), "07:05:09");
    EXPECT_EQ(parseTime("23:59:59", "@T4"), timeOf(23, 59, 59));
    EXPECT_EQ(parseTime("24:00:00", "@T4"), std::nullopt);
}

TEST(DateFormats, CodesGiveDescriptionAndPicture) {
    const struct {
        LONG code;
        const char* description;
        const char* picture;
    } dates[] = {{2, "mm-dd-yyyy", "@D2-"}, {6, "dd-mm-yyyy", "@D6-"},
                 {10, "yyyy-mm-dd", "@D10-"}, {17, "Windows setting", "@D17"}},
      times[] = {{1, "hh:mm", "@T1"}, {3, "hh:mmXM", "@T3"}, {7, "Windows setting", "@T7"}};
    std::string description, picture;
    for (const auto& d : dates) {
        EXPECT_EQ(SetDate(d.code, description, picture), d.code);
        EXPECT_EQ(description, d.description);
        EXPECT_EQ(picture, d.picture);
        EXPECT_TRUE(isDatePicture(picture));
        EXPECT_EQ(dateFormatCode(d.description), d.code);
    }
    for (const auto& t : times) {
        EXPECT_EQ(SetTime(t.code, description, picture), t.code);
        EXPECT_EQ(description, t.description);
        EXPECT_EQ(picture, t.picture);
        EXPECT_TRUE(isTimePicture(picture));
        EXPECT_EQ(timeFormatCode(t.description), t.code);
    }
    // A code that is not offered clears what a previous call left behind.
    for (LONG code : {0, 1, 3, 7, 18}) {
        EXPECT_EQ(SetDate(code, description, picture), code);
        EXPECT_EQ(description, "");
        EXPECT_EQ(picture, "");
        EXPECT_EQ(formatDate(May19, picture), "");
    }
    SetTime(2, description, picture);
    EXPECT_EQ(picture, "");
    EXPECT_EQ(dateFormatCode("hh:mm"), 0);
}

}  // namespace
}  // namespace pm
