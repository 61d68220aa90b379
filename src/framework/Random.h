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

}  // namespace kestrune
