// The kestrune executable: the game joined to the SDL back end.
#include <chrono>
#include <cstdint>

#include "platform/sdl/SdlPlatform.h"
#include "shell/Game.h"

int main() {
  auto platform = kestrune::CreateSdlPlatform();
  const auto seed = static_cast<std::uint32_t>(
      std::chrono::steady_clock::now().time_since_epoch().count());
  return kestrune::RunGame(*platform, seed);
}
