#include "app/USettingsFile.h"

#include "platform/FileIO.h"
#include "platform/IniFile.h"
#include "platform/NumberFormats.h"
#include "text/StringUtils.h"

#include <atomic>
#include <filesystem>
#include <unistd.h>

namespace {

constexpr const char* DataSection = "data";
constexpr const char* InterfaceSection = "user-interface";

// Decimals are stored with the current decimal separator, as the user sees them.
double ReadFloat(const platform::TIniFile& Ini, const std::string& Ident, double Default) {
    double Value = 0;
    return platform::TryStrToFloat(Ini.ReadString(DataSection, Ident, ""), Value) ? Value : Default;
}

void WriteFloat(platform::TIniFile& Ini, const std::string& Ident, double Value) {
    Ini.WriteString(DataSection, Ident, platform::FloatToStr(Value));
}

void ReadKeys(const platform::TIniFile& Ini, TSettings& Settings) {
    const std::string Units = Ini.ReadString(DataSection, "units", "xxx");
    Settings.Imperial = UpperCaseNational(Units) == "IMPERIAL";
    Settings.PeletWeight = ReadFloat(Ini, "pelet-weight", 0);
    Settings.SpeedLimit = ReadFloat(Ini, "speed-limit", 999999);
    Settings.EnergyLimit = ReadFloat(Ini, "energy-limit", 999999);
    Settings.ColumnWidth1 = Ini.ReadInteger(InterfaceSection, "column_width_01", 80);
    Settings.ColumnWidth2 = Ini.ReadInteger(InterfaceSection, "column_width_02", 80);
    Settings.Language = Ini.ReadInteger(InterfaceSection, "language", Settings.Language);
}

void WriteKeys(platform::TIniFile& Ini, const TSettings& Settings, const std::string& SpeedUnit) {
    if (SpeedUnit == "m/s" || SpeedUnit == "fps")
        Ini.WriteString(DataSection, "units", SpeedUnit == "fps" ? "imperial" : "metric");
    WriteFloat(Ini, "pelet-weight", Settings.PeletWeight);
    WriteFloat(Ini, "speed-limit", Settings.SpeedLimit);
    WriteFloat(Ini, "energy-limit", Settings.EnergyLimit);
    Ini.WriteInteger(InterfaceSection, "language", Settings.Language);
    Ini.WriteInteger(InterfaceSection, "column_width_01", Settings.ColumnWidth1);
    Ini.WriteInteger(InterfaceSection, "column_width_02", Settings.ColumnWidth2);
}

// The keys are written one by one into a copy of the settings file in the temporary folder,
// and the finished copy replaces the file in one step: a program stopped while it writes
// leaves the old settings or the new ones, never some of each. A copy left by a killed
// program is the temporary folder's to clean.
class TStagingCopy {
public:
    explicit TStagingCopy(const std::string& FileName) {
        static std::atomic<unsigned> Counter{0};
        FPath = (std::filesystem::temp_directory_path() /
                 ("tarvex-settings-" + std::to_string(::getpid()) + "-" +
                  std::to_string(++Counter) + ".ini"))
                    .string();
        if (std::filesystem::exists(FileName))
            platform::WriteFileAtomically(FPath, platform::ReadFileBytes(FileName));
    }
    ~TStagingCopy() {
        std::error_code Ignored;
        std::filesystem::remove(FPath, Ignored);
    }
    TStagingCopy(const TStagingCopy&) = delete;
    TStagingCopy& operator=(const TStagingCopy&) = delete;

    const std::string& Path() const { return FPath; }

private:
    std::string FPath;
};

} // namespace

void ReadSettingsFile(const std::string& FileName, TSettings& Settings) {
    try {
        if (std::filesystem::exists(FileName))
            ReadKeys(platform::TIniFile(FileName), Settings);
    } catch (...) {
        // By design: an unreadable settings file leaves the settings the program has.
    }
}

void WriteSettingsFile(const std::string& FileName, const TSettings& Settings,
                       const std::string& SpeedUnit) {
    try {
        const TStagingCopy Staging(FileName);
        platform::TIniFile Ini(Staging.Path());
        WriteKeys(Ini, Settings, SpeedUnit);
        platform::WriteFileAtomically(FileName, platform::ReadFileBytes(Staging.Path()));
    } catch (...) {
        // By design: settings that cannot be saved are lost without a message.
    }
}
