#include "platform/IniFile.h"

#include "platform/FileIO.h"
#include "platform/FileLock.h"
#include "platform/NumberFormats.h"

// Only the narrow UTF-8 form is used; without a wide-character converter, sections and keys
// are compared with ASCII letters folded, like the platform's private-profile files. The
// library's code is compiled here, from its header, so that nothing needs to be linked.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>
#include <cerrno>
#include <optional>
#include <string_view>
#include <system_error>
#include <utility>

namespace platform {

struct TMemIniFile::TDocument {
    // Written like the platform's private-profile files: "key=value", no blanks around "=".
    TDocument() { Ini.SetSpaces(false); }
    CSimpleIniA Ini{true};
};

namespace {

// The file's bytes, or nothing when there is no such file.
std::optional<std::string> ReadIniBytes(const std::string& Path, std::uintmax_t MaxBytes) {
    try {
        return ReadRegularFileBytes(Path, MaxBytes);
    } catch (const std::system_error& Error) {
        if (Error.code().value() == ENOENT || Error.code().value() == ENOTDIR)
            return std::nullopt;
        throw EIniFileError(Error.what());
    } catch (const EFileRefused& Refused) {
        throw EIniFileRefused(Refused.what());
    }
}

bool HasLineBreakOrNull(std::string_view Text) {
    return Text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

bool HasOuterBlank(std::string_view Text) {
    const auto IsBlank = [](char c) { return c == ' ' || c == '\t'; };
    return Text.empty() || IsBlank(Text.front()) || IsBlank(Text.back());
}

// A name that would not read back as itself: the line syntax would split, trim or swallow it.
bool IsStorableName(std::string_view Name, bool IsKey) {
    if (HasLineBreakOrNull(Name) || HasOuterBlank(Name))
        return false;
    if (!IsKey)
        return Name.find(']') == std::string_view::npos;
    return Name.find('=') == std::string_view::npos &&
           std::string_view(";#[").find(Name.front()) == std::string_view::npos;
}

void CheckStorable(const std::string& Path, const std::string& Section, const std::string* Ident,
                   const std::string* Value) {
    const char* Problem = nullptr;
    if (!IsStorableName(Section, false))
        Problem = "section name";
    else if (Ident && !IsStorableName(*Ident, true))
        Problem = "key name";
    else if (Value && HasLineBreakOrNull(*Value))
        Problem = "value with a line break";
    if (Problem)
        throw EIniFileError("Cannot write file '" + Path + "': invalid " + Problem + " in [" +
                            Section + "]" + (Ident ? " " + *Ident : std::string()));
}

} // namespace

int TCustomIniFile::ReadInteger(const std::string& Section, const std::string& Ident,
                                int Default) const {
    int Value = 0;
    return TryStrToInt(ReadString(Section, Ident, ""), Value) ? Value : Default;
}

void TCustomIniFile::WriteInteger(const std::string& Section, const std::string& Ident, int Value) {
    WriteString(Section, Ident, std::to_string(Value));
}

TMemIniFile::TMemIniFile(std::string Path, std::unique_ptr<TDocument> Document)
    : TCustomIniFile(std::move(Path)), FDocument(std::move(Document)) {}

TMemIniFile::TMemIniFile(std::string Path, std::uintmax_t MaxBytes)
    : TMemIniFile(std::move(Path), std::make_unique<TDocument>()) {
    const std::optional<std::string> Text = ReadIniBytes(FileName(), MaxBytes);
    if (Text && FDocument->Ini.LoadData(*Text) < 0)
        throw EIniFileError("Cannot read file '" + FileName() + "': out of memory");
}

TMemIniFile TMemIniFile::Empty(std::string Path) {
    return TMemIniFile(std::move(Path), std::make_unique<TDocument>());
}

TMemIniFile::~TMemIniFile() = default;
TMemIniFile::TMemIniFile(TMemIniFile&&) noexcept = default;
TMemIniFile& TMemIniFile::operator=(TMemIniFile&&) noexcept = default;

std::string TMemIniFile::ReadString(const std::string& Section, const std::string& Ident,
                                    const std::string& Default) const {
    const char* Value = FDocument->Ini.GetValue(Section.c_str(), Ident.c_str(), nullptr);
    return Value ? std::string(Value) : Default;
}

bool TMemIniFile::SectionExists(const std::string& Section) const {
    return FDocument->Ini.SectionExists(Section.c_str());
}

bool TMemIniFile::ValueExists(const std::string& Section, const std::string& Ident) const {
    return FDocument->Ini.KeyExists(Section.c_str(), Ident.c_str());
}

void TMemIniFile::WriteString(const std::string& Section, const std::string& Ident,
                              const std::string& Value) {
    CheckStorable(FileName(), Section, &Ident, &Value);
    if (FDocument->Ini.SetValue(Section.c_str(), Ident.c_str(), Value.c_str()) < 0)
        throw EIniFileError("Cannot write file '" + FileName() + "': out of memory");
    FModified = true;
}

void TMemIniFile::AddSection(const std::string& Section) {
    CheckStorable(FileName(), Section, nullptr, nullptr);
    if (SectionExists(Section))
        return;
    if (FDocument->Ini.SetValue(Section.c_str(), nullptr, nullptr) < 0)
        throw EIniFileError("Cannot write file '" + FileName() + "': out of memory");
    FModified = true;
}

void TMemIniFile::DeleteKey(const std::string& Section, const std::string& Ident) {
    FModified = FDocument->Ini.Delete(Section.c_str(), Ident.c_str()) || FModified;
}

void TMemIniFile::EraseSection(const std::string& Section) {
    FModified = FDocument->Ini.Delete(Section.c_str(), nullptr) || FModified;
}

void TMemIniFile::UpdateFile() const {
    std::string Text;
    if (FDocument->Ini.Save(Text, false) < 0)
        throw EIniFileError("Cannot write file '" + FileName() + "': out of memory");
    try {
        WriteFileAtomically(FileName(), Text);
    } catch (const std::runtime_error& Error) {
        throw EIniFileError(Error.what());
    }
}

std::string TIniFile::ReadString(const std::string& Section, const std::string& Ident,
                                 const std::string& Default) const {
    return TMemIniFile(FileName()).ReadString(Section, Ident, Default);
}

bool TIniFile::SectionExists(const std::string& Section) const {
    return TMemIniFile(FileName()).SectionExists(Section);
}

bool TIniFile::ValueExists(const std::string& Section, const std::string& Ident) const {
    return TMemIniFile(FileName()).ValueExists(Section, Ident);
}

// Reads the file as it is now, applies one change and writes the file back when the change
// changed something. Writers that do this one after the other (threads or programs using this
// class) keep each other's keys; one that finds the lock held too long goes on without it: the
// file stays whole either way, only a key that the other sets at the same moment may be lost.
template <typename Change>
void TIniFile::Update(const Change& Apply) {
    const TFileLock Lock(FileName() + ".lock", LockTimeout);
    TMemIniFile Document(FileName());
    Apply(Document);
    if (Document.Modified())
        Document.UpdateFile();
}

void TIniFile::WriteString(const std::string& Section, const std::string& Ident,
                           const std::string& Value) {
    Update([&](TMemIniFile& Document) { Document.WriteString(Section, Ident, Value); });
}

void TIniFile::AddSection(const std::string& Section) {
    Update([&](TMemIniFile& Document) { Document.AddSection(Section); });
}

void TIniFile::DeleteKey(const std::string& Section, const std::string& Ident) {
    Update([&](TMemIniFile& Document) { Document.DeleteKey(Section, Ident); });
}

void TIniFile::EraseSection(const std::string& Section) {
    Update([&](TMemIniFile& Document) { Document.EraseSection(Section); });
}

} // namespace platform
