#include "chart/NiceSeries.h"

#include "chart/AxisScaling.h"
#include "chart/NiceChart.h"

#include <algorithm>

namespace {

template <typename Better>
double Extreme(const std::vector<TXYInfo>& Values, double TXYInfo::*Field, double Start,
               Better IsBetter) {
    double Result = Start;
    for (const TXYInfo& Value : Values) {
        if (IsBetter(Value.*Field, Result))
            Result = Value.*Field;
    }
    return Result;
}

} // namespace

TNiceSeries::TNiceSeries(TNiceChart& Chart, TSeriesKind Kind) : FChart(Chart), FKind(Kind) {}

int TNiceSeries::AddValue(double X, double Y, const std::string& Hint) {
    TXYInfo Value;
    Value.X = X;
    Value.Y = Y;
    Value.Hint = Hint;
    FValues.push_back(std::move(Value));
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
    for (const TXYInfo& Value : FValues) {
        if (Value.X == X)
            Text = Value.Hint;
    }
}

double TNiceSeries::MaxX() const {
    return Extreme(FValues, &TXYInfo::X, -NoValue, std::greater<>());
}

double TNiceSeries::MinX() const {
    return Extreme(FValues, &TXYInfo::X, NoValue, std::less<>());
}

double TNiceSeries::MaxY() const {
    return Extreme(FValues, &TXYInfo::Y, -NoValue, std::greater<>());
}

double TNiceSeries::MinY() const {
    return Extreme(FValues, &TXYInfo::Y, NoValue, std::less<>());
}
