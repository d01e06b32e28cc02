#pragma once

// A uniform cubic B-spline through a list of 2-D points. It either approximates the points
// (they are its control vertices) or interpolates them (the vertices are solved so that the
// curve passes through every point), can pass through chosen points with a sharp corner
// (knuckles), and is evaluated, drawn and searched for given X or Y values. Smooth chart series
// draw their values through one.

#include <array>
#include <vector>

class TCanvas;

// Point and vertex coordinates are 32-bit floats.
struct TFloatPoint {
    float x = 0;
    float y = 0;

    bool operator==(const TFloatPoint&) const = default;
};

// The parameter of the curve's evaluations: the widest floating-point type of the machine.
using TExtended = long double;

// The curve's points where it has a given X (or Y). Entry k (1-based) is at index k - 1.
struct TKnownResults {
    static constexpr int MaxResults = 610;

    int Count = 0;
    std::array<float, MaxResults> Parameters{};
    std::array<TFloatPoint, MaxResults> Points{};
};

// The smallest and largest x and y of the points.
struct TExtents {
    float MinX = 0;
    float MinY = 0;
    float MaxX = 1;
    float MaxY = 1;

    bool operator==(const TExtents&) const = default;
};

class TBSpline {
public:
    static constexpr int MaxFragments = 600;

    TBSpline();
    virtual ~TBSpline();
    TBSpline(const TBSpline&) = delete;
    TBSpline& operator=(const TBSpline&) = delete;

    // Draw also marks every point with a small red circle.
    bool ShowPoints = false;

    virtual void SetCapacity(int N);
    // Points and knuckles are addressed 1..NumberOfPoints.
    virtual TFloatPoint FGetPoint(int Index) const;
    virtual void FSetPoint(int Index, TFloatPoint Point);
    // Vertices are addressed 0..NumberOfVertices + 1; the two outer ones are phantoms that make
    // the curve start and end exactly at the first and last vertex.
    virtual TFloatPoint FGetVertex(int Index);
    virtual void FSetVertex(int Index, TFloatPoint Point);
    // The first and last point are never knuckles, whatever their flag says.
    virtual bool FGetKnuckle(int Index) const;
    virtual void FSetKnuckle(int Index, bool Knuckle);
    virtual void AddPoint(TFloatPoint Point);
    // Widens Min and Max, which the caller initialises, by every point.
    virtual void GetBounds(TFloatPoint& Min, TFloatPoint& Max) const;
    virtual void Clear();
    // The first and second derivative of the basis, weighted by the vertices, at T in [0, 1].
    virtual TFloatPoint WeightedSlope(TExtended T);
    virtual TFloatPoint WeightedCurvature(TExtended T);
    // Every curve point with the given X (Y), in increasing parameter; true when there is one.
    virtual bool KnownX(TKnownResults& Results, float X);
    virtual bool KnownY(TKnownResults& Results, float Y);
    // The curve point at T in [0, 1].
    virtual TFloatPoint Value(TExtended T);
    virtual void Rebuild();

    void SetBuilt(bool Value);
    void SetInterpolated(bool Value);
    void SetFragments(int N);
    int NumberOfPoints() const { return FNumberOfPoints; }
    int NumberOfVertices();
    int Capacity() const { return FCapacity; }
    bool Built() const { return FBuilt; }
    bool Interpolated() const { return FInterpolated; }
    int Fragments() const { return FFragments; }
    const TExtents& Extents() const { return FExtents; }
    // The curve as Fragments line segments.
    void Draw(TCanvas& Canvas);
    void AddPhantomVertices();

private:
    using TWeight = TExtended (*)(TExtended D);

    void CheckPointIndex(int Index, const char* Accessor) const;
    void CheckVertexIndex(int Index, const char* Accessor) const;
    void BuildIfNeeded();
    void FillVertices();
    void FillMatrix(std::vector<float>& Matrix) const;
    void SolveVertices(std::vector<float>& Matrix);
    TFloatPoint Weighted(TExtended U, TWeight Weight) const;
    bool KnownAlong(TKnownResults& Results, float Wanted, float TFloatPoint::*Along,
                    const char* Operation);
    float Refine(float Wanted, float TFloatPoint::*Along, int Step, TFloatPoint Lo, TFloatPoint Hi);

    int FNumberOfPoints = 0;
    int FCapacity = 0;
    std::vector<TFloatPoint> FPoints;
    std::vector<bool> FKnuckles;
    std::vector<TFloatPoint> FVertices;
    int FNumberOfVertices = 0;
    bool FBuilt = false;
    bool FInterpolated = false;
    TExtents FExtents;
    int FFragments = 100;
};
