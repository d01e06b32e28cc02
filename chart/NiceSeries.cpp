#include "chart/NiceSeries.h"

#include <algorithm>
#include <cmath>

TNiceSeries::TNiceSeries(TSeriesOwner& Chart, TSeriesKind Kind) : FChart(Chart), FKind(Kind) {}

int TNiceSeries::AddValue(double X, double Y, const std::string& Hint) {
    const bool Number = !std::isnan(X);
    FXSorted = FXSorted && Number && (FValues.empty() || X >= FValues.back().X);
    FXAscending = FXAscending && Number && (FValues.empty() || X > FValues.back().X);
    FXExtremes.Add(X);
    FYExtremes.Add(Y);
    FYRanges.Add(Y);
    TXYInfo Value;
    Value.X = X;
    Value.Y = Y;
    FValues.push_back(Value);
    // Hints are kept beside the values, and only once a value has one.
    if (!Hint.empty() || !FHints.empty()) {
        FHints.resize(FValues.size() - 1);
        FHints.push_back(Hint);
    }
    FChart.UpdateChart();
    return static_cast<int>(FValues.size()) - 1;
}

void TNiceSeries::SetCaption(const std::string& Caption) {
    if (Caption == FCaption)
        return;
    FCaption = Caption;
    FChart.UpdateChart();
}

void TNiceSeries::HintForX(double X, std::string& Text) const {
    if (!FXSorted) {
        for (std::size_t Index = 0; Index < FValues.size(); ++Index) {
            if (FValues[Index].X == X)
                Text = HintOf(Index);
        }
        return;
    }
    const auto After =
        std::upper_bound(FValues.begin(), FValues.end(), X,
                         [](double Wanted, const TXYInfo& Value) { return Wanted < Value.X; });
    if (After != FValues.begin() && std::prev(After)->X == X)
        Text = HintOf(static_cast<std::size_t>(std::prev(After) - FValues.begin()));
}

std::string TNiceSeries::HintOf(std::size_t Index) const {
    return Index < FHints.size() ? FHints[Index] : std::string();
}

TExtremes TNiceSeries::YExtremes(int From, int To) const {
    return FYRanges.Of(From, To, [this](int i) { return FValues[i].Y; });
}
