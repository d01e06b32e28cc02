#include "platform/FormatSettings.h"

#include <gtest/gtest.h>

using platform::TFormatSettings;

TEST(FormatSettings, CLocaleAndUnknownLocaleGivePointNoGroupingAndColon) {
    const TFormatSettings Expected{".", "", ":"};
    EXPECT_EQ(platform::ReadLocaleFormatSettings("C"), Expected);
    EXPECT_EQ(platform::ReadLocaleFormatSettings("xx_NOWHERE.UTF-8"), Expected);
}

TEST(FormatSettings, TimeSeparatorIsFirstCharacterOutsideConversions) {
    EXPECT_EQ(platform::TimeSeparatorOf("%H:%M:%S"), ":");
    EXPECT_EQ(platform::TimeSeparatorOf("%H.%M.%S"), ".");
    EXPECT_EQ(platform::TimeSeparatorOf("%T"), ":");
    EXPECT_EQ(platform::TimeSeparatorOf("%OH\xE6\x97\xB6%M"), "\xE6\x97\xB6");
    EXPECT_EQ(platform::TimeSeparatorOf("%I %p"), ":");
}

TEST(FormatSettings, CorrectionReplacesUnusableSeparatorsOnly) {
    EXPECT_EQ(platform::CorrectSeparators({"", " ", ":"}), (TFormatSettings{".", "", ":"}));
    EXPECT_EQ(platform::CorrectSeparators({" ", "\xC2\xA0", ":"}), (TFormatSettings{".", "", ":"}));
    EXPECT_EQ(platform::CorrectSeparators({",", "\xE2\x80\xAF", "."}),
              (TFormatSettings{",", "", "."}));
    EXPECT_EQ(platform::CorrectSeparators({",", ".", ":"}), (TFormatSettings{",", ".", ":"}));
}

TEST(FormatSettings, SetSeparatorsAreInForceProcessWide) {
    const TFormatSettings Saved = platform::FormatSettings();
    platform::SetFormatSettings({",", ".", "."});
    EXPECT_EQ(platform::FormatSettings().DecimalSeparator, ",");
    platform::SetFormatSettings(Saved);
    EXPECT_EQ(platform::FormatSettings(), Saved);
}
