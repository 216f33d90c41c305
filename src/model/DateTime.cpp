#include "model/DateTime.h"

#include <chrono>
#include <cmath>

namespace quillane {

namespace {

// 1899-12-30 counted in days from 1970-01-01.
constexpr int64_t EpochDays = -25569;

// Days from 1970-01-01 to a civil date and back (proleptic Gregorian).
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int64_t& y, int64_t& m, int64_t& d) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y = yoe + era * 400 + (m <= 2 ? 1 : 0);
}

bool IsLeapYear(int32_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

}  // namespace

std::optional<double> DateTimeOf(const TCivilTime& t) {
    static constexpr int32_t MonthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool valid = t.Year >= 1 && t.Year <= 9999 && t.Month >= 1 && t.Month <= 12 && t.Day >= 1 &&
                       t.Day <= MonthDays[t.Month - 1] + (t.Month == 2 && IsLeapYear(t.Year) ? 1 : 0) &&
                       t.Hour >= 0 && t.Hour < 24 && t.Minute >= 0 && t.Minute < 60 && t.Second >= 0 &&
                       t.Second < 60;
    if (!valid) {
        return std::nullopt;
    }
    const int64_t days = DaysFromCivil(t.Year, t.Month, t.Day) - EpochDays;
    return static_cast<double>(days) + (t.Hour * 3600.0 + t.Minute * 60.0 + t.Second) / 86400.0;
}

std::optional<TCivilTime> CivilTimeOf(double dateTime) {
    constexpr double FirstDay = -693593;   // 0001-01-01
    constexpr double LastDay = 2958466;    // 10000-01-01
    if (!std::isfinite(dateTime) || dateTime < FirstDay || dateTime >= LastDay) {
        return std::nullopt;
    }
    const auto seconds = std::llround(dateTime * 86400.0);
    int64_t days = seconds / 86400;
    int64_t rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    int64_t year = 0, month = 0, day = 0;
    CivilFromDays(days + EpochDays, year, month, day);
    if (year < 1 || year > 9999) {
        return std::nullopt;  // rounding carried it over the edge
    }
    return TCivilTime{static_cast<int32_t>(year),        static_cast<int32_t>(month),
                      static_cast<int32_t>(day),         static_cast<int32_t>(rest / 3600),
                      static_cast<int32_t>(rest / 60 % 60), static_cast<int32_t>(rest % 60)};
}

double NowAsDateTime() {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const double seconds = std::chrono::duration<double>(now).count();
    return seconds / 86400.0 - static_cast<double>(EpochDays);
}

}  // namespace quillane
