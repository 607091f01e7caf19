#pragma once
// The date-and-time text of side-file titles and print headers.
#include <optional>
#include <string>

#include "output/Language.h"

namespace vandrel {

struct LocalTime {
    int Year = 2000, Month = 1, Day = 1, Hour = 0, Minute = 0;
};

// The local clock; a fixed moment replaces it where outputs must be repeatable.
struct Clock {
    std::optional<LocalTime> Fixed;
    LocalTime Now() const;
};

// German "30.04.2012 14:05 Uhr"; English "04/30/2012 02:05 PM".
std::string DateStamp(const LocalTime& time, Language uiLanguage);

// True when the date exists (years 1 to 9999) and the time is 00:00 to 23:59.
bool IsValidLocalTime(const LocalTime& time);

}  // namespace vandrel
