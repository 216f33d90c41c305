#pragma once
// The program's date-time value, as documents record their creation: days
// since 1899-12-30 with the time of day as the fraction.

#include <cstdint>
#include <optional>

namespace quillane {

struct TCivilTime {
    int32_t Year = 0;
    int32_t Month = 0;  // 1 to 12
    int32_t Day = 0;    // 1 to 31
    int32_t Hour = 0;
    int32_t Minute = 0;
    int32_t Second = 0;
};

// Nothing for a date that does not exist or lies outside the years 1 to 9999.
std::optional<double> DateTimeOf(const TCivilTime& time);
// The date and time to the nearest second; nothing for a value outside the
// years 1 to 9999 or not a number.
std::optional<TCivilTime> CivilTimeOf(double dateTime);
double NowAsDateTime();

}  // namespace quillane
