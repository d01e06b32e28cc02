#pragma once

// The speeds of shots, in order, for comparing series in tests.

#include "series/UData.h"

#include <vector>

namespace tests {

inline std::vector<double> Speeds(const std::vector<TData>& Shots) {
    std::vector<double> Result;
    for (const TData& Shot : Shots)
        Result.push_back(Shot.Speed());
    return Result;
}

} // namespace tests
