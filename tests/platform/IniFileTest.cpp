#include "platform/IniFile.h"

#include "tests/platform/PlatformTestSupport.h"

#include <algorithm>
#include <climits>
#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <thread>

using platform::EIniFileError;
using platform::TIniFile;
using testing::HasSubstr;
using tests::ReadFileText;
using tests::TTempFolder;
using tests::WriteFileText;

namespace {

class IniFileTest : public testing::Test {
protected:
    TTempFolder Folder;
    std::string Path = Folder.File("settings.ini");
    TIniFile Ini{Path};
};

} // namespace

TEST_F(IniFileTest, MissingFileGivesDefaultsAndReadsNeverCreateIt) {
    EXPECT_EQ(Ini.ReadString("data", "units", "xxx"), "xxx");
    EXPECT_EQ(Ini.ReadInteger("user-interface", "language", 9), 9);
    EXPECT_FALSE(Ini.SectionExists("data"));
    EXPECT_FALSE(Ini.ValueExists("data", "units"));
    Ini.DeleteKey("data", "units");
    Ini.EraseSection("data");
    EXPECT_FALSE(std::filesystem::exists(Path));
}

TEST_F(IniFileTest, WritesKeysInWriteOrderAndKeepsTheirPlaceWhenChanged) {
    Ini.WriteString("data", "units", "metric");
    Ini.WriteString("data", "pelet-weight", "0.547");
    Ini.WriteInteger("user-interface", "language", 9);
    Ini.WriteInteger("user-interface", "column_width_01", 80);
    Ini.WriteString("data", "speed-limit", "999999");
    Ini.WriteString("data", "units", "imperial");
    EXPECT_EQ(ReadFileText(Path), "[data]\n"
                                  "units=imperial\n"
                                  "pelet-weight=0.547\n"
                                  "speed-limit=999999\n"
                                  "\n\n"
                                  "[user-interface]\n"
                                  "language=9\n"
                                  "column_width_01=80\n");
}

TEST_F(IniFileTest, SectionsAndKeysIgnoreLetterCase) {
    Ini.WriteString("Data", "Units", "metric");
    Ini.WriteString("DATA", "UNITS", "imperial");
    EXPECT_EQ(Ini.ReadString("data", "units", ""), "imperial");
    EXPECT_TRUE(Ini.SectionExists("dAtA"));
    EXPECT_TRUE(Ini.ValueExists("data", "uNITs"));
    EXPECT_EQ(ReadFileText(Path), "[Data]\nUnits=imperial\n");
}

TEST_F(IniFileTest, EachWriteStartsFromTheFileOnDisk) {
    TIniFile Other(Path);
    Ini.WriteString("data", "units", "metric");
    Other.WriteString("data", "pelet-weight", "0.547");
    Ini.WriteInteger("user-interface", "language", 7);
    EXPECT_EQ(Other.ReadString("data", "units", ""), "metric");
    EXPECT_EQ(Ini.ReadString("data", "pelet-weight", ""), "0.547");

    // Another program's key and comment survive our next write.
    WriteFileText(Path, "; written by hand\n[data]\nunits=metric\nmine=kept\n");
    Ini.WriteString("data", "units", "imperial");
    EXPECT_EQ(ReadFileText(Path), "; written by hand\n\n\n[data]\nunits=imperial\nmine=kept\n");
}

TEST_F(IniFileTest, WritersAtTheSameTimeKeepEachOthersKeys) {
    const auto Writer = [this](const std::string& Section) {
        TIniFile Own(Path);
        for (int i = 0; i < 25; ++i)
            Own.WriteInteger(Section, "key" + std::to_string(i), i);
    };
    std::thread First(Writer, "first");
    std::thread Second(Writer, "second");
    First.join();
    Second.join();
    for (const char* Section : {"first", "second"})
        for (int i = 0; i < 25; ++i)
            EXPECT_EQ(Ini.ReadInteger(Section, "key" + std::to_string(i), -1), i) << Section << i;
}

TEST_F(IniFileTest, ReadsIntegersDecimalOrHexAndFallsBackOnAnythingElse) {
    WriteFileText(Path, "[n]\ndec=42\nneg=-17\nhex=0x1F\nblank= 8 \ntext=abc\nfrac=1.5\n"
                        "empty=\nhuge=99999999999\n");
    EXPECT_EQ(Ini.ReadInteger("n", "dec", 0), 42);
    EXPECT_EQ(Ini.ReadInteger("n", "neg", 0), -17);
    EXPECT_EQ(Ini.ReadInteger("n", "hex", 0), 31);
    EXPECT_EQ(Ini.ReadInteger("n", "blank", 0), 8);
    for (const char* Key : {"text", "frac", "empty", "huge", "absent"})
        EXPECT_EQ(Ini.ReadInteger("n", Key, -5), -5) << Key;
    Ini.WriteInteger("n", "min", INT_MIN);
    EXPECT_EQ(Ini.ReadInteger("n", "min", 0), INT_MIN);
}

TEST_F(IniFileTest, DeletesKeysAndSections) {
    Ini.WriteString("a", "one", "1");
    Ini.WriteString("a", "two", "2");
    Ini.WriteString("b", "three", "3");
    Ini.DeleteKey("A", "ONE");
    EXPECT_FALSE(Ini.ValueExists("a", "one"));
    EXPECT_TRUE(Ini.ValueExists("a", "two"));
    Ini.DeleteKey("a", "two");
    EXPECT_TRUE(Ini.SectionExists("a")); // an emptied section stays, as in private profiles
    Ini.EraseSection("a");
    EXPECT_FALSE(Ini.SectionExists("a"));
    EXPECT_EQ(Ini.ReadString("b", "three", ""), "3");
    Ini.AddSection("empty");
    EXPECT_TRUE(TIniFile(Path).SectionExists("empty"));
}

TEST_F(IniFileTest, KeepsValuesExactlyIncludingUtf8AndSyntaxCharacters) {
    const std::string Values[] = {
        "Čeština – ü ß 日本", "a=b;c", "#not a comment", "[x]", "", "tab\tinside",
        "C:\\Users\\tarvex"};
    for (int i = 0; i < 7; ++i)
        Ini.WriteString("values", "k" + std::to_string(i), Values[i]);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(TIniFile(Path).ReadString("values", "k" + std::to_string(i), "?"), Values[i]);
}

TEST_F(IniFileTest, RefusesWhatTheFormatCannotHoldAndLeavesTheFileAlone) {
    Ini.WriteString("data", "units", "metric");
    const std::string Before = ReadFileText(Path);
    EXPECT_THROW(Ini.WriteString("data", "units", "metric\n[evil]\nx=1"), EIniFileError);
    EXPECT_THROW(Ini.WriteString("data", "units", std::string("a\0b", 3)), EIniFileError);
    for (const char* Key : {"a=b", "[x", ";c", "#c", "", " lead", "trail ", "two\nlines"})
        EXPECT_THROW(Ini.WriteString("data", Key, "v"), EIniFileError) << Key;
    for (const char* Section : {"a]b", "", " lead", "x\ry"})
        EXPECT_THROW(Ini.WriteString(Section, "k", "v"), EIniFileError) << Section;
    EXPECT_EQ(ReadFileText(Path), Before);
}

TEST_F(IniFileTest, FailedWritesRaiseWithFileAndReason) {
    TIniFile NoFolder(Folder.File("missing/settings.ini"));
    try {
        NoFolder.WriteString("data", "units", "metric");
        FAIL() << "no error";
    } catch (const EIniFileError& Error) {
        EXPECT_THAT(Error.what(), HasSubstr(Folder.File("missing/settings.ini")));
        EXPECT_THAT(Error.what(), HasSubstr("No such file or directory"));
    }

    Ini.WriteString("data", "units", "metric");
    std::filesystem::permissions(Path, std::filesystem::perms::owner_read);
    EXPECT_THROW(Ini.WriteString("data", "units", "imperial"), EIniFileError);
    EXPECT_EQ(Ini.ReadString("data", "units", ""), "metric");
}

TEST_F(IniFileTest, ReadingSomethingThatIsNotAFileRaises) {
    std::filesystem::create_directory(Path);
    EXPECT_THROW(Ini.ReadString("data", "units", ""), EIniFileError);
    EXPECT_THROW(Ini.WriteString("data", "units", "metric"), EIniFileError);
}

TEST_F(IniFileTest, ReplacesTheFileWholeKeepingItsPermissionsAndNoLeftovers) {
    Ini.WriteString("data", "units", "metric");
    const auto OwnerOnly = std::filesystem::perms::owner_read | std::filesystem::perms::owner_write;
    std::filesystem::permissions(Path, OwnerOnly);
    std::ifstream OpenedBefore(Path, std::ios::binary);
    Ini.WriteString("data", "units", "imperial");

    // A reader that had the file open keeps the complete old text: the file was replaced, not
    // rewritten in place.
    const std::string Old{std::istreambuf_iterator<char>(OpenedBefore), {}};
    EXPECT_EQ(Old, "[data]\nunits=metric\n");
    EXPECT_EQ(std::filesystem::status(Path).permissions(), OwnerOnly);
    std::vector<std::string> Files;
    for (const auto& Entry : std::filesystem::directory_iterator(Folder.Path()))
        Files.push_back(Entry.path().filename().string());
    std::sort(Files.begin(), Files.end());
    EXPECT_EQ(Files, (std::vector<std::string>{"settings.ini", "settings.ini.lock"}));
}
