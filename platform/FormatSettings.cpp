#include "platform/FormatSettings.h"

#include <langinfo.h>
#include <locale.h>
#include <memory>

namespace platform {
namespace {

struct TLocaleDeleter {
    void operator()(locale_t Locale) const { freelocale(Locale); }
};
using TLocalePtr = std::unique_ptr<std::remove_pointer_t<locale_t>, TLocaleDeleter>;

TLocalePtr OpenLocale(const std::string& Name) {
    const int Categories = LC_NUMERIC_MASK | LC_TIME_MASK;
    locale_t Locale = newlocale(Categories, Name.c_str(), nullptr);
    if (Locale == nullptr)
        Locale = newlocale(Categories, "C", nullptr);
    return TLocalePtr(Locale);
}

bool IsBlank(const std::string& Separator) {
    // A blank, a no-break space (U+00A0) or a narrow no-break space (U+202F).
    return Separator == " " || Separator == "\xC2\xA0" || Separator == "\xE2\x80\xAF";
}

TFormatSettings& CurrentSettings() {
    static TFormatSettings Settings = ReadLocaleFormatSettings();
    return Settings;
}

} // namespace

std::string TimeSeparatorOf(std::string_view TimeFormat) {
    for (std::size_t i = 0; i < TimeFormat.size(); ++i) {
        if (TimeFormat[i] == '%') {
            while (++i < TimeFormat.size() && (TimeFormat[i] == 'E' || TimeFormat[i] == 'O'))
                ;
            if (i < TimeFormat.size() && (TimeFormat[i] == 'T' || TimeFormat[i] == 'R'))
                return ":";
            continue;
        }
        if (TimeFormat[i] == ' ')
            continue;
        std::size_t Length = 1;
        while (i + Length < TimeFormat.size() && (TimeFormat[i + Length] & 0xC0) == 0x80)
            ++Length;
        return std::string(TimeFormat.substr(i, Length));
    }
    return ":";
}

TFormatSettings ReadLocaleFormatSettings(const std::string& LocaleName) {
    const TLocalePtr Locale = OpenLocale(LocaleName);
    TFormatSettings Settings;
    if (!Locale)
        return Settings;
    Settings.DecimalSeparator = nl_langinfo_l(RADIXCHAR, Locale.get());
    Settings.ThousandSeparator = nl_langinfo_l(THOUSEP, Locale.get());
    Settings.TimeSeparator = TimeSeparatorOf(nl_langinfo_l(T_FMT, Locale.get()));
    return Settings;
}

TFormatSettings CorrectSeparators(TFormatSettings Settings) {
    if (Settings.DecimalSeparator.empty() || Settings.DecimalSeparator == " ")
        Settings.DecimalSeparator = ".";
    if (IsBlank(Settings.ThousandSeparator))
        Settings.ThousandSeparator.clear();
    return Settings;
}

const TFormatSettings& FormatSettings() {
    return CurrentSettings();
}

void SetFormatSettings(const TFormatSettings& Settings) {
    CurrentSettings() = Settings;
}

} // namespace platform
