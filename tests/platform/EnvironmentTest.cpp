#include "platform/Environment.h"

#include "platform/LocalTime.h"
#include "tests/platform/PlatformTestSupport.h"
#include "tests/support/ScopedEnvironment.h"

#include <chrono>
#include <ctime>
#include <filesystem>
#include <gtest/gtest.h>
#include <tuple>

using platform::ExpandEnvPrefix;
using platform::GetEnvValue;

namespace {

constexpr const char* Variable = "TARVEX_TEST_FOLDER";
constexpr const char* Unset = "TARVEX_TEST_UNSET";

// Broken-down times as comparable tuples: year, month, day, hour, minute, second, millisecond.
using TTimeTuple = std::tuple<int, unsigned, unsigned, long, long, long, long>;

TTimeTuple LocalTimeTuple() {
    const TScopedEnvironment Zone("TZ", "XYZ-02"); // two hours east of UTC, no summer time
    ::tzset();
    const platform::TLocalTime Now = platform::LocalTimeNow();
    return {Now.Year,         unsigned(Now.Month), unsigned(Now.Day),    long(Now.Hour),
            long(Now.Minute), long(Now.Second),    long(Now.Millisecond)};
}

} // namespace

TEST(EnvironmentTest, GetEnvValueGivesTheValueOrTheNameWhenUnset) {
    const TScopedEnvironment Set(Variable, "x=1");
    const TScopedEnvironment Cleared(Unset, std::nullopt);
    EXPECT_EQ(GetEnvValue(Variable), "x=1");
    EXPECT_EQ(GetEnvValue(Unset), Unset);
    // The C library would answer "1" here, the value after "TARVEX_TEST_FOLDER=x".
    EXPECT_EQ(GetEnvValue(std::string(Variable) + "=x"), std::string(Variable) + "=x");
    const TScopedEnvironment Empty(Variable, "");
    EXPECT_EQ(GetEnvValue(Variable), "");
}

TEST(EnvironmentTest, ExpandEnvPrefixReplacesOnlyALeadingVariable) {
    const TScopedEnvironment Set(Variable, "/home/u");
    const TScopedEnvironment Cleared(Unset, std::nullopt);
    const struct {
        const char* Path;
        const char* Expected;
    } Cases[] = {
        {"%TARVEX_TEST_FOLDER%/tarvex", "/home/u/tarvex"},
        {"%TARVEX_TEST_FOLDER%", "/home/u"},
        {"%TARVEX_TEST_FOLDER", "/home/u"},
        {"%TARVEX_TEST_FOLDER%/%TARVEX_TEST_FOLDER%", "/home/u/%TARVEX_TEST_FOLDER%"},
        {"%TARVEX_TEST_UNSET%/tarvex", "TARVEX_TEST_UNSET/tarvex"},
        {"/x/%TARVEX_TEST_FOLDER%", "/x/%TARVEX_TEST_FOLDER%"},
        {"%%", "%%"},
        {"%\xC3\xA9", "%\xC3\xA9"}, // two characters, three bytes
        {"", ""},
    };
    for (const auto& Case : Cases)
        EXPECT_EQ(ExpandEnvPrefix(Case.Path), Case.Expected) << Case.Path;
}

TEST(EnvironmentTest, DataFolderPrefersAnAbsoluteXdgConfigHomeAndCreatesParents) {
    const tests::TTempFolder Temp;
    const TScopedEnvironment Home("HOME", (Temp.Path() / "home").string());
    {
        const TScopedEnvironment Config("XDG_CONFIG_HOME", (Temp.Path() / "a/b").string());
        EXPECT_EQ(platform::DataFolder(), (Temp.Path() / "a/b/tarvex").string());
        EXPECT_TRUE(std::filesystem::is_directory(Temp.Path() / "a/b/tarvex"));
    }
    for (const std::optional<std::string>& Config :
         {std::optional<std::string>(""), std::optional<std::string>(),
          std::optional<std::string>("relative/config")}) {
        const TScopedEnvironment Scoped("XDG_CONFIG_HOME", Config);
        EXPECT_EQ(platform::DataFolder(), (Temp.Path() / "home/.config/tarvex").string())
            << Config.value_or("unset");
    }
    EXPECT_TRUE(std::filesystem::is_directory(Temp.Path() / "home/.config/tarvex"));
}

TEST(EnvironmentTest, DataFolderThatCannotBeCreatedIsStillNamed) {
    const tests::TTempFolder Temp;
    tests::WriteFileText(Temp.File("file"), "x");
    const TScopedEnvironment Config("XDG_CONFIG_HOME", Temp.File("file"));
    EXPECT_EQ(platform::DataFolder(), Temp.File("file") + "/tarvex");
}

TEST(EnvironmentTest, LocalTimeNowFollowsTheTimeZone) {
    using namespace std::chrono;
    const auto Broken = [](system_clock::time_point Time) {
        const auto Shifted = floor<milliseconds>(Time + hours(2));
        const auto Day = floor<days>(Shifted);
        const year_month_day Date(Day);
        const hh_mm_ss Clock(Shifted - Day);
        return TTimeTuple(int(Date.year()), unsigned(Date.month()), unsigned(Date.day()),
                          Clock.hours().count(), Clock.minutes().count(), Clock.seconds().count(),
                          Clock.subseconds().count());
    };
    const TTimeTuple Before = Broken(system_clock::now());
    const TTimeTuple Local = LocalTimeTuple();
    const TTimeTuple After = Broken(system_clock::now());
    ::tzset();
    EXPECT_LE(Before, Local);
    EXPECT_LE(Local, After);
}
