#pragma once
// An audio output with no device: every call does nothing.
#include "framework/Platform.h"

namespace kestrune {
class NullAudioOutput : public IAudioOutput {
 public:
  bool IsOpen() const override { return false; }
  int CreateChunk(const std::uint8_t*, std::size_t) override { return 0; }
  void FreeChunk(int) override {}
  int AllocateChannel() override { return -1; }
  void FreeChannel(int) override {}
  void Play(int, int, bool) override {}
  void Stop(int) override {}
  bool IsPlaying(int) const override { return false; }
  void SetChannelParameters(int, int, int, int) override {}
  void SetMusicSource(MusicSource) override {}
  int OutputRate() const override { return 44100; }
};
}  // namespace kestrune
