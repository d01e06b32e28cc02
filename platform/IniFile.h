#pragma once

// INI files like the platform's private-profile files: sections and keys are compared without
// regard to letter case, and a written file is always complete on disk (a temporary file renamed
// over it).

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>

namespace platform {

// A file that cannot be read or written; the message names the file and the system's reason.
class EIniFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A file that is not read at all: not a regular file, or larger than any INI file.
class EIniFileRefused : public EIniFileError {
public:
    using EIniFileError::EIniFileError;
};

// Far more than any settings file holds; a larger one is refused before it fills the memory.
inline constexpr std::uintmax_t MaxIniFileBytes = std::uintmax_t{4} << 20;

// The reads and writes that both kinds of INI file offer.
class TCustomIniFile {
public:
    explicit TCustomIniFile(std::string Path) : FPath(std::move(Path)) {}
    virtual ~TCustomIniFile() = default;

    const std::string& FileName() const { return FPath; }

    virtual std::string ReadString(const std::string& Section, const std::string& Ident,
                                   const std::string& Default) const = 0;
    // Decimal, or hexadecimal with a "0x" prefix; any other value gives Default.
    int ReadInteger(const std::string& Section, const std::string& Ident, int Default) const;
    virtual bool SectionExists(const std::string& Section) const = 0;
    virtual bool ValueExists(const std::string& Section, const std::string& Ident) const = 0;

    // Names and values that the file format cannot hold (line breaks, a key with "=", a section
    // with "]") raise EIniFileError instead of corrupting the file.
    virtual void WriteString(const std::string& Section, const std::string& Ident,
                             const std::string& Value) = 0;
    void WriteInteger(const std::string& Section, const std::string& Ident, int Value);
    // Makes sure the section exists, even without keys.
    virtual void AddSection(const std::string& Section) = 0;
    virtual void DeleteKey(const std::string& Section, const std::string& Ident) = 0;
    virtual void EraseSection(const std::string& Section) = 0;

protected:
    TCustomIniFile(const TCustomIniFile&) = default;
    TCustomIniFile& operator=(const TCustomIniFile&) = default;
    TCustomIniFile(TCustomIniFile&&) noexcept = default;
    TCustomIniFile& operator=(TCustomIniFile&&) noexcept = default;

private:
    std::string FPath;
};

// Read once, changed in memory, written once.
class TMemIniFile final : public TCustomIniFile {
public:
    // Reads Path (UTF-8) when it exists; a missing file gives an empty document. A file that is
    // not a regular file (a folder, a FIFO, a device) or is larger than MaxBytes raises
    // EIniFileRefused before anything waits for a writer or reads without end; one that cannot
    // be read raises EIniFileError.
    explicit TMemIniFile(std::string Path, std::uintmax_t MaxBytes = MaxIniFileBytes);
    // An empty document that UpdateFile writes to Path.
    static TMemIniFile Empty(std::string Path);
    ~TMemIniFile() override;
    TMemIniFile(TMemIniFile&&) noexcept;
    TMemIniFile& operator=(TMemIniFile&&) noexcept;

    std::string ReadString(const std::string& Section, const std::string& Ident,
                           const std::string& Default) const override;
    bool SectionExists(const std::string& Section) const override;
    bool ValueExists(const std::string& Section, const std::string& Ident) const override;
    void WriteString(const std::string& Section, const std::string& Ident,
                     const std::string& Value) override;
    void AddSection(const std::string& Section) override;
    void DeleteKey(const std::string& Section, const std::string& Ident) override;
    void EraseSection(const std::string& Section) override;

    // Whether a write, addition or deletion changed the document since it was read.
    bool Modified() const { return FModified; }
    // Replaces the file with the document in one step.
    void UpdateFile() const;

private:
    struct TDocument;
    TMemIniFile(std::string Path, std::unique_ptr<TDocument> Document);

    std::unique_ptr<TDocument> FDocument;
    bool FModified = false;
};

// Reads the file as it is on disk at every call and writes it at every change, so that the
// programs and threads that share it see each other's keys.
class TIniFile final : public TCustomIniFile {
public:
    // Path is UTF-8; the file need not exist (reads then give the defaults).
    using TCustomIniFile::TCustomIniFile;

    std::string ReadString(const std::string& Section, const std::string& Ident,
                           const std::string& Default) const override;
    bool SectionExists(const std::string& Section) const override;
    bool ValueExists(const std::string& Section, const std::string& Ident) const override;
    void WriteString(const std::string& Section, const std::string& Ident,
                     const std::string& Value) override;
    void AddSection(const std::string& Section) override;
    void DeleteKey(const std::string& Section, const std::string& Ident) override;
    void EraseSection(const std::string& Section) override;

private:
    template <typename Change>
    void Update(const Change& Apply);
};

} // namespace platform
