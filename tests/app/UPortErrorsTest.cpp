#include "app/UPortErrors.h"

#include "platform/DeviceAccess.h"
#include "text/UTranslator.h"

#include <cerrno>
#include <gtest/gtest.h>

namespace {

const TTranslator Translator;

TTranslate In(int Language) {
    return [Language](const std::string& Text) { return Translator.Translate(Text, Language); };
}

bool Contains(const std::string& Text, const std::string& Part) {
    return Text.find(Part) != std::string::npos;
}

TEST(PortErrors, EachSystemReasonSaysWhatToDo) {
    const std::string Denied = ExplainOpenFailure("Unable to open com port (Error: 13)", EACCES,
                                                  "/dev/null", In(LANG_ENGLISH));
    EXPECT_TRUE(Denied.starts_with("The device /dev/null cannot be opened")) << Denied;
    EXPECT_TRUE(Denied.ends_with("\n\nUnable to open com port (Error: 13): Permission denied"));
    const std::string Group = platform::DeviceGroupName("/dev/null");
    EXPECT_TRUE(Contains(Denied, "sudo adduser " + platform::CurrentUserName() + " " + Group))
        << Denied;
    EXPECT_TRUE(Contains(ExplainOpenFailure("x", EBUSY, "ttyUSB0", In(LANG_ENGLISH)),
                         "The device ttyUSB0 is in use by another program."));
    EXPECT_TRUE(Contains(ExplainOpenFailure("x", ENOENT, "ttyUSB0", In(LANG_ENGLISH)),
                         "it is unplugged or its name is wrong"));
    EXPECT_EQ(ExplainOpenFailure("x", EINVAL, "ttyUSB0", In(LANG_ENGLISH)), "x: Invalid argument");
    EXPECT_EQ(ExplainOpenFailure("Port Not Open", -1, "ttyUSB0", In(LANG_ENGLISH)),
              "Port Not Open");
}

TEST(PortErrors, AdviceIsTranslated) {
    EXPECT_TRUE(Contains(ExplainOpenFailure("x", EBUSY, "ttyUSB0", In(LANG_CZECH)),
                         "Zařízení ttyUSB0 používá jiný program."));
    EXPECT_TRUE(Contains(ExplainOpenFailure("x", EACCES, "ttyUSB0", In(LANG_GERMAN)),
                         "melden Sie sich dann ab und wieder an."));
    EXPECT_TRUE(Contains(ExplainConnectionLost("x", EIO, "ttyUSB0", In(LANG_GERMAN)),
                         "Die Verbindung zu ttyUSB0 ist abgebrochen"));
    // The user's language leads; the English detail comes last.
    const std::string Lost = ExplainConnectionLost("WaitForEvent method failed (Error: 5)", EIO,
                                                   "ttyUSB0", In(LANG_CZECH));
    EXPECT_TRUE(Lost.starts_with("Spojení s ttyUSB0")) << Lost;
    EXPECT_TRUE(Lost.ends_with("\n\nWaitForEvent method failed (Error: 5): Input/output error"));
}

} // namespace
