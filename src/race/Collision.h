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
// add up to at least 355 degrees. A point exactly on a corner counts as inside.
bool PointInQuad(TPointD p, TPointD c1, TPointD c2, TPointD c3, TPointD c4);
bool PointInQuad(TPointD p, const TQuad& quad);

// True when a corner of b lies inside a or a corner of a lies inside b.
bool QuadsOverlap(const TQuad& a, const TQuad& b);

}  // namespace kestrune
