#pragma once
// Payload times are days since 30 December 1899 with the time of day as the
// fraction, in the local time of whoever unpacks them; overwrite decisions
// compare times at the two-second resolution of a DOS date and time.

#include <cstdint>
#include <optional>

#include "platform/FileSystem.h"

namespace quillane {

// The latest day a payload time may name (31 December 9999).
constexpr double PayloadLastDay = 2958465.0;

// Whether a payload time is a number inside 0 .. the end of the last day.
bool IsPayloadTime(double days);

// The calendar time of a payload time, rounded to the nearest millisecond.
// Only for times IsPayloadTime accepts.
TLocalTime LocalTimeFromPayloadTime(double days);

// The payload time of a calendar time.
double PayloadTimeFromLocalTime(const TLocalTime& time);

// The calendar fields of a moment given as seconds since 1970 in UTC (a
// build's SOURCE_DATE_EPOCH or a file's time): the packer records those
// fields, which the target then reads as its local time.
TLocalTime CalendarTimeFromUnixSeconds(int64_t seconds);

// A DOS date and time (date in the high 16 bits, seconds halved and
// truncated); nothing outside 1980 .. 2107.
std::optional<uint32_t> DosDateTime(const TLocalTime& time);

}  // namespace quillane
