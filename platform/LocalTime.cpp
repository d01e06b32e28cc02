#include "platform/LocalTime.h"

#include <ctime>

namespace platform {

TLocalTime LocalTimeNow() {
    timespec Now{};
    ::clock_gettime(CLOCK_REALTIME, &Now);
    std::tm Parts{};
    ::localtime_r(&Now.tv_sec, &Parts);
    return {Parts.tm_year + 1900,
            Parts.tm_mon + 1,
            Parts.tm_mday,
            Parts.tm_hour,
            Parts.tm_min,
            Parts.tm_sec,
            static_cast<int>(Now.tv_nsec / 1000000)};
}

} // namespace platform
