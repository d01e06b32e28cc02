// The data-file reader: arbitrary file contents, with "." and with "," as the decimal
// separator. The reader either adds shots with finite speeds, at most one a line, or raises
// an exception whose message says what is wrong; nothing else.

#include "app/UDataFile.h"
#include "tests/fuzz/FuzzFile.h"
#include "tests/support/ScopedFormatSettings.h"

#include <algorithm>
#include <cmath>
#include <exception>

namespace {

void CheckLoad(const std::string& Path, std::size_t MostShots) {
    std::size_t Shots = 0;
    const auto AddShot = [&Shots](const std::string&, double Speed) {
        if (!std::isfinite(Speed))
            FuzzFailure("a shot with the speed " + std::to_string(Speed) + " was added");
        ++Shots;
    };
    const auto Log = [](const std::string&) {};
    try {
        LoadDataFile(Path, "m/s", AddShot, Log);
    } catch (const std::exception& Error) {
        if (std::string(Error.what()).empty())
            FuzzFailure("the reader raised an exception without a message");
    } catch (...) {
        FuzzFailure("the reader raised something that is not an exception");
    }
    if (Shots > MostShots)
        FuzzFailure(std::to_string(Shots) + " shots from " + std::to_string(MostShots) + " lines");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    static const TFuzzFile File("tarvex-fuzz-data");
    File.Write(Data, Size);
    const std::size_t Lines = 1 + static_cast<std::size_t>(std::count(Data, Data + Size, '\n'));
    for (const char* Separator : {".", ","}) {
        TScopedFormatSettings Format(Separator);
        CheckLoad(File.Path(), Lines);
    }
    return 0;
}
