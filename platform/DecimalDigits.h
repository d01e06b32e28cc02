#pragma once

// The decimal digits of a double as the number formats show them.

#include <string>

namespace platform {

struct TDecimalDigits {
    bool Negative = false;
    // Significant digits without leading or trailing zeros; empty for zero.
    std::string Digits;
    // The value is 0.Digits times ten to the power PointPosition.
    int PointPosition = 0;

    // A finite value rounded to 15 significant digits, halves away from zero.
    static TDecimalDigits FromDouble(double Value);

    bool IsZero() const { return Digits.empty(); }
    // Keeps Decimals digits after the point; halves round away from zero.
    void RoundToDecimals(int Decimals);
    // The digits before the point, padded with leading zeros to at least MinDigits.
    std::string IntegerDigits(int MinDigits) const;
    // Exactly Count digits after the point.
    std::string FractionDigits(int Count) const;

private:
    void RoundAt(int Keep);
};

} // namespace platform
