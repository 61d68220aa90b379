#include "shell/Game.h"

#include "framework/Platform.h"
#include "framework/Random.h"

namespace kestrune {

int RunGame(IPlatform& platform, std::uint32_t randomSeed) {
  RandomSeed(randomSeed);
  if (!platform.OpenWindow("Kestrune", 800, 600)) return 1;
  return 0;
}

}  // namespace kestrune
