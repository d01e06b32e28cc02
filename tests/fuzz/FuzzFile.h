#pragma once

// The file that a fuzz target's readers read: the input's bytes written to a temporary file of
// the process's own, removed when the process ends.

#include <cstddef>
#include <cstdint>
#include <string>

class TFuzzFile {
public:
    explicit TFuzzFile(const std::string& Name);
    ~TFuzzFile();
    TFuzzFile(const TFuzzFile&) = delete;
    TFuzzFile& operator=(const TFuzzFile&) = delete;

    const std::string& Path() const { return FPath; }
    // Replaces the file's content with the bytes.
    void Write(const std::uint8_t* Data, std::size_t Size) const;

private:
    std::string FPath;
};

// A fuzz target's property that does not hold: says which and stops the process, so that
// libFuzzer keeps the input as a finding.
[[noreturn]] void FuzzFailure(const std::string& Property);
