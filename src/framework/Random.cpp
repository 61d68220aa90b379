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

double RandomReal() {
  Step();
  return static_cast<double>(g_state) / 4294967296.0;
}

}  // namespace kestrune
