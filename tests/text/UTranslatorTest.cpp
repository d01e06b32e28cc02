#include "text/UTranslator.h"

#include <gtest/gtest.h>

namespace {

TEST(TTranslatorTest, TranslatesBuiltInRowsAndKeepsOneTrailingColon) {
    const TTranslator Translator;
    const struct {
        std::string Text;
        int Language;
        std::string Expected;
    } Cases[] = {{"Connect", LANG_CZECH, "Připojit"},
                 {"Connect", LANG_GERMAN, "Verbinden"},
                 {"Connect", LANG_ENGLISH, "Connect"},
                 {"Some rounding inaccuracy can occur.", LANG_CZECH,
                  "Mohou se objevit zaokrouhlovací nepřenosti."},
                 {"Connected (%s)", LANG_GERMAN, "Verbunden  (%s)"},
                 {"Pelet Weight", LANG_CZECH, "Hmotnost střely"},
                 {"Pelet Weight", LANG_GERMAN, "Pelet Weight"},
                 {"Shots:", LANG_CZECH, "Výstřely:"},
                 {"Pelet Weight [%s]:", LANG_GERMAN, "Schussgewicht [%s]:"},
                 {"Limits::", LANG_CZECH, "Limits::"},
                 {":", LANG_CZECH, ":"},
                 {"", LANG_CZECH, ""},
                 {"Connect ", LANG_CZECH, "Connect "}};
    for (const auto& C : Cases) {
        EXPECT_EQ(Translator.Translate(C.Text, C.Language), C.Expected) << C.Text;
    }
}

TEST(TTranslatorTest, DictionaryHoldsCzechThenGermanRows) {
    const TTranslator Translator;
    const auto& Items = Translator.Dictionary().Items();
    // Each table's Czech rows, then its German ones: the interface texts first.
    ASSERT_EQ(Items.size(), 405U);
    EXPECT_EQ(Items[0].Key, "LNG5_Load Data");
    EXPECT_EQ(Items[36].Key, "LNG7_Load Data");
    EXPECT_EQ(Items[70].Value, TVariant{std::string("Limiten")});
    EXPECT_EQ(Items[71].Key.substr(0, 15), "LNG5_The device");
    EXPECT_EQ(Items[81].Key, "LNG5_ES %s  SD %s %s");
    EXPECT_EQ(Items[144].Key, "LNG7_%s holds more shots than a series can (%s): nothing was read.");
    EXPECT_EQ(Items[145].Key, "LNG5_Series library");
}

TEST(TTranslatorTest, AddedTranslationsAreLookedUpAndDuplicatesRefused) {
    TTranslator Translator;
    Translator.AddTranslation(LANG_ENGLISH, "Connect", "Hook up");
    EXPECT_EQ(Translator.Translate("Connect:", LANG_ENGLISH), "Hook up:");
    EXPECT_THROW(Translator.AddTranslation(LANG_CZECH, "Connect", "Spojit"), EAssocArrayException);
}

TEST(TTranslatorTest, LanguageNames) {
    EXPECT_EQ(TTranslator::LanguageName(LANG_CZECH), "Czech");
    EXPECT_EQ(TTranslator::LanguageName(LANG_GERMAN), "German");
    EXPECT_EQ(TTranslator::LanguageName(LANG_ENGLISH), "English");
    EXPECT_EQ(TTranslator::LanguageName(8), "unknown");
}

} // namespace
