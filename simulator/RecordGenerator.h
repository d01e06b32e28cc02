#pragma once

// The records a chronograph sends, one per shot: "speed;speed_unit" or, with a pellet weight,
// "speed;speed_unit;pelet_weight;pelet_weight_unit", with "." as the decimal point whatever the
// locale. Speeds follow a normal distribution around a mean, which may drift from shot to shot;
// a seed makes the run repeatable.

#include <cstdint>
#include <random>
#include <string>
#include <string_view>

namespace chronosim {

enum class TLineEnd { CrLf, Cr, Lf };

std::string_view LineEndText(TLineEnd LineEnd);

struct TRecordOptions {
    double Mean = 175.0;
    double Spread = 1.5; // standard deviation
    // Added to the mean with every shot after the first, as a gun that loses pressure or warms.
    double Trend = 0;
    std::string Unit = "m/s";
    // The pellet weight as the user gave it ("0.547"); empty for records without weight fields.
    std::string Weight;
    std::string WeightUnit = "g";
    int Decimals = 2;
    // Every BadEvery-th record is a line a chronograph program must survive; 0 for none.
    int BadEvery = 0;
    std::uint64_t Seed = 0;
};

// Value in fixed notation with Decimals digits after ".", independent of any locale.
std::string FormatFixed(double Value, int Decimals);

class TRecordGenerator {
public:
    explicit TRecordGenerator(TRecordOptions Options);

    // The next record without its line end.
    std::string Next();
    // Whether the record Number (counted from 1) is a bad one.
    bool IsBad(std::uint64_t Number) const;

private:
    std::string GoodRecord();
    std::string BadRecord(std::uint64_t Number);

    TRecordOptions FOptions;
    std::mt19937_64 FEngine;
    std::normal_distribution<double> FSpeeds;
    std::uint64_t FCount = 0;
};

} // namespace chronosim
