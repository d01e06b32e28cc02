#pragma once

// The diagnostic log: one line per event, "yyyy-mm-dd hh:nn:ss.zzz - message", appended to a
// plain-text file that is opened and closed for every line, so that it is complete at any moment.
// A line that would take the file past its size limit (10 MB) first moves it to "<file>.1",
// replacing an older one, and starts a new file: a port that floods the log with noise fills at
// most twice the limit on disk, and the latest lines are always kept.

#include "platform/LocalTime.h"

#include <cstdint>
#include <functional>
#include <string>

class TDiagnosticLog {
public:
    using TClock = std::function<platform::TLocalTime()>;

    static constexpr std::uintmax_t DefaultSizeLimit = 10 * 1024 * 1024;

    explicit TDiagnosticLog(std::string FileName, TClock Clock = platform::LocalTimeNow,
                            std::uintmax_t SizeLimit = DefaultSizeLimit);

    // Off by default; while off, the file is neither created nor touched.
    bool Enabled = false;

    const std::string& FileName() const { return FFileName; }

    // Appends one line ended by CR LF when enabled. The log must never disturb the program:
    // a line that cannot be written is lost without a word.
    void Log(const std::string& Message) noexcept;

    // The time stamp of a line, with the current time separator between hours, minutes and
    // seconds.
    static std::string TimeStamp(const platform::TLocalTime& Time);

private:
    void MakeRoomFor(std::uintmax_t LineSize) const;

    std::string FFileName;
    TClock FClock;
    std::uintmax_t FSizeLimit;
};
