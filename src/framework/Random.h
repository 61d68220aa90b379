#pragma once
// The game's one source of randomness. Every random choice of the game goes through
// Random(n), so a seed fixes a whole run: the executable seeds it from the clock, tests and
// replays from a fixed number.

#include <cstdint>

namespace kestrune {

void RandomSeed(std::uint32_t seed);
std::uint32_t RandomState();
// A uniform whole number in 0 .. n - 1; 0 when n <= 0.
int Random(int n);
// A uniform real number in [0, 1).
double RandomReal();
// Advances the source exactly as `count` calls of Random (or RandomReal) would, in a few steps
// whatever the count: for long runs of draws whose values do not matter.
void RandomDiscard(std::uint64_t count);

}  // namespace kestrune
