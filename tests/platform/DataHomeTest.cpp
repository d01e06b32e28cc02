#include "platform/DataHome.h"

#include "tests/platform/PlatformTestSupport.h"
#include "tests/support/ScopedEnvironment.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <optional>

namespace {

// The folder holds every shot: the program makes it its user's alone.
TEST(DataHomeTest, LibraryFolderPrefersAnAbsoluteXdgDataHomeAndCreatesParents) {
    const tests::TTempFolder Temp;
    const TScopedEnvironment Home("HOME", (Temp.Path() / "home").string());
    const struct {
        std::optional<std::string> DataHome;
        std::filesystem::path Expected;
    } Cases[] = {
        {(Temp.Path() / "a/b").string(), Temp.Path() / "a/b/tarvex"},
        {std::nullopt, Temp.Path() / "home/.local/share/tarvex"},
        {"", Temp.Path() / "home/.local/share/tarvex"},
        {"relative/data", Temp.Path() / "home/.local/share/tarvex"},
    };
    for (const auto& Case : Cases) {
        const TScopedEnvironment DataHome("XDG_DATA_HOME", Case.DataHome);
        EXPECT_EQ(platform::LibraryFolder(), Case.Expected.string())
            << Case.DataHome.value_or("unset");
        EXPECT_TRUE(std::filesystem::is_directory(Case.Expected));
        EXPECT_EQ(std::filesystem::status(Case.Expected).permissions(),
                  std::filesystem::perms::owner_all);
    }
}

} // namespace
