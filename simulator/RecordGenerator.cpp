#include "simulator/RecordGenerator.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>

namespace chronosim {

std::string_view LineEndText(TLineEnd LineEnd) {
    switch (LineEnd) {
    case TLineEnd::Cr:
        return "\r";
    case TLineEnd::Lf:
        return "\n";
    default:
        return "\r\n";
    }
}

std::string FormatFixed(double Value, int Decimals) {
    char Buffer[400];
    const auto [End, Error] =
        std::to_chars(Buffer, Buffer + sizeof Buffer, Value, std::chars_format::fixed, Decimals);
    if (Error != std::errc())
        throw std::out_of_range("Cannot write the number " + std::to_string(Value));
    return std::string(Buffer, End);
}

TRecordGenerator::TRecordGenerator(TRecordOptions Options)
    : FOptions(std::move(Options)), FEngine(FOptions.Seed),
      FSpeeds(FOptions.Mean, FOptions.Spread) {}

bool TRecordGenerator::IsBad(std::uint64_t Number) const {
    return FOptions.BadEvery > 0 && Number % static_cast<std::uint64_t>(FOptions.BadEvery) == 0;
}

std::string TRecordGenerator::Next() {
    ++FCount;
    return IsBad(FCount) ? BadRecord(FCount) : GoodRecord();
}

std::string TRecordGenerator::GoodRecord() {
    // A chronograph never shows a negative speed, however wide the spread asked for.
    const double Drift = FOptions.Trend * static_cast<double>(FCount - 1);
    const double Speed = std::max(0.0, FSpeeds(FEngine) + Drift);
    std::string Record = FormatFixed(Speed, FOptions.Decimals) + ";" + FOptions.Unit;
    if (!FOptions.Weight.empty())
        Record += ";" + FOptions.Weight + ";" + FOptions.WeightUnit;
    return Record;
}

// In turn: an error report, a record without a speed, and line noise (any byte but a line
// end, as a loose connector or a wrong speed produces).
std::string TRecordGenerator::BadRecord(std::uint64_t Number) {
    switch ((Number / static_cast<std::uint64_t>(FOptions.BadEvery) - 1) % 3) {
    case 0:
        return "ERR;;";
    case 1:
        return ";" + FOptions.Unit;
    default:
        break;
    }
    std::string Noise(8, '\0');
    std::uniform_int_distribution<int> Bytes(0, 255);
    for (char& c : Noise)
        do
            c = static_cast<char>(Bytes(FEngine));
        while (c == '\r' || c == '\n');
    return Noise;
}

} // namespace chronosim
