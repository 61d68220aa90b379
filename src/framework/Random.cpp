#include "framework/Random.h"

namespace kestrune {
namespace {
// A 32-bit linear congruential generator; the high bits of the product pick the value, so
// small ranges stay uniform.
std::uint32_t g_state = 0;
void Step() { g_state = g_state * 0x08088405u + 1u; }
}  // namespace

void RandomSeed(std::uint32_t seed) { g_state = seed; }
std::uint32_t RandomState() { return g_state; }

int Random(int n) {
  Step();
  if (n <= 0) return 0;
  return static_cast<int>((static_cast<std::uint64_t>(g_state) * static_cast<std::uint32_t>(n)) >> 32);
}

void RandomDiscard(std::uint64_t count) {
  // The step is the affine map x -> a x + c; applying it count times is again affine, built by
  // squaring: (a1, c1) after (a2, c2) is (a1 a2, a1 c2 + c1).
  std::uint32_t totalA = 1, totalC = 0;
  std::uint32_t a = 0x08088405u, c = 1u;
  while (count > 0) {
    if (count & 1u) {
      totalA = a * totalA;
      totalC = a * totalC + c;
    }
    c = a * c + c;
    a = a * a;
    count >>= 1;
  }
  g_state = totalA * g_state + totalC;
}

double RandomReal() {
  Step();
  return static_cast<double>(g_state) / 4294967296.0;
}

}  // namespace kestrune
