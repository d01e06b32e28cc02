#include "platform/Registry.h"

#include <charconv>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace platform {
namespace {

constexpr std::string_view DwordPrefix = "dword:";

[[noreturn]] void RaiseInvalidType(const std::string& Name) {
    throw ERegistryException("Invalid data type for '" + Name + "'");
}

// The components of a key path; nothing for a path with an empty component or with characters
// that a section name cannot hold.
std::optional<std::vector<std::string>> SplitKeyPath(std::string_view Path) {
    std::vector<std::string> Parts;
    if (Path.empty() || Path.find_first_of(std::string_view("]\r\n\0", 4)) != Path.npos)
        return std::nullopt;
    for (std::size_t Start = 0;;) {
        const std::size_t End = Path.find('\\', Start);
        Parts.emplace_back(Path.substr(Start, End - Start));
        if (Parts.back().empty() || Parts.back().front() == ' ' || Parts.back().back() == ' ')
            return std::nullopt;
        if (End == Path.npos)
            return Parts;
        Start = End + 1;
    }
}

std::string EncodeString(std::string_view Text) {
    std::string Result = "\"";
    for (const char c : Text) {
        if (c == '\\')
            Result += "\\\\";
        else if (c == '\r')
            Result += "\\r";
        else if (c == '\n')
            Result += "\\n";
        else if (c == '\0')
            Result += "\\0";
        else
            Result += c;
    }
    return Result + "\"";
}

char UnescapedChar(char c) {
    switch (c) {
    case 'r':
        return '\r';
    case 'n':
        return '\n';
    case '0':
        return '\0';
    default:
        return c;
    }
}

std::optional<std::string> DecodeString(std::string_view Raw) {
    if (Raw.size() < 2 || Raw.front() != '"' || Raw.back() != '"')
        return std::nullopt;
    std::string Result;
    for (std::size_t i = 1; i + 1 < Raw.size(); ++i)
        Result += Raw[i] == '\\' && i + 2 < Raw.size() ? UnescapedChar(Raw[++i]) : Raw[i];
    return Result;
}

std::string EncodeInteger(int Value) {
    char Digits[8];
    const auto Bits = static_cast<std::uint32_t>(Value);
    for (int i = 7; i >= 0; --i)
        Digits[i] = "0123456789abcdef"[(Bits >> (4 * (7 - i))) & 0xF];
    return std::string(DwordPrefix) + std::string(Digits, 8);
}

std::optional<int> DecodeInteger(std::string_view Raw) {
    if (!Raw.starts_with(DwordPrefix) || Raw.size() != DwordPrefix.size() + 8)
        return std::nullopt;
    std::uint32_t Bits = 0;
    const char* End = Raw.data() + Raw.size();
    const auto [Ptr, Error] = std::from_chars(Raw.data() + DwordPrefix.size(), End, Bits, 16);
    if (Error != std::errc() || Ptr != End)
        return std::nullopt;
    return static_cast<int>(Bits);
}

} // namespace

TRegistry::TRegistry(std::string FileName) : FFile(std::move(FileName)) {}

bool TRegistry::OpenKey(const std::string& Key, bool CanCreate) {
    const bool Absolute = Key.starts_with('\\') || FCurrentPath.empty();
    std::string Path = Absolute ? Key : FCurrentPath + "\\" + Key;
    if (Path.starts_with('\\'))
        Path.erase(0, 1);
    if (Path.ends_with('\\'))
        Path.pop_back();
    const auto Parts = SplitKeyPath(Path);
    if (!Parts)
        return false;
    try {
        if (!FFile.SectionExists(Path) && !CanCreate)
            return false;
        CreateKey(*Parts);
    } catch (const EIniFileError& Error) {
        throw ERegistryException("Failed to open key '" + Key + "': " + Error.what());
    }
    FCurrentPath = Path;
    return true;
}

// Like the registry, a key exists together with all its parents.
void TRegistry::CreateKey(const std::vector<std::string>& Parts) {
    std::string Prefix;
    for (const std::string& Part : Parts) {
        Prefix += (Prefix.empty() ? "" : "\\") + Part;
        FFile.AddSection(Prefix);
    }
}

void TRegistry::CloseKey() {
    FCurrentPath.clear();
}

std::string TRegistry::RawValue(const std::string& Name) const {
    if (FCurrentPath.empty())
        throw ERegistryException("No registry key is open to read '" + Name + "'");
    try {
        return FFile.ReadString(FCurrentPath, Name, "");
    } catch (const EIniFileError& Error) {
        throw ERegistryException("Failed to get data for '" + Name + "': " + Error.what());
    }
}

void TRegistry::WriteRaw(const std::string& Name, const std::string& Raw) {
    if (FCurrentPath.empty())
        throw ERegistryException("No registry key is open to write '" + Name + "'");
    try {
        FFile.WriteString(FCurrentPath, Name, Raw);
    } catch (const EIniFileError& Error) {
        throw ERegistryException("Failed to set data for '" + Name + "': " + Error.what());
    }
}

void TRegistry::WriteString(const std::string& Name, const std::string& Value) {
    WriteRaw(Name, EncodeString(Value));
}

std::string TRegistry::ReadString(const std::string& Name) const {
    const std::optional<std::string> Value = DecodeString(RawValue(Name));
    if (!Value)
        RaiseInvalidType(Name);
    return *Value;
}

void TRegistry::WriteInteger(const std::string& Name, int Value) {
    WriteRaw(Name, EncodeInteger(Value));
}

int TRegistry::ReadInteger(const std::string& Name) const {
    const std::optional<int> Value = DecodeInteger(RawValue(Name));
    if (!Value)
        RaiseInvalidType(Name);
    return *Value;
}

bool TRegistry::ValueExists(const std::string& Name) const {
    const std::string Raw = RawValue(Name);
    return DecodeString(Raw) || DecodeInteger(Raw);
}

} // namespace platform
