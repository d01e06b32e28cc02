#include "app/UDiagnosticLog.h"

#include "platform/FormatSettings.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace {

std::string Digits(int Value, std::size_t Width) {
    std::string Text = std::to_string(Value);
    return Text.size() < Width ? std::string(Width - Text.size(), '0') + Text : Text;
}

} // namespace

TDiagnosticLog::TDiagnosticLog(std::string FileName, TClock Clock, std::uintmax_t SizeLimit)
    : FFileName(std::move(FileName)), FClock(std::move(Clock)), FSizeLimit(SizeLimit) {}

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
        MakeRoomFor(Line.size());
        std::ofstream File(FFileName, std::ios::binary | std::ios::app);
        File << Line;
    } catch (...) {
        // By design: a log line that cannot be written is dropped.
    }
}

void TDiagnosticLog::MakeRoomFor(std::uintmax_t LineSize) const {
    std::error_code Error;
    const std::uintmax_t Size = std::filesystem::file_size(FFileName, Error);
    if (Error || Size == 0 || Size + LineSize <= FSizeLimit)
        return;
    // Where the older file cannot be kept, the log starts afresh rather than grow without end.
    std::filesystem::rename(FFileName, FFileName + ".1", Error);
    if (Error)
        std::ofstream(FFileName, std::ios::binary | std::ios::trunc);
}
