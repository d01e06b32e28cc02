#include "platform/FileIO.h"

#include "tests/platform/PlatformTestSupport.h"

#include <fcntl.h>
#include <filesystem>
#include <future>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <optional>
#include <sys/stat.h>
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

    std::string MakeFifo(const std::string& Name) const {
        const std::string Fifo = Folder.File(Name);
        EXPECT_EQ(::mkfifo(Fifo.c_str(), 0600), 0);
        return Fifo;
    }

    // The refusal of a bounded read. A read that waits on a FIFO is released by opening the FIFO
    // for writing once the bound has passed, so that the test fails instead of hanging.
    static std::optional<platform::EFileRefused> RefusalOf(const std::string& File,
                                                           std::uintmax_t MaxBytes) {
        auto Reading =
            std::async(std::launch::async, [&]() -> std::optional<platform::EFileRefused> {
                try {
                    platform::ReadRegularFileBytes(File, MaxBytes);
                } catch (const platform::EFileRefused& Refused) {
                    return Refused;
                }
                return std::nullopt;
            });
        const auto Done = [&] {
            return Reading.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
        };
        if (!tests::WaitUntil(Done)) {
            ADD_FAILURE() << "the read of " << File << " waits";
            ::close(::open(File.c_str(), O_WRONLY | O_NONBLOCK));
        }
        return Reading.get();
    }

    tests::TTempFolder Folder;
    std::string Path = Folder.File("shots.csv");
};

} // namespace

TEST_F(FileIOTest, WritingReplacesTheContentAndKeepsThePermissions) {
    // A new file gets the mode the umask gives, as one created in place would.
    const mode_t Saved = ::umask(027);
    platform::WriteFileAtomically(Path, std::string("old\r\n\0x", 7));
    ::umask(Saved);
    EXPECT_EQ(fs::status(Path).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(platform::ReadRegularFileBytes(Path, 7), std::string("old\r\n\0x", 7));
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

TEST_F(FileIOTest, BoundedReadTakesARegularFileOfAtMostTheLimit) {
    WriteFileText(Path, "175;m/s");
    fs::create_symlink(Path, Folder.File("link.csv"));
    EXPECT_EQ(platform::ReadRegularFileBytes(Path, 7), "175;m/s");
    EXPECT_EQ(platform::ReadRegularFileBytes(Folder.File("link.csv"), 7), "175;m/s");
    EXPECT_EQ(platform::ReadRegularFileBytes(Path, UINTMAX_MAX), "175;m/s");
    const std::optional<platform::EFileRefused> Refused = RefusalOf(Path, 6);
    ASSERT_TRUE(Refused);
    EXPECT_EQ(Refused->Reason(), platform::EFileRefused::TooLarge);
    EXPECT_EQ(Refused->Size(), 7u);
    EXPECT_THAT(Refused->what(), AllOf(HasSubstr("'" + Path + "'"), HasSubstr("too large")));
    EXPECT_THAT(FailureOf([&] { platform::ReadRegularFileBytes(Folder.File("x.csv"), 7); }),
                AllOf(HasSubstr("x.csv'"), HasSubstr("No such file or directory")));
}

TEST_F(FileIOTest, BoundedReadRefusesWhatIsNoRegularFileWithoutWaiting) {
    fs::create_directory(Folder.File("folder.csv"));
    for (const std::string& File :
         {MakeFifo("fifo.csv"), Folder.File("folder.csv"), std::string("/dev/zero")}) {
        const std::optional<platform::EFileRefused> Refused = RefusalOf(File, 1 << 20);
        ASSERT_TRUE(Refused) << File;
        EXPECT_EQ(Refused->Reason(), platform::EFileRefused::NotRegularFile) << File;
        EXPECT_THAT(Refused->what(),
                    AllOf(HasSubstr("'" + File + "'"), HasSubstr("not a regular file")));
    }
}

TEST_F(FileIOTest, BoundedReadRefusesALargeFileByItsSize) {
    constexpr std::uintmax_t Limit = 64 << 20;
    WriteFileText(Path, "");
    fs::resize_file(Path, Limit + 1); // sparse: it takes no room on the disk
    const std::optional<platform::EFileRefused> Refused = RefusalOf(Path, Limit);
    ASSERT_TRUE(Refused);
    EXPECT_EQ(Refused->Reason(), platform::EFileRefused::TooLarge);
    EXPECT_EQ(Refused->Size(), Limit + 1);
}
