#include "app/UPortErrors.h"

#include "platform/CommFunctions.h"
#include "platform/DeviceAccess.h"
#include "platform/NumberFormats.h"

#include <cerrno>

namespace {

std::string Advice(std::int32_t SystemCode, const std::string& PortName,
                   const TTranslate& Translate) {
    const auto Say = [&](const char* Text) {
        return platform::Format(Translate(Text), {PortName});
    };
    switch (SystemCode) {
    case EACCES:
    case EPERM: {
        std::string Group = platform::DeviceGroupName(PortName);
        Group = Group.empty() ? "dialout" : Group;
        return Say("The device %s cannot be opened: you are not allowed to use it.") + "\n" +
               platform::Format(Translate("Add yourself to the group \"%s\" that owns the device "
                                          "with the command:\nsudo adduser %s %s\nthen log out "
                                          "and log in again."),
                                {Group, platform::CurrentUserName(), Group});
    }
    case EBUSY:
        return Say("The device %s is in use by another program. Close the other program and "
                   "connect again.");
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return Say("The device %s is not there: it is unplugged or its name is wrong. Plug it in "
                   "or choose another port.");
    default:
        return {};
    }
}

// What happened and what to do come first, in the user's language; the port's own message and
// the system's reason, in English, close the text for whoever helps the user.
std::string Explained(const std::string& PortMessage, std::int32_t SystemCode,
                      const std::string& Advice) {
    const std::string Detail = TechnicalDetail(PortMessage, SystemCode);
    return Advice.empty() ? Detail : Advice + "\n\n" + Detail;
}

} // namespace

std::string TechnicalDetail(const std::string& PortMessage, std::int32_t SystemCode) {
    if (SystemCode <= 0)
        return PortMessage;
    return PortMessage + ": " + platform::SysErrorMessage(static_cast<std::uint32_t>(SystemCode));
}

std::string ExplainOpenFailure(const std::string& PortMessage, std::int32_t SystemCode,
                               const std::string& PortName, const TTranslate& Translate) {
    return Explained(PortMessage, SystemCode, Advice(SystemCode, PortName, Translate));
}

std::string ExplainConnectionLost(const std::string& PortMessage, std::int32_t SystemCode,
                                  const std::string& PortName, const TTranslate& Translate) {
    const std::string Lost =
        TranslateWith(Translate,
                      "The connection to %s was lost: the device was unplugged or "
                      "stopped answering. Check the cable and connect again.",
                      PortName);
    return Explained(PortMessage, SystemCode, Lost);
}
