#include "platform/headless/HeadlessAudio.h"

#include "platform/NullAudio.h"

namespace kestrune {
// Placeholder until the recording output lands: silent.
std::unique_ptr<IAudioOutput> CreateHeadlessAudioOutput() { return std::make_unique<NullAudioOutput>(); }
}  // namespace kestrune
