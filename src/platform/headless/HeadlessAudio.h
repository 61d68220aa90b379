#pragma once
#include <memory>

#include "framework/Platform.h"

namespace kestrune {
// Audio output for tests: records every call instead of making sound.
std::unique_ptr<IAudioOutput> CreateHeadlessAudioOutput();
}  // namespace kestrune
