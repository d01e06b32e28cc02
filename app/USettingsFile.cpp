#include "app/USettingsFile.h"

#include "platform/FileLock.h"
#include "platform/IniFile.h"
#include "platform/NumberFormats.h"
#include "text/StringUtils.h"

#include <filesystem>

namespace {

constexpr const char* DataSection = "data";
constexpr const char* InterfaceSection = "user-interface";
constexpr const char* PhoneSection = "phone";

// A port number, or the default for anything else.
int ReadPort(const platform::TMemIniFile& Ini, int Default) {
    const int Port = Ini.ReadInteger(PhoneSection, "port", Default);
    return Port >= 0 && Port <= 65535 ? Port : Default;
}

// Decimals are stored with the current decimal separator, as the user sees them.
double ReadFloat(const platform::TMemIniFile& Ini, const std::string& Ident, double Default) {
    double Value = 0;
    return platform::TryStrToFloat(Ini.ReadString(DataSection, Ident, ""), Value) ? Value : Default;
}

void WriteFloat(platform::TMemIniFile& Ini, const std::string& Ident, double Value) {
    Ini.WriteString(DataSection, Ident, platform::FloatToStr(Value));
}

// A key a program of an earlier version would not know is written only once it says something,
// so that a file of the usual settings stays as it always was.
void WriteChangedFloat(platform::TMemIniFile& Ini, const std::string& Ident, double Value,
                       double Default) {
    if (Value != Default || Ini.ValueExists(DataSection, Ident))
        WriteFloat(Ini, Ident, Value);
}

void ReadKeys(const platform::TMemIniFile& Ini, TSettings& Settings) {
    const std::string Units = Ini.ReadString(DataSection, "units", "xxx");
    Settings.Imperial = UpperCaseNational(Units) == "IMPERIAL";
    Settings.PeletWeight = ReadFloat(Ini, "pelet-weight", 0);
    Settings.SpeedLimit = ReadFloat(Ini, "speed-limit", 999999);
    Settings.EnergyLimit = ReadFloat(Ini, "energy-limit", 999999);
    Settings.UsableSpreadMetric =
        ReadFloat(Ini, "usable-spread-metric", Settings.UsableSpreadMetric);
    Settings.UsableSpreadImperial =
        ReadFloat(Ini, "usable-spread-imperial", Settings.UsableSpreadImperial);
    Settings.ColumnWidth1 = Ini.ReadInteger(InterfaceSection, "column_width_01", 80);
    Settings.ColumnWidth2 = Ini.ReadInteger(InterfaceSection, "column_width_02", 80);
    Settings.Language = Ini.ReadInteger(InterfaceSection, "language", Settings.Language);
    Settings.PhonePort = ReadPort(Ini, TSettings().PhonePort);
    Settings.PhoneAddress = Ini.ReadString(PhoneSection, "address", "");
}

void WriteKeys(platform::TMemIniFile& Ini, const TSettings& Settings,
               const std::string& SpeedUnit) {
    if (SpeedUnit == "m/s" || SpeedUnit == "fps")
        Ini.WriteString(DataSection, "units", SpeedUnit == "fps" ? "imperial" : "metric");
    WriteFloat(Ini, "pelet-weight", Settings.PeletWeight);
    WriteFloat(Ini, "speed-limit", Settings.SpeedLimit);
    WriteFloat(Ini, "energy-limit", Settings.EnergyLimit);
    WriteChangedFloat(Ini, "usable-spread-metric", Settings.UsableSpreadMetric,
                      TSettings().UsableSpreadMetric);
    WriteChangedFloat(Ini, "usable-spread-imperial", Settings.UsableSpreadImperial,
                      TSettings().UsableSpreadImperial);
    Ini.WriteInteger(InterfaceSection, "language", Settings.Language);
    Ini.WriteInteger(InterfaceSection, "column_width_01", Settings.ColumnWidth1);
    Ini.WriteInteger(InterfaceSection, "column_width_02", Settings.ColumnWidth2);
    if (Settings.PhonePort != TSettings().PhonePort || Ini.ValueExists(PhoneSection, "port"))
        Ini.WriteInteger(PhoneSection, "port", Settings.PhonePort);
    if (!Settings.PhoneAddress.empty() || Ini.ValueExists(PhoneSection, "address"))
        Ini.WriteString(PhoneSection, "address", Settings.PhoneAddress);
}

void Note(const TSettingsLog& Log, const std::string& Message) {
    if (Log)
        Log(Message);
}

// The file as it is, so that keys of other programs stay. Only a file that is refused outright
// (not a regular file, or larger than any settings file) is started afresh; one that cannot be
// read is not replaced.
platform::TMemIniFile CurrentFile(const std::string& FileName, std::string& Replaced) {
    try {
        return platform::TMemIniFile(FileName);
    } catch (const platform::EIniFileRefused& Refused) {
        Replaced = Refused.what();
        return platform::TMemIniFile::Empty(FileName);
    }
}

} // namespace

void ReadSettingsFile(const std::string& FileName, TSettings& Settings, const TSettingsLog& Log) {
    try {
        if (std::filesystem::exists(FileName))
            ReadKeys(platform::TMemIniFile(FileName), Settings);
    } catch (const std::exception& Error) {
        Note(Log, std::string("Settings file not read: ") + Error.what());
    }
}

void WriteSettingsFile(const std::string& FileName, const TSettings& Settings,
                       const std::string& SpeedUnit, const TSettingsLog& Log) {
    try {
        const platform::TFileLock Lock(FileName + ".lock", platform::LockTimeout);
        if (!Lock.Locked())
            Note(Log, "Settings written without the lock: " + Lock.Failure());
        std::string Replaced;
        platform::TMemIniFile Ini = CurrentFile(FileName, Replaced);
        WriteKeys(Ini, Settings, SpeedUnit);
        Ini.UpdateFile();
        if (!Replaced.empty())
            Note(Log, "Settings file replaced: " + Replaced);
    } catch (const std::exception& Error) {
        Note(Log, std::string("Settings not saved: ") + Error.what());
    }
}
