#pragma once

// A small stand-in for the system registry, enough to keep a port's settings between runs:
// keys are backslash paths compared without regard to letter case, each holding named text
// and integer values. It lives in an INI file, one section per key, and values are written in
// the registry's export notation: "text" in double quotes and dword:0000002a for integers.

#include "platform/IniFile.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace platform {

class ERegistryException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TRegistry {
public:
    explicit TRegistry(std::string FileName);

    // Opens Key ("Software\\Tarvex\\Port"); a key without a leading backslash is taken below
    // the open key, if any. CanCreate creates the key and its parents. False when the key does
    // not exist (and may not be created) or cannot be named; the open key is then unchanged.
    bool OpenKey(const std::string& Key, bool CanCreate);
    void CloseKey();
    // The open key's full path, empty when none is open.
    const std::string& CurrentPath() const { return FCurrentPath; }

    // Reads raise ERegistryException ("Invalid data type for 'Port'") when the value does not
    // exist or has the other type; every call raises when no key is open.
    void WriteString(const std::string& Name, const std::string& Value);
    std::string ReadString(const std::string& Name) const;
    void WriteInteger(const std::string& Name, int Value);
    int ReadInteger(const std::string& Name) const;
    bool ValueExists(const std::string& Name) const;

private:
    void CreateKey(const std::vector<std::string>& Parts);
    std::string RawValue(const std::string& Name) const;
    void WriteRaw(const std::string& Name, const std::string& Raw);

    TIniFile FFile;
    std::string FCurrentPath;
};

} // namespace platform
