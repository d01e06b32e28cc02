#include "chart/LabelWidths.h"

#include "chart/Canvas.h"
#include "platform/Fonts.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

TEST(TLabelWidthsTest, KeptWidthsFollowTheFont) {
    QImage Image(10, 10, QImage::Format_RGB32);
    QPainter Painter(&Image);
    TCanvas Canvas(Painter);
    TLabelWidths Widths;
    Canvas.SetFont(ArialFont(11));
    const int Small = Canvas.TextWidth("12345");
    EXPECT_EQ(Widths.TextWidth(Canvas, "12345"), Small);
    EXPECT_EQ(Widths.TextWidth(Canvas, "12345"), Small);
    Canvas.SetFont(ArialFont(30));
    EXPECT_GT(Widths.TextWidth(Canvas, "12345"), Small);
    EXPECT_EQ(Widths.TextWidth(Canvas, "12345"), Canvas.TextWidth("12345"));
}

} // namespace
