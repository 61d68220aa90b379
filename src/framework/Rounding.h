#pragma once
// Rounding of doubles to integers as the game uses it: Round goes to the nearest integer with
// halves to the even neighbour (2.5 -> 2, 3.5 -> 4); Trunc goes toward zero. Results outside the
// 32-bit range are clamped instead of being undefined.

#include <cmath>
#include <cstdint>
#include <limits>

namespace kestrune {

// Round half to even, kept as a double (no range limit).
inline double RoundHalfEvenD(double v) {
  const double f = std::floor(v);
  const double d = v - f;
  if (d > 0.5) return f + 1.0;
  if (d < 0.5) return f;
  return std::fmod(f, 2.0) == 0.0 ? f : f + 1.0;
}

inline std::int32_t ClampToInt32(double v) {
  if (!(v == v)) return 0;  // NaN
  if (v <= static_cast<double>(std::numeric_limits<std::int32_t>::min())) return std::numeric_limits<std::int32_t>::min();
  if (v >= static_cast<double>(std::numeric_limits<std::int32_t>::max())) return std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(v);
}

inline std::int32_t Round(double v) { return ClampToInt32(RoundHalfEvenD(v)); }
inline std::int32_t Trunc(double v) { return ClampToInt32(std::trunc(v)); }

}  // namespace kestrune
