#pragma once
// The program: start-up, the message and frame loop, and the end.

#include <cstdint>

namespace kestrune {

class IPlatform;

// Runs the whole game on the given platform until it ends; returns the process exit status.
int RunGame(IPlatform& platform, std::uint32_t randomSeed);

}  // namespace kestrune
