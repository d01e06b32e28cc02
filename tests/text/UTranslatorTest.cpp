#include "text/UTranslator.h"

#include <gtest/gtest.h>

namespace {

struct TTranslateCase {
    std::string Text;
    int Language;
    std::string Expected;
};

class TranslateTest : public testing::TestWithParam<TTranslateCase> {
protected:
    TTranslator Translator;
};

TEST_P(TranslateTest, Translates) {
    EXPECT_EQ(Translator.Translate(GetParam().Text, GetParam().Language), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    BuiltInRows, TranslateTest,
    testing::Values(TTranslateCase{"Connect", LANG_CZECH, "Připojit"},
                    TTranslateCase{"Connect", LANG_GERMAN, "Verbinden"},
                    TTranslateCase{"Connect", LANG_ENGLISH, "Connect"},
                    TTranslateCase{"Connect", 0, "Connect"},
                    TTranslateCase{"Load Data", LANG_CZECH, "Načíst data"},
                    TTranslateCase{"Some rounding inaccuracy can occur.", LANG_CZECH,
                                   "Mohou se objevit zaokrouhlovací nepřenosti."},
                    TTranslateCase{"Connected (%s)", LANG_GERMAN, "Verbunden  (%s)"},
                    TTranslateCase{"Pelet Weight", LANG_CZECH, "Hmotnost střely"},
                    TTranslateCase{"Pelet Weight", LANG_GERMAN, "Pelet Weight"},
                    TTranslateCase{"Limits", LANG_CZECH, "Limity"},
                    TTranslateCase{"Limits", LANG_GERMAN, "Limiten"}));

INSTANTIATE_TEST_SUITE_P(
    Colons, TranslateTest,
    testing::Values(TTranslateCase{"Shots:", LANG_CZECH, "Výstřely:"},
                    TTranslateCase{"Pelet Weight [%s]:", LANG_GERMAN, "Schussgewicht [%s]:"},
                    TTranslateCase{"Limits::", LANG_CZECH, "Limits::"},
                    TTranslateCase{":", LANG_CZECH, ":"}, TTranslateCase{"", LANG_CZECH, ""}));

INSTANTIATE_TEST_SUITE_P(ExactKeys, TranslateTest,
                         testing::Values(TTranslateCase{"connect", LANG_CZECH, "connect"},
                                         TTranslateCase{"Connect ", LANG_CZECH, "Connect "},
                                         TTranslateCase{"Connect :", LANG_CZECH, "Connect :"}));

TEST(TTranslatorTest, DictionaryHoldsCzechThenGermanRows) {
    const TTranslator Translator;
    const auto& Items = Translator.Dictionary().Items();
    ASSERT_EQ(Items.size(), 71U);
    EXPECT_EQ(Items[0].Key, "LNG5_Load Data");
    EXPECT_EQ(Items[35].Key, "LNG5_Limits");
    EXPECT_EQ(Items[36].Key, "LNG7_Load Data");
    EXPECT_EQ(Items[49].Key, "LNG7_Pelet Weight [%s]");
    EXPECT_EQ(Items[70].Value, TVariant{std::string("Limiten")});
}

TEST(TTranslatorTest, AddedTranslationsAreLookedUpAndDuplicatesRefused) {
    TTranslator Translator;
    Translator.AddTranslation(LANG_ENGLISH, "Connect", "Hook up");
    EXPECT_EQ(Translator.Translate("Connect:", LANG_ENGLISH), "Hook up:");
    EXPECT_THROW(Translator.AddTranslation(LANG_CZECH, "Connect", "Spojit"), EAssocArrayException);
    EXPECT_EQ(Translator.Translate("Connect", LANG_CZECH), "Připojit");
}

TEST(TTranslatorTest, LanguageNames) {
    EXPECT_EQ(TTranslator::LanguageName(LANG_CZECH), "Czech");
    EXPECT_EQ(TTranslator::LanguageName(LANG_GERMAN), "German");
    EXPECT_EQ(TTranslator::LanguageName(LANG_ENGLISH), "English");
    EXPECT_EQ(TTranslator::LanguageName(0), "unknown");
    EXPECT_EQ(TTranslator::LanguageName(8), "unknown");
}

} // namespace
