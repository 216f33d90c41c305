#include "setup/PayloadTime.h"

#include <cmath>

namespace quillane {

namespace {

constexpr int64_t MillisecondsPerDay = 86400000;
constexpr int64_t DaysFrom1899To1970 = 25569;

// Days since 1 January 1970 of a date in the proleptic Gregorian calendar
// (the usual era arithmetic: 400-year eras of 146097 days).
int64_t DaysFromCivil(int64_t y, int m, int d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, TLocalTime& time) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    time.Year = static_cast<int>(yoe + era * 400 + (m <= 2));
    time.Month = m;
    time.Day = d;
}

void SetTimeOfDay(int64_t milliseconds, TLocalTime& time) {
    time.Hour = static_cast<int>(milliseconds / 3600000);
    time.Minute = static_cast<int>(milliseconds / 60000 % 60);
    time.Second = static_cast<int>(milliseconds / 1000 % 60);
    time.Millisecond = static_cast<int>(milliseconds % 1000);
}

}  // namespace

bool IsPayloadTime(double days) { return std::isfinite(days) && days >= 0.0 && days < PayloadLastDay + 1.0; }

TLocalTime LocalTimeFromPayloadTime(double days) {
    int64_t ms = std::llround(days * static_cast<double>(MillisecondsPerDay));
    const int64_t end = (static_cast<int64_t>(PayloadLastDay) + 1) * MillisecondsPerDay;
    if (ms >= end) {
        ms = end - 1;  // rounding must not carry into the year 10000
    }
    TLocalTime time;
    CivilFromDays(ms / MillisecondsPerDay - DaysFrom1899To1970, time);
    SetTimeOfDay(ms % MillisecondsPerDay, time);
    return time;
}

double PayloadTimeFromLocalTime(const TLocalTime& time) {
    const int64_t days = DaysFromCivil(time.Year, time.Month, time.Day) + DaysFrom1899To1970;
    const int64_t ms = ((static_cast<int64_t>(time.Hour) * 60 + time.Minute) * 60 + time.Second) * 1000 +
                       time.Millisecond;
    return static_cast<double>(days) + static_cast<double>(ms) / static_cast<double>(MillisecondsPerDay);
}

TLocalTime CalendarTimeFromUnixSeconds(int64_t seconds) {
    int64_t days = seconds / 86400;
    int64_t rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    TLocalTime time;
    CivilFromDays(days, time);
    SetTimeOfDay(rest * 1000, time);
    return time;
}

std::optional<uint32_t> DosDateTime(const TLocalTime& time) {
    if (time.Year < 1980 || time.Year > 2107) {
        return std::nullopt;
    }
    const uint32_t date = static_cast<uint32_t>((time.Year - 1980) << 9 | time.Month << 5 | time.Day);
    const uint32_t clock = static_cast<uint32_t>(time.Hour << 11 | time.Minute << 5 | time.Second / 2);
    return date << 16 | clock;
}

}  // namespace quillane
