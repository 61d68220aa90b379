#include "race/Collision.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kestrune {

bool PointInQuad(TPointD p, TPointD c1, TPointD c2, TPointD c3, TPointD c4) {
  const TPointD corners[4] = {c1, c2, c3, c4};
  TPointD unit[4];
  for (int k = 0; k < 4; ++k) {
    const double dx = corners[k].x - p.x;
    const double dy = corners[k].y - p.y;
    const double length = std::sqrt(dx * dx + dy * dy);
    // The point sits on this corner: no direction to normalise, and it counts as inside.
    if (length == 0.0) return true;
    unit[k] = {dx / length, dy / length};
  }
  double sum = 0.0;
  for (int k = 0; k < 4; ++k) {
    const TPointD& a = unit[k];
    const TPointD& b = unit[(k + 1) % 4];
    // Rounding can push the dot product of unit vectors just past +-1, where acos is undefined.
    const double dot = std::clamp(a.x * b.x + a.y * b.y, -1.0, 1.0);
    sum += std::acos(dot) * 180.0 / std::numbers::pi;
  }
  return sum >= 355.0;
}

bool PointInQuad(TPointD p, const TQuad& quad) { return PointInQuad(p, quad[0], quad[1], quad[2], quad[3]); }

bool QuadsOverlap(const TQuad& a, const TQuad& b) {
  for (const TPointD& corner : b)
    if (PointInQuad(corner, a)) return true;
  for (const TPointD& corner : a)
    if (PointInQuad(corner, b)) return true;
  return false;
}

}  // namespace kestrune
