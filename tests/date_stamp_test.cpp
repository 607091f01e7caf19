// The date-and-time text of side-file titles and print headers, and the moment
// vandrel-cli's clock command fixes.
#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"
#include "output/DateStamp.h"

namespace vandrel {
namespace {

using test::ReadFile;
using test::RunCli;
using test::TempDir;
using test::WriteFile;

TEST(DateStamp, EnglishUsesATwelveHourClockWithTwoDigitHours) {
    const std::pair<LocalTime, std::string> cases[] = {
        {{2012, 4, 30, 0, 7}, "04/30/2012 12:07 AM"},  {{2012, 4, 30, 0, 0}, "04/30/2012 12:00 AM"},
        {{2012, 4, 30, 1, 0}, "04/30/2012 01:00 AM"},  {{2012, 4, 30, 9, 5}, "04/30/2012 09:05 AM"},
        {{2012, 4, 30, 11, 59}, "04/30/2012 11:59 AM"}, {{2012, 4, 30, 12, 0}, "04/30/2012 12:00 PM"},
        {{2012, 4, 30, 12, 30}, "04/30/2012 12:30 PM"}, {{2012, 4, 30, 13, 5}, "04/30/2012 01:05 PM"},
        {{2012, 4, 30, 14, 5}, "04/30/2012 02:05 PM"},  {{2012, 4, 30, 21, 59}, "04/30/2012 09:59 PM"},
        {{2012, 4, 30, 22, 15}, "04/30/2012 10:15 PM"}, {{2012, 4, 30, 23, 59}, "04/30/2012 11:59 PM"},
    };
    for (const auto& [time, text] : cases) EXPECT_EQ(DateStamp(time, 0), text) << "hour " << time.Hour;
}

TEST(DateStamp, GermanUsesATwentyFourHourClockAndUhr) {
    const std::pair<LocalTime, std::string> cases[] = {
        {{2012, 4, 30, 0, 7}, "30.04.2012 00:07 Uhr"},  {{2012, 4, 30, 9, 5}, "30.04.2012 09:05 Uhr"},
        {{2012, 4, 30, 12, 30}, "30.04.2012 12:30 Uhr"}, {{2012, 4, 30, 13, 5}, "30.04.2012 13:05 Uhr"},
        {{2012, 4, 30, 21, 59}, "30.04.2012 21:59 Uhr"}, {{2012, 4, 30, 22, 15}, "30.04.2012 22:15 Uhr"},
    };
    for (const auto& [time, text] : cases) EXPECT_EQ(DateStamp(time, 1), text) << "hour " << time.Hour;
}

TEST(DateStamp, DayMonthAndYearKeepTheirLeadingZeros) {
    EXPECT_EQ(DateStamp({5, 1, 2, 3, 4}, 0), "01/02/0005 03:04 AM");
    EXPECT_EQ(DateStamp({5, 1, 2, 3, 4}, 1), "02.01.0005 03:04 Uhr");
    EXPECT_EQ(DateStamp({9999, 12, 31, 23, 59}, 0), "12/31/9999 11:59 PM");
    // Any language other than German is English.
    EXPECT_EQ(DateStamp({2012, 4, 30, 14, 5}, 2), "04/30/2012 02:05 PM");
}

TEST(LocalTime, OnlyDatesAndTimesThatExistAreValid) {
    const std::pair<LocalTime, bool> cases[] = {
        {{2012, 2, 29, 0, 0}, true},   {{2011, 2, 29, 0, 0}, false}, {{2000, 2, 29, 0, 0}, true},
        {{1900, 2, 29, 0, 0}, false},  {{2011, 2, 28, 23, 59}, true}, {{2012, 4, 31, 12, 0}, false},
        {{2012, 12, 31, 12, 0}, true}, {{2012, 13, 1, 12, 0}, false}, {{2012, 0, 1, 12, 0}, false},
        {{2012, 1, 0, 12, 0}, false},  {{2012, 1, 1, 24, 0}, false},  {{2012, 1, 1, 23, 60}, false},
        {{2012, 1, 1, -1, 0}, false},  {{1, 1, 1, 0, 0}, true},       {{0, 12, 31, 23, 59}, false},
        {{9999, 12, 31, 23, 59}, true}, {{10000, 1, 1, 0, 0}, false},
    };
    for (const auto& [t, valid] : cases)
        EXPECT_EQ(IsValidLocalTime(t), valid) << t.Year << "-" << t.Month << "-" << t.Day << " " << t.Hour << ":"
                                              << t.Minute;
}

// The clock command fixes the moment that reaches the side file's title.
std::string SidecarTitleAt(const std::string& clockLine, const std::string& language) {
    TempDir dir;
    WriteFile(dir / "m.txt", "// MilkShape 3D ASCII\r\n\r\nFrames: 1\r\nFrame: 1\r\nBones: 0\r\n");
    auto r = RunCli(dir.path().string(), language + clockLine + "\nopen 1 m.txt\nsave 1\n");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    const std::string text = ReadFile(dir / "m.csv");
    return text.substr(0, text.find('\r'));
}

TEST(ClockCommand, FixesTheMomentOfTheSideFileTitle) {
    EXPECT_EQ(SidecarTitleAt("clock 2012-04-30 00:07", ""), "m - Keyframes     04/30/2012 12:07 AM");
    EXPECT_EQ(SidecarTitleAt("clock 2012-02-29 22:15", ""), "m - Keyframes     02/29/2012 10:15 PM");
    EXPECT_EQ(SidecarTitleAt("clock 0001-01-01 00:00", "language 1\n"), "m - Keyframes     01.01.0001 00:00 Uhr");
    EXPECT_EQ(SidecarTitleAt("clock 9999-12-31 23:59", "language 1\n"), "m - Keyframes     31.12.9999 23:59 Uhr");
}

TEST(ClockCommand, RefusesDatesAndTimesThatDoNotExist) {
    TempDir dir;
    for (const char* line : {"clock 2011-02-29 10:00", "clock 2012-04-31 10:00", "clock 2012-04-30 24:00",
                             "clock 2012-04-30 12:60", "clock 0000-01-01 00:00", "clock 2012-4-30 14:05",
                             "clock 2012-04-30 9:05", "clock 2012/04/30 14:05", "clock 2012-04-30",
                             "clock 2012-04-30 14:05 PM", "clock +012-04-30 14:05"}) {
        auto r = RunCli(dir.path().string(), std::string(line) + "\nstatus\n");
        EXPECT_EQ(r.exitCode, 2) << line;
        EXPECT_EQ(r.out, "") << line;
        EXPECT_EQ(r.err.rfind("vandrel-cli: line 1: ", 0), 0u) << line << ": " << r.err;
    }
}

}  // namespace
}  // namespace vandrel
