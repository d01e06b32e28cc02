#include "chart/BSplines.h"

#include "chart/Canvas.h"

#include <QImage>
#include <QPainter>
#include <functional>
#include <gtest/gtest.h>
#include <initializer_list>
#include <stdexcept>
#include <string>

namespace {

void AddPoints(TBSpline& Spline, std::initializer_list<TFloatPoint> Points) {
    for (const TFloatPoint P : Points)
        Spline.AddPoint(P);
}

void ExpectNear(TFloatPoint Actual, TFloatPoint Expected, float Tolerance = 1e-5f) {
    EXPECT_NEAR(Actual.x, Expected.x, Tolerance);
    EXPECT_NEAR(Actual.y, Expected.y, Tolerance);
}

// A zigzag through (i, i mod 2): a curve that passes through it differs plainly from one that
// only approximates it.
void AddZigzag(TBSpline& Spline, int Count) {
    for (int i = 0; i < Count; ++i)
        Spline.AddPoint({float(i), float(i % 2)});
}

TEST(TBSplineTest, TwoPointsGiveTheStraightSegment) {
    TBSpline Spline;
    AddPoints(Spline, {{2, 4}, {6, 12}});
    for (const bool Interpolated : {false, true}) {
        Spline.SetInterpolated(Interpolated);
        ExpectNear(Spline.Value(0.5), {4, 8});
        ExpectNear(Spline.Value(0), {2, 4});
        ExpectNear(Spline.Value(1), {6, 12});
    }
}

TEST(TBSplineTest, InterpolationPassesThroughThePointsApproximationDoesNot) {
    TBSpline Spline;
    AddPoints(Spline, {{0, 0}, {1, 1}, {2, 0}});
    ExpectNear(Spline.Value(0.5), {1, 2.0f / 3.0f});
    Spline.SetInterpolated(true);
    EXPECT_FALSE(Spline.Built());
    ExpectNear(Spline.Value(0.5), {1, 1});
    // The solved middle vertex lies above the point; the ends stay on the end points.
    ExpectNear(Spline.FGetVertex(2), {1, 1.5f});
    ExpectNear(Spline.Value(0), {0, 0});
    ExpectNear(Spline.Value(1), {2, 0});
}

TEST(TBSplineTest, PhantomVerticesContinueTheEndsStraight) {
    TBSpline Spline;
    AddPoints(Spline, {{0, 0}, {1, 1}, {2, 0}});
    EXPECT_EQ(Spline.NumberOfVertices(), 3);
    ExpectNear(Spline.FGetVertex(0), {-1, -1});
    ExpectNear(Spline.FGetVertex(4), {3, -1});
}

TEST(TBSplineTest, AKnuckleIsHitWithACornerInBothModes) {
    for (const bool Interpolated : {false, true}) {
        TBSpline Spline;
        AddPoints(Spline, {{0, 0}, {1, 1}, {2, 0}});
        Spline.FSetKnuckle(2, true);
        Spline.SetInterpolated(Interpolated);
        EXPECT_EQ(Spline.NumberOfVertices(), 5);
        ExpectNear(Spline.Value(0.5), {1, 1});
        // The curve stops dead at the corner: no direction carries over from either side.
        ExpectNear(Spline.WeightedSlope(0.5), {0, 0});
        EXPECT_GT(Spline.Value(0.45).y, 0.5f);
        EXPECT_LT(Spline.Value(0.45).x, 1.0f);
    }
}

TEST(TBSplineTest, KnuckleFlagsOnTheEndPointsHaveNoEffect) {
    TBSpline Spline;
    AddPoints(Spline, {{0, 0}, {1, 1}, {2, 0}});
    Spline.FSetKnuckle(1, true);
    Spline.FSetKnuckle(3, true);
    EXPECT_FALSE(Spline.FGetKnuckle(1));
    EXPECT_FALSE(Spline.FGetKnuckle(3));
    EXPECT_EQ(Spline.NumberOfVertices(), 3);
}

TEST(TBSplineTest, InterpolationStopsAt250Vertices) {
    TBSpline Solved;
    AddZigzag(Solved, 249);
    Solved.SetInterpolated(true);
    ExpectNear(Solved.Value(125.0L / 248), {125, 1}, 1e-3f);

    TBSpline Approximated;
    AddZigzag(Approximated, 250);
    Approximated.SetInterpolated(true);
    ExpectNear(Approximated.Value(125.0L / 249), {125, 2.0f / 3.0f}, 1e-4f);
    ExpectNear(Approximated.FGetVertex(126), {125, 1});
}

TEST(TBSplineTest, DerivativesOfAStraightCurve) {
    // Points spaced 150 apart in x: the curve is x = 300 t. The weights are the basis'
    // derivatives at j - u, so the slope carries the opposite sign of dx/du.
    TBSpline Spline;
    AddPoints(Spline, {{0, 5}, {150, 5}, {300, 5}});
    ExpectNear(Spline.WeightedSlope(0.3), {-150, 0}, 1e-3f);
    ExpectNear(Spline.WeightedCurvature(0.3), {0, 0}, 1e-3f);
    ExpectNear(Spline.Value(0.3), {90, 5}, 1e-4f);
}

TEST(TBSplineTest, FewerThanTwoPointsGiveTheOrigin) {
    TBSpline Spline;
    Spline.AddPoint({5, 7});
    ExpectNear(Spline.Value(0.5), {0, 0});
    ExpectNear(Spline.WeightedSlope(0.5), {0, 0});
    ExpectNear(Spline.WeightedCurvature(0.5), {0, 0});
    EXPECT_EQ(Spline.FGetVertex(1), (TFloatPoint{0, 0}));
    EXPECT_EQ(Spline.NumberOfVertices(), 0);
    EXPECT_TRUE(Spline.Built());
    EXPECT_EQ(Spline.FGetVertex(1), (TFloatPoint{0, 0}));
    EXPECT_EQ(Spline.Extents(), TExtents{});
}

TEST(TBSplineTest, StorageGrowsBy25AndClearStartsOver) {
    TBSpline Spline;
    EXPECT_EQ(Spline.Capacity(), 0);
    AddZigzag(Spline, 26);
    EXPECT_EQ(Spline.Capacity(), 50);
    EXPECT_EQ(Spline.FGetPoint(26), (TFloatPoint{25, 1}));
    Spline.SetInterpolated(true);
    Spline.SetFragments(1000);
    EXPECT_EQ(Spline.Fragments(), 600);
    Spline.ShowPoints = true;
    EXPECT_EQ(Spline.Extents(), (TExtents{0, 0, 1, 1}));
    Spline.Rebuild();
    EXPECT_EQ(Spline.Extents(), (TExtents{0, 0, 25, 1}));

    // Storage cut below the points keeps only the points it still holds.
    Spline.SetCapacity(10);
    EXPECT_EQ(Spline.NumberOfPoints(), 10);
    EXPECT_FALSE(Spline.Built());
    EXPECT_THROW(Spline.FGetPoint(11), std::runtime_error);

    Spline.Clear();
    EXPECT_EQ(Spline.NumberOfPoints(), 0);
    EXPECT_EQ(Spline.Capacity(), 0);
    EXPECT_FALSE(Spline.Interpolated());
    EXPECT_FALSE(Spline.ShowPoints);
    EXPECT_EQ(Spline.Fragments(), 100);
}

TEST(TBSplineTest, ChangesMarkTheCurveUnbuilt) {
    TBSpline Spline;
    AddPoints(Spline, {{0, 0}, {1, 1}, {2, 0}});
    const std::function<void()> Changes[] = {
        [&] {
            Spline.FSetPoint(2, {1, 3});
        },
        [&] { Spline.FSetKnuckle(2, false); },
        [&] { Spline.SetInterpolated(true); },
        [&] {
            Spline.AddPoint({3, 3});
        },
    };
    for (const auto& Change : Changes) {
        Spline.Rebuild();
        Change();
        EXPECT_FALSE(Spline.Built());
    }
    Spline.Rebuild();
    Spline.FSetVertex(1, {9, 9});
    EXPECT_TRUE(Spline.Built());
    EXPECT_EQ(Spline.FGetVertex(1), (TFloatPoint{9, 9}));
}

TEST(TBSplineTest, GetBoundsWidensWhatItIsGiven) {
    TBSpline Spline;
    AddPoints(Spline, {{-1, 4}, {3, 2}});
    TFloatPoint Min{0, 0};
    TFloatPoint Max{0, 10};
    Spline.GetBounds(Min, Max);
    EXPECT_EQ(Min, (TFloatPoint{-1, 0}));
    EXPECT_EQ(Max, (TFloatPoint{3, 10}));
}

TEST(TBSplineTest, IndexErrorsNameTheAccessorAndTheIndex) {
    TBSpline Spline;
    AddPoints(Spline, {{0, 0}, {1, 1}, {2, 0}});
    const struct {
        std::function<void()> Access;
        std::string Message;
    } Cases[] = {
        {[&] { Spline.FGetPoint(0); }, "List index out of bounds in TBSpline.FGetPoint. (0)."},
        {[&] { Spline.FSetPoint(4, {}); }, "List index out of bounds in TBSpline.FSetPoint. (4)."},
        {[&] { Spline.FGetVertex(5); }, "List index out of bounds in TBSpline.FGetVertex. (5)."},
        {[&] { Spline.FSetVertex(-1, {}); },
         "List index out of bounds in TBSpline.FSetVertex. (-1)."},
        {[&] { Spline.FGetKnuckle(7); }, "List index out of bounds in TBSpline.FGetKnuckle. (7)."},
        {[&] { Spline.FSetKnuckle(0, true); },
         "List index out of bounds in TBSpline.FSetKnuckle. (0)."},
    };
    for (const auto& Case : Cases) {
        try {
            Case.Access();
            ADD_FAILURE() << "no error, expected: " << Case.Message;
        } catch (const std::runtime_error& E) {
            EXPECT_EQ(std::string(E.what()), Case.Message);
        }
    }
}

TEST(TBSplineTest, KnownXFindsEveryCrossingInOrder) {
    // An S lying on its side: x runs 0, 4, 0, 4, so x = 2 is crossed three times.
    TBSpline Spline;
    AddPoints(Spline, {{0, 0}, {4, 1}, {0, 2}, {4, 3}});
    Spline.SetInterpolated(true);
    TKnownResults Results;
    ASSERT_TRUE(Spline.KnownX(Results, 2));
    ASSERT_EQ(Results.Count, 3);
    for (int k = 0; k < Results.Count; ++k) {
        EXPECT_EQ(Results.Points[k].x, 2.0f);
        EXPECT_NEAR(Spline.Value(Results.Parameters[k]).x, 2.0f, 1e-4f);
        EXPECT_NEAR(Spline.Value(Results.Parameters[k]).y, Results.Points[k].y, 1e-6f);
        if (k > 0) {
            EXPECT_GT(Results.Parameters[k], Results.Parameters[k - 1]);
        }
    }
    EXPECT_FALSE(Spline.KnownX(Results, 9));
    EXPECT_EQ(Results.Count, 0);
}

TEST(TBSplineTest, KnownYOnTheSameCurve) {
    TBSpline Spline;
    AddPoints(Spline, {{0, 0}, {4, 1}, {0, 2}, {4, 3}});
    Spline.SetInterpolated(true);
    TKnownResults Results;
    ASSERT_TRUE(Spline.KnownY(Results, 1));
    ASSERT_EQ(Results.Count, 1);
    EXPECT_EQ(Results.Points[0].y, 1.0f);
    EXPECT_NEAR(Results.Points[0].x, 4.0f, 1e-3f);
    EXPECT_NEAR(Results.Parameters[0], 1.0f / 3.0f, 1e-4f);
}

TEST(TBSplineTest, KnownXOnSegmentsAndSamplePoints) {
    TBSpline Segment;
    AddPoints(Segment, {{0, 0}, {10, 20}});
    TKnownResults Results;
    ASSERT_TRUE(Segment.KnownX(Results, 2.5f));
    EXPECT_EQ(Results.Count, 1);
    EXPECT_FLOAT_EQ(Results.Parameters[0], 0.25f);
    EXPECT_EQ(Results.Points[0], (TFloatPoint{2.5f, 5}));

    // x = 300 t: the sample at t = 75 / 150 is exactly 150 and ends one interval and starts
    // the next, so both report it.
    TBSpline Line;
    AddPoints(Line, {{0, 0}, {150, 0}, {300, 0}});
    ASSERT_TRUE(Line.KnownX(Results, 150));
    ASSERT_EQ(Results.Count, 2);
    EXPECT_FLOAT_EQ(Results.Parameters[0], 0.5f);
    EXPECT_FLOAT_EQ(Results.Parameters[1], 0.5f);

    TBSpline Lone;
    Lone.AddPoint({5, 5});
    EXPECT_FALSE(Lone.KnownX(Results, 0));
    EXPECT_EQ(Results.Count, 0);
}

QImage Drawn(TBSpline& Spline) {
    QImage Image(60, 30, QImage::Format_RGB32);
    Image.fill(Qt::white);
    QPainter Painter(&Image);
    TCanvas Canvas(Painter);
    Spline.Draw(Canvas);
    return Image;
}

TEST(TBSplineTest, DrawRunsTheCurveAndMarksThePoints) {
    TBSpline Spline;
    AddPoints(Spline, {{10, 20}, {30, 5}, {50, 20}});
    Spline.SetInterpolated(true);
    QImage Image = Drawn(Spline);
    // The curve's top passes through the middle point; the chord below it stays empty.
    EXPECT_EQ(Image.pixelColor(30, 5), QColor(Qt::black));
    EXPECT_EQ(Image.pixelColor(30, 20), QColor(Qt::white));
    EXPECT_EQ(Image.pixelColor(10, 20), QColor(Qt::black));

    Spline.ShowPoints = true;
    Image = Drawn(Spline);
    EXPECT_EQ(Image.pixelColor(28, 5), QColor(0xFF, 0, 0));
    Spline.ShowPoints = false;
    Spline.SetFragments(0);
    QImage Blank(60, 30, QImage::Format_RGB32);
    Blank.fill(Qt::white);
    EXPECT_EQ(Drawn(Spline), Blank);
}

} // namespace
