#include "platform/sdl/SdlAudio.h"

#include "platform/NullAudio.h"

namespace kestrune {
// Placeholder until the mixer-backed output lands: silent.
std::unique_ptr<IAudioOutput> CreateSdlAudioOutput() { return std::make_unique<NullAudioOutput>(); }
}  // namespace kestrune
