// The received-character loop: arbitrary bytes in arbitrary read sizes, taken from the input,
// with "." and with "," as the decimal separator. The line buffer keeps within its cap, every
// shot has a finite speed, the shots do not depend on how the bytes were cut into reads, and a
// record that follows the garbage after a line end is always added.

#include "series/ShotReceiver.h"
#include "tests/fuzz/FuzzFile.h"
#include "tests/support/ScopedFormatSettings.h"

#include <algorithm>
#include <cmath>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>
#include <vector>

namespace {

void CheckShots(const std::vector<TData>& Shots) {
    for (const TData& Shot : Shots)
        if (!std::isfinite(Shot.Speed()))
            FuzzFailure("a shot with the speed " + std::to_string(Shot.Speed()) + " was added");
}

// Hands the receiver one read after another; returns the bytes of all reads.
std::string FeedReads(FuzzedDataProvider& Provider, TShotReceiver& Receiver) {
    std::string Fed;
    while (Provider.remaining_bytes() > 0) {
        const auto ReadSize =
            Provider.ConsumeIntegralInRange<std::size_t>(1, 2 * TShotReceiver::LineBufferCap);
        const std::string Read = Provider.ConsumeBytesAsString(ReadSize);
        Receiver.ReceiveText(Read);
        if (Receiver.LineBuffer().size() > TShotReceiver::LineBufferCap)
            FuzzFailure("the line buffer holds " + std::to_string(Receiver.LineBuffer().size()) +
                        " characters");
        Fed += Read;
    }
    return Fed;
}

// Below the cap no line is cut short, so one read of everything must give the same shots.
void CheckReadSizesDoNotMatter(const std::string& Fed, const std::vector<TData>& Shots) {
    if (Fed.size() > TShotReceiver::LineBufferCap)
        return;
    TSeries AtOnceSeries;
    TShotReceiver(AtOnceSeries).ReceiveText(Fed);
    const std::vector<TData>& AtOnce = AtOnceSeries.Shots();
    const auto Same = [](const TData& a, const TData& b) {
        return a.Speed() == b.Speed() && a.SpeedUnit() == b.SpeedUnit();
    };
    if (!std::equal(Shots.begin(), Shots.end(), AtOnce.begin(), AtOnce.end(), Same))
        FuzzFailure("the shots depend on the sizes of the reads");
}

// After a line end, the chronograph's next record is a shot whatever came before.
void CheckRecordAfterGarbage(TShotReceiver& Receiver, const std::vector<TData>& Shots) {
    Receiver.ReceiveText("\r\n");
    const std::size_t Before = Shots.size();
    Receiver.ReceiveText("175.52;m/s\r\n");
    const TData Expected("m/s", 175.52);
    if (Shots.size() != Before + 1 || Shots.back().Speed() != Expected.Speed() ||
        Shots.back().SpeedUnit() != Expected.SpeedUnit())
        FuzzFailure("the record after the garbage was not added as it was sent");
}

void CheckReception(const std::uint8_t* Data, std::size_t Size) {
    FuzzedDataProvider Provider(Data, Size);
    TSeries Series;
    TShotReceiver Receiver(Series);
    const std::vector<TData>& Shots = Series.Shots();
    const std::string Fed = FeedReads(Provider, Receiver);
    CheckShots(Shots);
    CheckReadSizesDoNotMatter(Fed, Shots);
    CheckRecordAfterGarbage(Receiver, Shots);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    for (const char* Separator : {".", ","}) {
        TScopedFormatSettings Format(Separator);
        CheckReception(Data, Size);
    }
    return 0;
}
