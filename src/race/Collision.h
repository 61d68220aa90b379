#pragma once
// The collision tests shared by vehicles, walls, lamps and rockets: a point inside a
// four-cornered shape by the angle sum seen from the point, and two such shapes overlapping.

#include <array>

namespace kestrune {

struct TPointD {
  double x = 0.0;
  double y = 0.0;
};

// Corners in order around the shape (either direction).
using TQuad = std::array<TPointD, 4>;

// True when the angles seen from P between consecutive corners (C1-C2, C2-C3, C3-C4, C4-C1)
// add up to at least 355 degrees. A point exactly on a corner counts as inside. The answer is
// decided without angles wherever it is plain (far from the shape, or clearly inside or outside
// a convex one) and by the angle sum itself near the edges and for crossed corner orders, so it
// is that of PointInQuadByAngles, except for points so far away (some 1e154) that their squared
// distances overflow, which the angle sum wrongly counts as inside.
bool PointInQuad(TPointD p, TPointD c1, TPointD c2, TPointD c3, TPointD c4);
bool PointInQuad(TPointD p, const TQuad& quad);
// The angle sum itself: four square roots and four arc cosines.
bool PointInQuadByAngles(TPointD p, TPointD c1, TPointD c2, TPointD c3, TPointD c4);

// True when a corner of b lies inside a or a corner of a lies inside b.
bool QuadsOverlap(const TQuad& a, const TQuad& b);

// For tests: when set, sees every point-in-quad question the game asks and its answer.
using TContactObserver = void (*)(TPointD p, const TQuad& quad, bool inside);
void SetContactObserver(TContactObserver observer);

}  // namespace kestrune
