// The data-file reader: arbitrary file contents, with "." and with "," as the decimal
// separator. The reader either adds shots with finite speeds, at most one a line, or raises
// an exception whose message says what is wrong; nothing else. The shots it added, saved as
// the table shows them and loaded again, show the same speeds.

#include "files/UDataFile.h"
#include "series/UData.h"
#include "tests/fuzz/FuzzFile.h"
#include "tests/support/ScopedFormatSettings.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <optional>
#include <vector>

namespace {

// The speeds that the reader hands on; Error receives the message of an exception.
std::vector<double> LoadSpeeds(const std::string& Path, std::optional<std::string>& Error) {
    std::vector<double> Speeds;
    const auto AddShot = [&Speeds](const std::string&, double Speed) {
        if (!std::isfinite(Speed))
            FuzzFailure("a shot with the speed " + std::to_string(Speed) + " was added");
        Speeds.push_back(Speed);
    };
    const auto Log = [](const std::string&) {};
    try {
        LoadDataFile(Path, "m/s", AddShot, Log);
    } catch (const std::exception& Raised) {
        Error = Raised.what();
        if (Error->empty())
            FuzzFailure("the reader raised an exception without a message");
    } catch (...) {
        FuzzFailure("the reader raised something that is not an exception");
    }
    return Speeds;
}

void CheckSavedAgain(const std::vector<double>& Speeds, const TFuzzFile& Saved) {
    std::vector<TTableRow> Rows;
    for (const double Speed : Speeds)
        Rows.push_back({FormatValue(Speed), ""});
    SaveDataFile(Saved.Path(), Rows, "m/s", "J", FormatValue(0.547), "g");
    std::optional<std::string> Error;
    const std::vector<double> Reloaded = LoadSpeeds(Saved.Path(), Error);
    if (Error)
        FuzzFailure("a saved file does not load: " + *Error);
    for (std::size_t i = 0; i < Rows.size(); ++i)
        if (i >= Reloaded.size() || FormatValue(Reloaded[i]) != Rows[i].Speed)
            FuzzFailure("the saved speed " + Rows[i].Speed + " loads as another");
    if (Reloaded.size() != Rows.size())
        FuzzFailure("a saved file loads with more shots than it was saved with");
}

void CheckLoad(const TFuzzFile& Input, const TFuzzFile& Saved, std::size_t Lines) {
    std::optional<std::string> Error;
    const std::vector<double> Speeds = LoadSpeeds(Input.Path(), Error);
    if (Speeds.size() > Lines)
        FuzzFailure(std::to_string(Speeds.size()) + " shots from " + std::to_string(Lines) +
                    " lines");
    CheckSavedAgain(Speeds, Saved);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    static const TFuzzFile Input("tarvex-fuzz-data");
    static const TFuzzFile Saved("tarvex-fuzz-data-saved");
    Input.Write(Data, Size);
    const std::size_t Lines = 1 + static_cast<std::size_t>(std::count(Data, Data + Size, '\n'));
    for (const char* Separator : {".", ","}) {
        TScopedFormatSettings Format(Separator);
        CheckLoad(Input, Saved, Lines);
    }
    return 0;
}
