#include "race/Collision.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kestrune {

namespace {

TContactObserver contactObserver = nullptr;

double Cross(double ax, double ay, double bx, double by) { return ax * by - ay * bx; }

// The angle sum's answer where it is plain, without angles: 1 inside, 0 outside, -1 when the
// sum itself has to tell.
//
// Far from the shape: a point further outside the corners' box than the box's width plus height
// sees every corner within a cone of at most 2 atan(1/2) = 53 degrees, so four angles add up to
// at most 213 degrees, whatever the corners' order.
//
// A strictly convex shape (every turn from one side to the next the same way): a point strictly
// inside every side sees the corners go once around it, 360 degrees. A point outside sees them
// within a cone and sweeps it out and back, twice the cone's angle; when it lies outside one
// side's line by at least a tenth of its distance to the farthest corner, every corner lies at
// least asin(0.1) = 5.7 degrees off that line as seen from it, the cone is at most 168.5 degrees
// and the sum at most 337. Rounding moves the sum by far less than these margins, so the
// answers agree; what lies between (a hair around an edge, the crossed corner orders of the
// traffic's shapes) goes to the angle sum.
int PlainAnswer(TPointD p, const TPointD (&c)[4]) {
  const double minX = std::min({c[0].x, c[1].x, c[2].x, c[3].x});
  const double maxX = std::max({c[0].x, c[1].x, c[2].x, c[3].x});
  const double minY = std::min({c[0].y, c[1].y, c[2].y, c[3].y});
  const double maxY = std::max({c[0].y, c[1].y, c[2].y, c[3].y});
  const double margin = (maxX - minX) + (maxY - minY);
  if (p.x < minX - margin || p.x > maxX + margin || p.y < minY - margin || p.y > maxY + margin) return 0;

  double ex[4], ey[4];
  for (int k = 0; k < 4; ++k) {
    ex[k] = c[(k + 1) % 4].x - c[k].x;
    ey[k] = c[(k + 1) % 4].y - c[k].y;
  }
  int left = 0, right = 0;
  for (int k = 0; k < 4; ++k) {
    const double turn = Cross(ex[k], ey[k], ex[(k + 1) % 4], ey[(k + 1) % 4]);
    left += turn > 0;
    right += turn < 0;
  }
  if (left != 4 && right != 4) return -1;  // not strictly convex (or not a number)
  const double sign = left == 4 ? 1.0 : -1.0;

  double side[4];
  int inside = 0;
  for (int k = 0; k < 4; ++k) {
    side[k] = sign * Cross(ex[k], ey[k], p.x - c[k].x, p.y - c[k].y);
    inside += side[k] > 0;
  }
  if (inside == 4) return 1;
  double farthest = 0;
  for (int k = 0; k < 4; ++k) {
    const double dx = c[k].x - p.x, dy = c[k].y - p.y;
    farthest = std::max(farthest, dx * dx + dy * dy);
  }
  // side / |edge| is the distance outside the side's line.
  for (int k = 0; k < 4; ++k)
    if (side[k] < 0 && side[k] * side[k] >= 0.01 * (ex[k] * ex[k] + ey[k] * ey[k]) * farthest) return 0;
  return -1;
}

}  // namespace

bool PointInQuadByAngles(TPointD p, TPointD c1, TPointD c2, TPointD c3, TPointD c4) {
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

bool PointInQuad(TPointD p, TPointD c1, TPointD c2, TPointD c3, TPointD c4) {
  const TPointD corners[4] = {c1, c2, c3, c4};
  const int plain = PlainAnswer(p, corners);
  const bool inside = plain >= 0 ? plain == 1 : PointInQuadByAngles(p, c1, c2, c3, c4);
  if (contactObserver) contactObserver(p, {{c1, c2, c3, c4}}, inside);
  return inside;
}

bool PointInQuad(TPointD p, const TQuad& quad) { return PointInQuad(p, quad[0], quad[1], quad[2], quad[3]); }

bool QuadsOverlap(const TQuad& a, const TQuad& b) {
  for (const TPointD& corner : b)
    if (PointInQuad(corner, a)) return true;
  for (const TPointD& corner : a)
    if (PointInQuad(corner, b)) return true;
  return false;
}

void SetContactObserver(TContactObserver observer) { contactObserver = observer; }

}  // namespace kestrune
