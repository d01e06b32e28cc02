#include "chart/ChartProperties.h"

#include "platform/Fonts.h"

TChartProperties::TChartProperties() : TitleFont(ArialFont(19)), AxisFont(ArialFont(11)) {}

QFont TChartProperties::AxisTitleFont() const {
    QFont Font = AxisFont;
    Font.setBold(true);
    return Font;
}
