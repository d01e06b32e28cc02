#pragma once

// The diagnostic log: one line per event, "yyyy-mm-dd hh:nn:ss.zzz - message", appended to a
// plain-text file that is opened and closed for every line, so that it is complete at any moment.

#include "platform/LocalTime.h"

#include <functional>
#include <string>

class TDiagnosticLog {
public:
    using TClock = std::function<platform::TLocalTime()>;

    explicit TDiagnosticLog(std::string FileName, TClock Clock = platform::LocalTimeNow);

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
    std::string FFileName;
    TClock FClock;
};
