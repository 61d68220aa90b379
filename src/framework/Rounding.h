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

// The same result as ClampToInt32(RoundHalfEvenD(v)), without the floor and fmod calls: the
// race rounds positions thousands of times a frame. Adding and taking away 2^52 leaves no
// fraction bits, so the addition itself rounds, and in the default rounding mode (to nearest,
// ties to even; the game never changes it) it rounds halves to the even neighbour. The build
// never uses -ffast-math, which could fold the sum away. Values of 2^52 and more are whole
// already; NaN and infinities fall to the clamp.
inline std::int32_t Round(double v) {
  constexpr double kTwo52 = 4503599627370496.0;
  const double a = std::fabs(v);
  if (!(a < kTwo52)) return ClampToInt32(v);
  return ClampToInt32(std::copysign((a + kTwo52) - kTwo52, v));
}
inline std::int32_t Trunc(double v) { return ClampToInt32(std::trunc(v)); }

}  // namespace kestrune
