#include "platform/sdl/SdlPlatform.h"

namespace kestrune {
// Placeholder until the SDL back end lands.
std::unique_ptr<IPlatform> CreateSdlPlatform() { return nullptr; }
}  // namespace kestrune
