#include "platform/Registry.h"

#include "tests/platform/PlatformTestSupport.h"

#include <climits>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

using platform::ERegistryException;
using platform::TRegistry;
using testing::HasSubstr;
using tests::TTempFolder;
using tests::WriteFileText;

namespace {

class RegistryTest : public testing::Test {
protected:
    TTempFolder Folder;
    std::string Path = Folder.File("registry.ini");
    TRegistry Registry{Path};
};

// Expects Call to raise ERegistryException with exactly Message.
template <typename TCall>
void ExpectRegistryError(TCall Call, const std::string& Message) {
    try {
        Call();
        ADD_FAILURE() << "no error, expected: " << Message;
    } catch (const ERegistryException& Error) {
        EXPECT_EQ(Error.what(), Message);
    }
}

} // namespace

TEST_F(RegistryTest, KeysAreCreatedOnlyOnRequestWithTheirParentsAndPersist) {
    EXPECT_FALSE(Registry.OpenKey("Software\\Tarvex\\Port", false));
    EXPECT_EQ(Registry.CurrentPath(), "");
    ASSERT_TRUE(Registry.OpenKey("Software\\Tarvex\\Port", true));
    EXPECT_EQ(Registry.CurrentPath(), "Software\\Tarvex\\Port");

    TRegistry Later(Path);
    EXPECT_TRUE(Later.OpenKey("\\software\\TARVEX\\port\\", false));
    EXPECT_TRUE(Later.OpenKey("\\Software", false));
    EXPECT_TRUE(Later.OpenKey("Tarvex", false)); // below the open key
    EXPECT_EQ(Later.CurrentPath(), "Software\\Tarvex");
    EXPECT_FALSE(Later.OpenKey("Missing", false));
    EXPECT_EQ(Later.CurrentPath(), "Software\\Tarvex");
}

TEST_F(RegistryTest, KeyPathsThatCannotBeNamedAreNotOpened) {
    ASSERT_TRUE(Registry.OpenKey("Software", true));
    for (const char* Key : {"\\", "\\a\\\\b", "a]b", "two\nlines", "\\ blank"})
        EXPECT_FALSE(Registry.OpenKey(Key, true)) << Key;
    EXPECT_EQ(Registry.CurrentPath(), "Software");
}

TEST_F(RegistryTest, ValuesReadBackExactlyAcrossRunsWithNamesIgnoringCase) {
    const std::string Texts[] = {"ttyUSB0",   "",           "  blanks both ends  ",
                                 "C:\\dir\\", "\"quoted\"", "a\r\nb",
                                 "Ž#32=;[x]", "\\r literal"};
    const int Numbers[] = {0, 1, -1, 19200, INT_MIN, INT_MAX};
    ASSERT_TRUE(Registry.OpenKey("Software\\Tarvex\\Port", true));
    for (int i = 0; i < 8; ++i)
        Registry.WriteString("Text" + std::to_string(i), Texts[i]);
    for (int i = 0; i < 6; ++i)
        Registry.WriteInteger("Number" + std::to_string(i), Numbers[i]);

    TRegistry Later(Path);
    ASSERT_TRUE(Later.OpenKey("Software\\Tarvex\\Port", false));
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(Later.ReadString("TEXT" + std::to_string(i)), Texts[i]) << i;
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(Later.ReadInteger("number" + std::to_string(i)), Numbers[i]) << i;
}

TEST_F(RegistryTest, MissingValuesAndValuesOfTheOtherTypeRaise) {
    ASSERT_TRUE(Registry.OpenKey("Port", true));
    Registry.WriteString("Port", "ttyUSB0");
    Registry.WriteInteger("CustomBaudRate", 9600);
    EXPECT_TRUE(Registry.ValueExists("port"));
    EXPECT_FALSE(Registry.ValueExists("BaudRate"));
    ExpectRegistryError([&] { Registry.ReadInteger("Port"); }, "Invalid data type for 'Port'");
    ExpectRegistryError([&] { Registry.ReadString("CustomBaudRate"); },
                        "Invalid data type for 'CustomBaudRate'");
    ExpectRegistryError([&] { Registry.ReadString("BaudRate"); },
                        "Invalid data type for 'BaudRate'");

    // A value edited by hand without the notation is of no known type.
    WriteFileText(Path, "[Port]\nPort=ttyUSB0\nBaud=dword:12\n");
    EXPECT_FALSE(Registry.ValueExists("Port"));
    ExpectRegistryError([&] { Registry.ReadString("Port"); }, "Invalid data type for 'Port'");
    ExpectRegistryError([&] { Registry.ReadInteger("Baud"); }, "Invalid data type for 'Baud'");
}

TEST_F(RegistryTest, EveryValueCallNeedsAnOpenKey) {
    ASSERT_TRUE(Registry.OpenKey("Port", true));
    Registry.CloseKey();
    EXPECT_THROW(Registry.ReadString("Port"), ERegistryException);
    EXPECT_THROW(Registry.ReadInteger("Port"), ERegistryException);
    EXPECT_THROW(Registry.ValueExists("Port"), ERegistryException);
    EXPECT_THROW(Registry.WriteString("Port", "x"), ERegistryException);
    EXPECT_THROW(Registry.WriteInteger("Port", 1), ERegistryException);
}

TEST_F(RegistryTest, BackingFileFailuresRaiseRegistryErrorsNamingTheFile) {
    TRegistry Unwritable(Folder.File("missing/registry.ini"));
    try {
        Unwritable.OpenKey("Port", true);
        FAIL() << "no error";
    } catch (const ERegistryException& Error) {
        EXPECT_THAT(Error.what(), HasSubstr(Folder.File("missing/registry.ini")));
    }
    ASSERT_TRUE(Registry.OpenKey("Port", true));
    EXPECT_THROW(Registry.WriteString("Bad=Name", "x"), ERegistryException);
}
