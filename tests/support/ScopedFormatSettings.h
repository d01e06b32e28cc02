#pragma once

#include "platform/FormatSettings.h"

// Puts the given separators in force for one test and restores the previous ones afterwards,
// so that no test depends on the machine's locale.
class TScopedFormatSettings {
public:
    explicit TScopedFormatSettings(const std::string& DecimalSeparator,
                                   const std::string& ThousandSeparator = "")
        : FSaved(platform::FormatSettings()) {
        platform::TFormatSettings Settings = FSaved;
        Settings.DecimalSeparator = DecimalSeparator;
        Settings.ThousandSeparator = ThousandSeparator;
        platform::SetFormatSettings(Settings);
    }
    ~TScopedFormatSettings() { platform::SetFormatSettings(FSaved); }
    TScopedFormatSettings(const TScopedFormatSettings&) = delete;
    TScopedFormatSettings& operator=(const TScopedFormatSettings&) = delete;

private:
    platform::TFormatSettings FSaved;
};
