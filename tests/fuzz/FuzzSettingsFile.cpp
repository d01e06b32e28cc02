// The settings.ini reader: arbitrary file contents, with "." and with "," as the decimal
// separator. Reading never raises, every value is a default or the key's own number, and the
// settings read, written and read again, stay as they were.

#include "app/USettingsFile.h"
#include "platform/IniFile.h"
#include "platform/NumberFormats.h"
#include "tests/fuzz/FuzzFile.h"
#include "tests/support/ScopedFormatSettings.h"

#include <cmath>
#include <initializer_list>
#include <type_traits>

namespace {

// Value is one of the defaults or the number that the key holds.
template <typename T, typename TParse>
void CheckValue(const platform::TIniFile& Ini, const char* Section, const char* Key, T Value,
                std::initializer_list<T> Defaults, TParse Parse) {
    if constexpr (std::is_floating_point_v<T>)
        if (!std::isfinite(Value))
            FuzzFailure(std::string(Key) + " is " + std::to_string(Value));
    T Stored{};
    if (Parse(Ini.ReadString(Section, Key, ""), Stored) && Stored == Value)
        return;
    for (const T Default : Defaults)
        if (Value == Default)
            return;
    FuzzFailure(std::string(Key) + " is " + std::to_string(Value) +
                ", neither a default nor the file's number");
}

void CheckSettings(const std::string& Path, const TSettings& Settings) {
    const platform::TIniFile Ini(Path);
    const TSettings Defaults;
    const auto Float = [](std::string_view Text, double& Value) {
        return platform::TryStrToFloat(Text, Value);
    };
    const auto Integer = [](std::string_view Text, int& Value) {
        return platform::TryStrToInt(Text, Value);
    };
    CheckValue(Ini, "data", "pelet-weight", Settings.PeletWeight, {0.0, Defaults.PeletWeight},
               Float);
    CheckValue(Ini, "data", "speed-limit", Settings.SpeedLimit, {Defaults.SpeedLimit}, Float);
    CheckValue(Ini, "data", "energy-limit", Settings.EnergyLimit, {Defaults.EnergyLimit}, Float);
    CheckValue(Ini, "user-interface", "column_width_01", Settings.ColumnWidth1,
               {Defaults.ColumnWidth1}, Integer);
    CheckValue(Ini, "user-interface", "column_width_02", Settings.ColumnWidth2,
               {Defaults.ColumnWidth2}, Integer);
    CheckValue(Ini, "user-interface", "language", Settings.Language, {Defaults.Language}, Integer);
}

TSettings ReadSettings(const std::string& Path) {
    TSettings Settings;
    try {
        ReadSettingsFile(Path, Settings);
    } catch (...) {
        FuzzFailure("reading the settings file raised");
    }
    return Settings;
}

// Numbers are kept with 15 significant digits, so they are compared as they are written.
std::string Stored(const TSettings& Settings) {
    std::string Text = Settings.Imperial ? "imperial" : "metric";
    for (const double Value : {Settings.PeletWeight, Settings.SpeedLimit, Settings.EnergyLimit})
        Text += " " + platform::FloatToStr(Value);
    for (const int Value : {Settings.Language, Settings.ColumnWidth1, Settings.ColumnWidth2})
        Text += " " + std::to_string(Value);
    return Text;
}

// The settings read, written and read again, are the same settings.
void CheckWrittenAgain(const TSettings& Settings, const TFuzzFile& Saved) {
    Saved.Write(nullptr, 0);
    WriteSettingsFile(Saved.Path(), Settings, Settings.Imperial ? "fps" : "m/s");
    const TSettings Reread = ReadSettings(Saved.Path());
    if (Stored(Reread) != Stored(Settings))
        FuzzFailure("the settings " + Stored(Settings) + " read back as " + Stored(Reread));
}

void CheckRead(const TFuzzFile& Input, const TFuzzFile& Saved) {
    const TSettings Settings = ReadSettings(Input.Path());
    CheckSettings(Input.Path(), Settings);
    CheckWrittenAgain(Settings, Saved);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    static const TFuzzFile Input("tarvex-fuzz-settings");
    static const TFuzzFile Saved("tarvex-fuzz-settings-saved");
    Input.Write(Data, Size);
    for (const char* Separator : {".", ","}) {
        TScopedFormatSettings Format(Separator);
        CheckRead(Input, Saved);
    }
    return 0;
}
