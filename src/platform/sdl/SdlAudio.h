#pragma once
#include <memory>

#include "framework/Platform.h"

namespace kestrune {
// The SDL2_mixer audio output. Opens the default device; without one it reports IsOpen() false
// and ignores every call, so the game runs silently.
std::unique_ptr<IAudioOutput> CreateSdlAudioOutput();
}  // namespace kestrune
