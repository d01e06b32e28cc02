#include "tests/fuzz/FuzzFile.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

TFuzzFile::TFuzzFile(const std::string& Name) {
    // Several fuzzing processes may run side by side (-jobs): each needs its own file.
    std::random_device Random;
    FPath =
        (std::filesystem::temp_directory_path() / (Name + "-" + std::to_string(Random()) + ".tmp"))
            .string();
}

TFuzzFile::~TFuzzFile() {
    std::error_code Ignored;
    std::filesystem::remove(FPath, Ignored);
}

void TFuzzFile::Write(const std::uint8_t* Data, std::size_t Size) const {
    std::ofstream File(FPath, std::ios::binary | std::ios::trunc);
    File.write(reinterpret_cast<const char*>(Data), static_cast<std::streamsize>(Size));
    if (!File.flush())
        FuzzFailure("the input could not be written to " + FPath);
}

void FuzzFailure(const std::string& Property) {
    std::fprintf(stderr, "PROPERTY VIOLATED: %s\n", Property.c_str());
    std::abort();
}
