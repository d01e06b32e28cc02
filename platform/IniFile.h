#pragma once

// INI files read and written key by key, like the platform's private-profile files: sections
// and keys are compared without regard to letter case, every call reads the file as it is on
// disk, and every write leaves the complete file on disk (a temporary file renamed over it).

#include <stdexcept>
#include <string>

namespace platform {

// A file that cannot be read or written; the message names the file and the system's reason.
class EIniFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TIniFile {
public:
    // Path is UTF-8; the file need not exist (reads then give the defaults).
    explicit TIniFile(std::string Path);

    const std::string& FileName() const { return FPath; }

    std::string ReadString(const std::string& Section, const std::string& Ident,
                           const std::string& Default) const;
    // Decimal, or hexadecimal with a "0x" prefix; any other value gives Default.
    int ReadInteger(const std::string& Section, const std::string& Ident, int Default) const;
    bool SectionExists(const std::string& Section) const;
    bool ValueExists(const std::string& Section, const std::string& Ident) const;

    // Names and values that the file format cannot hold (line breaks, a key with "=", a section
    // with "]") raise EIniFileError instead of corrupting the file.
    void WriteString(const std::string& Section, const std::string& Ident,
                     const std::string& Value);
    void WriteInteger(const std::string& Section, const std::string& Ident, int Value);
    // Makes sure the section exists, even without keys.
    void AddSection(const std::string& Section);
    void DeleteKey(const std::string& Section, const std::string& Ident);
    void EraseSection(const std::string& Section);

private:
    std::string FPath;
};

} // namespace platform
