#include "platform/FileIO.h"

#include "tests/platform/PlatformTestSupport.h"

#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <system_error>

using testing::AllOf;
using testing::HasSubstr;
using tests::ReadFileText;
using tests::WriteFileText;

namespace fs = std::filesystem;

namespace {

class FileIOTest : public testing::Test {
protected:
    std::vector<std::string> Entries() const {
        std::vector<std::string> Names;
        for (const auto& Entry : fs::directory_iterator(Folder.Path()))
            Names.push_back(Entry.path().filename().string());
        std::sort(Names.begin(), Names.end());
        return Names;
    }

    // The message of the failure of Action, or "" when it did not fail.
    static std::string FailureOf(const std::function<void()>& Action) {
        try {
            Action();
        } catch (const std::system_error& Error) {
            return Error.what();
        }
        return "";
    }

    tests::TTempFolder Folder;
    std::string Path = Folder.File("shots.csv");
};

} // namespace

TEST_F(FileIOTest, WritingReplacesTheContentAndKeepsThePermissions) {
    platform::WriteFileAtomically(Path, std::string("old\r\n\0x", 7));
    EXPECT_EQ(platform::ReadFileBytes(Path), std::string("old\r\n\0x", 7));
    fs::permissions(Path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    platform::WriteFileAtomically(Path, "new");
    EXPECT_EQ(ReadFileText(Path), "new");
    EXPECT_EQ(fs::status(Path).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(Entries(), std::vector<std::string>{"shots.csv"});
}

TEST_F(FileIOTest, WritingThroughALinkReplacesItsTarget) {
    WriteFileText(Path, "old");
    fs::create_symlink(Path, Folder.File("link.csv"));
    platform::WriteFileAtomically(Folder.File("link.csv"), "new");
    EXPECT_TRUE(fs::is_symlink(Folder.File("link.csv")));
    EXPECT_EQ(ReadFileText(Path), "new");
}

TEST_F(FileIOTest, FailedWriteNamesTheFileAndLeavesNothingBehind) {
    WriteFileText(Path, "old");
    fs::permissions(Path, fs::perms::owner_read | fs::perms::group_read);
    fs::create_directory(Folder.File("folder.csv"));
    const struct {
        std::string Target;
        const char* Reason;
    } Cases[] = {
        {Folder.File("missing/shots.csv"), "No such file or directory"},
        {Folder.File("shots.csv/x.csv"), "Not a directory"},
        {Folder.File("folder.csv"), "Is a directory"},
        {Path, "Permission denied"}, // read-only, also for a user whom the system lets write
    };
    for (const auto& Case : Cases)
        EXPECT_THAT(FailureOf([&] { platform::WriteFileAtomically(Case.Target, "new"); }),
                    AllOf(HasSubstr("'" + Case.Target + "'"), HasSubstr(Case.Reason)));
    EXPECT_EQ(ReadFileText(Path), "old");
    EXPECT_EQ(Entries(), (std::vector<std::string>{"folder.csv", "shots.csv"}));
}

TEST_F(FileIOTest, ReadingAMissingFileNamesItAndTheReason) {
    EXPECT_THAT(FailureOf([&] { platform::ReadFileBytes(Path); }),
                AllOf(HasSubstr("'" + Path + "'"), HasSubstr("No such file or directory")));
    EXPECT_THAT(FailureOf([&] { platform::ReadFileBytes(Folder.Path().string()); }),
                HasSubstr("Is a directory"));
}
