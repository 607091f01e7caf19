#include "output/DateStamp.h"

#include <cstdio>
#include <ctime>

namespace vandrel {

namespace {

std::string TwoDigits(int v) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d", v);
    return buffer;
}

std::string FourDigits(int v) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%04d", v);
    return buffer;
}

// The 12-hour clock text: the hour keeps two digits, midnight is 12.
std::string TwelveHourTime(int hour, int minute) {
    const std::string minutes = ":" + TwoDigits(minute);
    if (hour == 0) return "12" + minutes + " AM";
    if (hour < 12) return TwoDigits(hour) + minutes + " AM";
    if (hour == 12) return TwoDigits(hour) + minutes + " PM";
    return TwoDigits(hour - 12) + minutes + " PM";
}

bool IsLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

}  // namespace

LocalTime Clock::Now() const {
    if (Fixed) return *Fixed;
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min};
}

std::string DateStamp(const LocalTime& t, Language uiLanguage) {
    if (uiLanguage == Language::German)
        return TwoDigits(t.Day) + "." + TwoDigits(t.Month) + "." + FourDigits(t.Year) + " " + TwoDigits(t.Hour) +
               ":" + TwoDigits(t.Minute) + " Uhr";
    return TwoDigits(t.Month) + "/" + TwoDigits(t.Day) + "/" + FourDigits(t.Year) + " " +
           TwelveHourTime(t.Hour, t.Minute);
}

bool IsValidLocalTime(const LocalTime& t) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (t.Year < 1 || t.Year > 9999 || t.Month < 1 || t.Month > 12) return false;
    const int days = kDays[t.Month - 1] + (t.Month == 2 && IsLeapYear(t.Year) ? 1 : 0);
    return t.Day >= 1 && t.Day <= days && t.Hour >= 0 && t.Hour <= 23 && t.Minute >= 0 && t.Minute <= 59;
}

}  // namespace vandrel
