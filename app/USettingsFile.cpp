#include "app/USettingsFile.h"

#include "platform/IniFile.h"
#include "platform/NumberFormats.h"
#include "text/StringUtils.h"

#include <filesystem>

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
        platform::TIniFile Ini(FileName);
        WriteKeys(Ini, Settings, SpeedUnit);
    } catch (...) {
        // By design: settings that cannot be saved are lost without a message.
    }
}
