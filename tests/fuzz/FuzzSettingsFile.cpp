// The settings.ini reader: arbitrary file contents, with "." and with "," as the decimal
// separator. Reading never raises, and every value is a default or the key's own number.

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

void CheckRead(const std::string& Path) {
    TSettings Settings;
    try {
        ReadSettingsFile(Path, Settings);
    } catch (...) {
        FuzzFailure("reading the settings file raised");
    }
    CheckSettings(Path, Settings);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    static const TFuzzFile File("tarvex-fuzz-settings");
    File.Write(Data, Size);
    for (const char* Separator : {".", ","}) {
        TScopedFormatSettings Format(Separator);
        CheckRead(File.Path());
    }
    return 0;
}
