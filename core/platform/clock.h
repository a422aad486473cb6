// The one clock of the system. Every date the system writes comes from here.
// SOURCE_DATE_EPOCH, when set, fixes "now" (reproducible output). Dates are
// Japanese local time (JST, UTC+9, no daylight saving) whatever the machine's
// time zone.
#pragma once

#include <ctime>
#include <string>
#include <string_view>

namespace tavro {

// Seconds since the epoch: SOURCE_DATE_EPOCH when set to a valid number,
// otherwise the system time (or the time fixed by SetFixedNow).
std::time_t Now();
// Tests may fix the clock; pass -1 to release it.
void SetFixedNow(std::time_t t);

// Broken-down Japanese local time of t.
std::tm JapanTime(std::time_t t);
// strftime of t in Japanese local time (the format is CP932 or ASCII bytes).
std::string FormatTime(std::string_view format, std::time_t t);

// Sets the process time zone to JST-9 (the program does this at start-up).
void UseJapanTimeZone();

}  // namespace tavro
