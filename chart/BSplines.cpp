#include "chart/BSplines.h"

#include "chart/Canvas.h"
#include "chart/ChartGeometry.h"

#include <QColor>
#include <QPoint>
#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

namespace {

// Interpolation solves a dense system, so it is limited to fewer than 250 vertices.
constexpr int MinSolvedVertices = 3;
constexpr int MaxSolvedVertices = 249;
// Knuckle points are written three times in a row as vertices.
constexpr int KnuckleCopies = 3;
constexpr float SameVertex = 1e-5f;
// KnownX and KnownY sample the curve at this many intervals and refine each crossing.
constexpr int SearchIntervals = 150;
constexpr int MaxRefinements = 81;
constexpr TExtended RefinedError = 1e-5;
constexpr float StraightSegment = 1e-6f;

TExtended BasisWeight(TExtended D) {
    D = std::fabs(D);
    if (D < 1)
        return TExtended(2) / 3 - D * D + D * D * D / 2;
    if (D < 2)
        return (2 - D) * (2 - D) * (2 - D) / 6;
    return 0;
}

TExtended SlopeWeight(TExtended D) {
    if (D > -2 && D <= -1)
        return (D + 2) * (D + 2) / 2;
    if (D >= -1 && D <= 0)
        return -2 * D - TExtended(1.5) * D * D;
    if (D >= 0 && D <= 1)
        return -2 * D + TExtended(1.5) * D * D;
    if (D >= 1 && D < 2)
        return -(2 - D) * (2 - D) / 2;
    return 0;
}

TExtended CurvatureWeight(TExtended D) {
    if (D >= -2 && D <= -1)
        return D + 2;
    if (D >= -1 && D <= 0)
        return -2 - 3 * D;
    if (D >= 0 && D <= 1)
        return 3 * D - 2;
    if (D >= 1 && D <= 2)
        return 2 - D;
    return 0;
}

bool SamePoint(TFloatPoint A, TFloatPoint B) {
    return std::fabs(A.x - B.x) < SameVertex && std::fabs(A.y - B.y) < SameVertex;
}

bool Between(float Wanted, float A, float B) {
    return (A <= Wanted && Wanted <= B) || (B <= Wanted && Wanted <= A);
}

[[noreturn]] void RaiseIndexError(const char* Accessor, int Index) {
    throw std::runtime_error(std::string("List index out of bounds in ") + "TBSpline" + Accessor +
                             std::to_string(Index) + ").");
}

} // namespace

TBSpline::TBSpline() {
    Clear();
}

TBSpline::~TBSpline() {
    Clear();
}

void TBSpline::Clear() {
    ShowPoints = false;
    FNumberOfPoints = 0;
    FNumberOfVertices = 0;
    SetBuilt(false);
    SetCapacity(0);
    FInterpolated = false;
    FFragments = 100;
}

void TBSpline::SetCapacity(int N) {
    N = std::max(0, N);
    if (N == FCapacity)
        return;
    FPoints.resize(N);
    FKnuckles.resize(N, false);
    FCapacity = N;
    if (FNumberOfPoints > N) {
        FNumberOfPoints = N;
        SetBuilt(false);
    }
}

void TBSpline::CheckPointIndex(int Index, const char* Accessor) const {
    if (Index < 1 || Index > FNumberOfPoints)
        RaiseIndexError(Accessor, Index);
}

void TBSpline::CheckVertexIndex(int Index, const char* Accessor) const {
    if (Index < 0 || Index > FNumberOfVertices + 1)
        RaiseIndexError(Accessor, Index);
}

TFloatPoint TBSpline::FGetPoint(int Index) const {
    CheckPointIndex(Index, ".FGetPoint. (");
    return FPoints[Index - 1];
}

void TBSpline::FSetPoint(int Index, TFloatPoint Point) {
    CheckPointIndex(Index, ".FSetPoint. (");
    FPoints[Index - 1] = Point;
    SetBuilt(false);
}

TFloatPoint TBSpline::FGetVertex(int Index) {
    if (!FBuilt && FNumberOfPoints < 2)
        return {};
    BuildIfNeeded();
    CheckVertexIndex(Index, ".FGetVertex. (");
    return FVertices[Index];
}

void TBSpline::FSetVertex(int Index, TFloatPoint Point) {
    BuildIfNeeded();
    CheckVertexIndex(Index, ".FSetVertex. (");
    FVertices[Index] = Point;
}

bool TBSpline::FGetKnuckle(int Index) const {
    CheckPointIndex(Index, ".FGetKnuckle. (");
    return Index != 1 && Index != FNumberOfPoints && FKnuckles[Index - 1];
}

void TBSpline::FSetKnuckle(int Index, bool Knuckle) {
    CheckPointIndex(Index, ".FSetKnuckle. (");
    FKnuckles[Index - 1] = Knuckle;
    SetBuilt(false);
}

void TBSpline::AddPoint(TFloatPoint Point) {
    if (FNumberOfPoints == FCapacity)
        SetCapacity(FCapacity + 25);
    ++FNumberOfPoints;
    FPoints[FNumberOfPoints - 1] = Point;
    SetBuilt(false);
}

void TBSpline::GetBounds(TFloatPoint& Min, TFloatPoint& Max) const {
    for (int i = 0; i < FNumberOfPoints; ++i) {
        Min.x = std::min(Min.x, FPoints[i].x);
        Min.y = std::min(Min.y, FPoints[i].y);
        Max.x = std::max(Max.x, FPoints[i].x);
        Max.y = std::max(Max.y, FPoints[i].y);
    }
}

void TBSpline::SetBuilt(bool Value) {
    if (!Value) {
        FVertices.clear();
        FNumberOfVertices = 0;
        FExtents = TExtents{};
    }
    FBuilt = Value;
}

void TBSpline::SetInterpolated(bool Value) {
    if (Value == FInterpolated)
        return;
    FInterpolated = Value;
    SetBuilt(false);
}

void TBSpline::SetFragments(int N) {
    if (N == FFragments)
        return;
    FFragments = std::min(N, MaxFragments);
}

int TBSpline::NumberOfVertices() {
    BuildIfNeeded();
    return FNumberOfVertices;
}

void TBSpline::BuildIfNeeded() {
    if (!FBuilt)
        Rebuild();
}

void TBSpline::Rebuild() {
    if (FNumberOfPoints > 1) {
        FillVertices();
        if (FInterpolated && FNumberOfVertices >= MinSolvedVertices &&
            FNumberOfVertices <= MaxSolvedVertices) {
            std::vector<float> Matrix(std::size_t(FNumberOfVertices) * FNumberOfVertices, 0.0f);
            FillMatrix(Matrix);
            SolveVertices(Matrix);
        }
    } else {
        // Two empty slots, so that the vertex accessors stay within storage without a curve.
        FVertices.assign(2, TFloatPoint{});
    }
    FBuilt = true;
    AddPhantomVertices();
}

void TBSpline::FillVertices() {
    FNumberOfVertices = 0;
    for (int i = 1; i <= FNumberOfPoints; ++i)
        FNumberOfVertices += FGetKnuckle(i) ? KnuckleCopies : 1;
    FVertices.assign(FNumberOfVertices + 2, TFloatPoint{});
    int Next = 1;
    FExtents = {FPoints[0].x, FPoints[0].y, FPoints[0].x, FPoints[0].y};
    for (int i = 1; i <= FNumberOfPoints; ++i) {
        const TFloatPoint P = FPoints[i - 1];
        for (int Copy = FGetKnuckle(i) ? KnuckleCopies : 1; Copy > 0; --Copy)
            FVertices[Next++] = P;
        FExtents = {std::min(FExtents.MinX, P.x), std::min(FExtents.MinY, P.y),
                    std::max(FExtents.MaxX, P.x), std::max(FExtents.MaxY, P.y)};
    }
}

// Row r says that the curve at the integer parameter of vertex r, (V[r-1] + 4 V[r] + V[r+1]) / 6,
// is point r; the end rows and the rows of a tripled knuckle pin their vertex to the point.
void TBSpline::FillMatrix(std::vector<float>& Matrix) const {
    const int N = FNumberOfVertices;
    auto M = [&](int Row, int Column) -> float& {
        return Matrix[std::size_t(Row - 1) * N + (Column - 1)];
    };
    for (int r = 2; r <= N - 1; ++r) {
        M(r, r - 1) = 1.0f / 6.0f;
        M(r, r) = 2.0f / 3.0f;
        M(r, r + 1) = 1.0f / 6.0f;
    }
    M(1, 1) = 1.0f;
    M(N, N) = 1.0f;
    for (int k = 3; k < N - 1;) {
        if (!SamePoint(FVertices[k - 1], FVertices[k]) ||
            !SamePoint(FVertices[k], FVertices[k + 1])) {
            ++k;
            continue;
        }
        for (int r = k - 1; r <= k + 1; ++r) {
            M(r, r - 1) = 0.0f;
            M(r, r) = 1.0f;
            M(r, r + 1) = 0.0f;
        }
        k += 2;
    }
}

// Gaussian elimination without pivoting over the full matrix; the system is tridiagonal, so the
// back substitution needs only the diagonal and the one above it.
void TBSpline::SolveVertices(std::vector<float>& Matrix) {
    const int N = FNumberOfVertices;
    float* M = Matrix.data();
    TFloatPoint* V = FVertices.data();
    for (int Pivot = 0; Pivot < N - 1; ++Pivot) {
        const float* PivotRow = M + std::size_t(Pivot) * N;
        for (int r = Pivot + 1; r < N; ++r) {
            float* Row = M + std::size_t(r) * N;
            const float Factor = Row[Pivot] / PivotRow[Pivot];
            for (int c = 0; c < N; ++c)
                Row[c] -= Factor * PivotRow[c];
            V[r + 1].x -= Factor * V[Pivot + 1].x;
            V[r + 1].y -= Factor * V[Pivot + 1].y;
        }
    }
    const auto Diagonal = [&](int r) { return M[std::size_t(r) * N + r]; };
    V[N].x /= Diagonal(N - 1);
    V[N].y /= Diagonal(N - 1);
    for (int r = N - 2; r >= 0; --r) {
        const float Upper = M[std::size_t(r) * N + r + 1];
        V[r + 1].x = (V[r + 1].x - Upper * V[r + 2].x) / Diagonal(r);
        V[r + 1].y = (V[r + 1].y - Upper * V[r + 2].y) / Diagonal(r);
    }
}

void TBSpline::AddPhantomVertices() {
    const int N = FNumberOfVertices;
    if (N < 2)
        return;
    FVertices[0] = {2 * FVertices[1].x - FVertices[2].x, 2 * FVertices[1].y - FVertices[2].y};
    FVertices[N + 1] = {2 * FVertices[N].x - FVertices[N - 1].x,
                        2 * FVertices[N].y - FVertices[N - 1].y};
}

// The sum of Weight(j - U) * V[j] over the four vertices around U, accumulated in 32-bit floats.
TFloatPoint TBSpline::Weighted(TExtended U, TWeight Weight) const {
    const int N = FNumberOfVertices;
    const int k = std::max(0, static_cast<int>(std::trunc(U - 1)));
    TFloatPoint Result;
    for (int j = std::min(k, N + 1); j <= std::min(k + 3, N + 1); ++j) {
        const TExtended W = Weight(j - U);
        if (W == 0)
            continue;
        Result.x = static_cast<float>(Result.x + W * FVertices[j].x);
        Result.y = static_cast<float>(Result.y + W * FVertices[j].y);
    }
    return Result;
}

TFloatPoint TBSpline::Value(TExtended T) {
    if (FNumberOfPoints < 2)
        return {};
    BuildIfNeeded();
    const float U = static_cast<float>(T * (FNumberOfVertices - 1) + 1);
    return Weighted(U, BasisWeight);
}

TFloatPoint TBSpline::WeightedSlope(TExtended T) {
    if (FNumberOfPoints < 2)
        return {};
    BuildIfNeeded();
    return Weighted(T * (FNumberOfVertices - 1) + 1, SlopeWeight);
}

TFloatPoint TBSpline::WeightedCurvature(TExtended T) {
    if (FNumberOfPoints < 2)
        return {};
    BuildIfNeeded();
    return Weighted(T * (FNumberOfVertices - 1) + 1, CurvatureWeight);
}

void TBSpline::Draw(TCanvas& Canvas) {
    if (FFragments > 0) {
        std::vector<QPoint> Line;
        Line.reserve(FFragments + 1);
        for (int i = 0; i <= FFragments; ++i) {
            const TFloatPoint P = Value(static_cast<float>(i) / static_cast<float>(FFragments));
            Line.emplace_back(Nearest(P.x), Nearest(P.y));
        }
        Canvas.Polyline(Line);
    }
    if (!ShowPoints)
        return;
    Canvas.SetPenColor(QColor(0xFF, 0x00, 0x00));
    for (int i = 0; i < FNumberOfPoints; ++i) {
        const int X = Nearest(FPoints[i].x);
        const int Y = Nearest(FPoints[i].y);
        Canvas.Ellipse({X - 2, Y - 2, X + 2, Y + 2});
    }
}

bool TBSpline::KnownX(TKnownResults& Results, float X) {
    return KnownAlong(Results, X, &TFloatPoint::x, "KnownX");
}

bool TBSpline::KnownY(TKnownResults& Results, float Y) {
    return KnownAlong(Results, Y, &TFloatPoint::y, "KnownY");
}

bool TBSpline::KnownAlong(TKnownResults& Results, float Wanted, float TFloatPoint::*Along,
                          const char* Operation) {
    BuildIfNeeded();
    Results.Count = 0;
    // Without two points there is no curve, and Value's (0, 0) is no point of it.
    if (FNumberOfPoints < 2)
        return false;
    auto Add = [&](float T) {
        if (Results.Count == TKnownResults::MaxResults)
            throw std::runtime_error(std::string("Max. number of results exceeded in TBSpline.") +
                                     Operation);
        TFloatPoint P = Value(T);
        P.*Along = Wanted;
        Results.Parameters[Results.Count] = T;
        Results.Points[Results.Count] = P;
        ++Results.Count;
    };
    if (FNumberOfPoints == 2) {
        const float A = FPoints[0].*Along;
        const float B = FPoints[1].*Along;
        if (Between(Wanted, A, B))
            Add(std::fabs(B - A) < StraightSegment ? 0.5f : (Wanted - A) / (B - A));
        return Results.Count > 0;
    }
    TFloatPoint Prev = FPoints[0];
    for (int i = 1; i <= SearchIntervals; ++i) {
        const TFloatPoint Cur = Value(TExtended(i) / SearchIntervals);
        if (Between(Wanted, Prev.*Along, Cur.*Along))
            Add(Refine(Wanted, Along, i, Prev, Cur));
        Prev = Cur;
    }
    return Results.Count > 0;
}

// Narrows the bracket of sample interval Step, whose ends Lo and Hi lie on either side of
// Wanted, by linear interpolation (halving where the ends coincide).
float TBSpline::Refine(float Wanted, float TFloatPoint::*Along, int Step, TFloatPoint Lo,
                       TFloatPoint Hi) {
    TExtended TLo = TExtended(Step - 1) / SearchIntervals;
    TExtended THi = TExtended(Step) / SearchIntervals;
    TExtended T = TLo;
    for (int Refinement = 0; Refinement < MaxRefinements; ++Refinement) {
        if (std::fabs(Lo.*Along - Hi.*Along) < StraightSegment)
            T = (TLo + THi) / 2;
        else
            T = TLo + (Wanted - Lo.*Along) / (Hi.*Along - Lo.*Along) * (THi - TLo);
        T = std::clamp(T, TLo, THi);
        const TFloatPoint P = Value(T);
        const TExtended Error =
            Wanted == 0 ? std::fabs(P.*Along - Wanted) : std::fabs((Wanted - P.*Along) / Wanted);
        if ((P.*Along - Wanted > 0) == (Lo.*Along - Wanted > 0)) {
            Lo = P;
            TLo = T;
        } else {
            Hi = P;
            THi = T;
        }
        if (Error < RefinedError)
            break;
    }
    return static_cast<float>(T);
}
