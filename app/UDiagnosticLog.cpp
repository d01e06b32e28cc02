#include "app/UDiagnosticLog.h"

#include "platform/FormatSettings.h"

#include <fstream>

namespace {

std::string Digits(int Value, std::size_t Width) {
    std::string Text = std::to_string(Value);
    return Text.size() < Width ? std::string(Width - Text.size(), '0') + Text : Text;
}

} // namespace

TDiagnosticLog::TDiagnosticLog(std::string FileName, TClock Clock)
    : FFileName(std::move(FileName)), FClock(std::move(Clock)) {}

std::string TDiagnosticLog::TimeStamp(const platform::TLocalTime& Time) {
    const std::string& Separator = platform::FormatSettings().TimeSeparator;
    return Digits(Time.Year, 4) + "-" + Digits(Time.Month, 2) + "-" + Digits(Time.Day, 2) + " " +
           Digits(Time.Hour, 2) + Separator + Digits(Time.Minute, 2) + Separator +
           Digits(Time.Second, 2) + "." + Digits(Time.Millisecond, 3);
}

void TDiagnosticLog::Log(const std::string& Message) noexcept {
    if (!Enabled)
        return;
    try {
        const std::string Line = TimeStamp(FClock()) + " - " + Message + "\r\n";
        std::ofstream File(FFileName, std::ios::binary | std::ios::app);
        File << Line;
    } catch (...) {
        // By design: a log line that cannot be written is dropped.
    }
}
