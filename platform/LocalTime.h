#pragma once

// The local wall-clock time, broken down the way time stamps are written.

namespace platform {

struct TLocalTime {
    int Year;        // four digits
    int Month;       // 1 to 12
    int Day;         // 1 to 31
    int Hour;        // 0 to 23
    int Minute;      // 0 to 59
    int Second;      // 0 to 60 (a leap second)
    int Millisecond; // 0 to 999
};

// Now, in the time zone of the process (TZ or the system's).
TLocalTime LocalTimeNow();

} // namespace platform
