#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "framework/Platform.h"

namespace kestrune {

// One call made on the headless audio output.
struct AudioCall {
  enum class Kind {
    CreateChunk,
    FreeChunk,
    AllocateChannel,
    FreeChannel,
    Play,
    Stop,
    SetParameters,
    SetMusicSource
  };
  Kind Type = Kind::Play;
  int Chunk = 0;     // CreateChunk (the id returned), FreeChunk, Play
  int Channel = -1;  // channel calls (the id returned for AllocateChannel)
  bool Looped = false;
  int Volume = 0, Pan = 0, Frequency = 0;
  bool Installed = false;  // SetMusicSource: a source was set (false: removed)
  bool operator==(const AudioCall&) const = default;
};

// Audio output for tests: records every call instead of making sound. Channels "play" from
// Play until Stop, or until the test lets a one-shot end with FinishChannel.
class HeadlessAudioOutput : public IAudioOutput {
 public:
  // open = false stands for a machine without an audio device.
  explicit HeadlessAudioOutput(bool open = true) : open_(open) {}

  // Makes CreateChunk fail as a mixer does for a wave it cannot read.
  bool RefuseChunks = false;

  bool IsOpen() const override { return open_; }
  int CreateChunk(const std::uint8_t* riffWave, std::size_t size) override;
  void FreeChunk(int chunk) override;
  int AllocateChannel() override;
  void FreeChannel(int channel) override;
  void Play(int channel, int chunk, bool looped) override;
  void Stop(int channel) override;
  bool IsPlaying(int channel) const override;
  void SetChannelParameters(int channel, int volume, int pan, int frequency) override;
  void SetMusicSource(MusicSource source) override;
  int OutputRate() const override { return 44100; }
  void SetEffectsMuted(bool muted) override { muted_ = muted; }
  void SetVolumes(int musicPercent, int soundPercent) override {
    musicVolume_ = musicPercent;
    soundVolume_ = soundPercent;
  }
  void SetMuted(bool muted) override { userMuted_ = muted; }

  const std::vector<AudioCall>& Calls() const { return calls_; }
  // Only the Play and Stop calls, in order.
  std::vector<AudioCall> PlayStopCalls() const;
  void ClearCalls() { calls_.clear(); }

  // A one-shot on the channel reaches its end (a looped one never does by itself).
  void FinishChannel(int channel);
  void FinishAll();
  // The chunk the channel last played (0 = none) and whether it sounds now.
  int ChunkOn(int channel) const;
  int PlayingCount() const;
  // The bytes a chunk was made from; empty for an unknown chunk.
  std::vector<std::uint8_t> ChunkBytes(int chunk) const;
  int LiveChunks() const { return static_cast<int>(chunks_.size()); }
  bool EffectsMuted() const { return muted_; }
  // The mute key's state and the player's volumes as last set.
  bool Muted() const { return userMuted_; }
  int MusicVolume() const { return musicVolume_; }
  int SoundVolume() const { return soundVolume_; }

  bool HasMusicSource() const { return static_cast<bool>(music_); }
  // Pulls frames from the music source as the audio thread would (silence without one).
  std::vector<std::int16_t> RenderMusic(int frameCount);

 private:
  struct Channel {
    bool Allocated = false;
    bool Playing = false;
    bool Looped = false;
    int Chunk = 0;
  };
  bool open_;
  bool muted_ = false;
  bool userMuted_ = false;
  int musicVolume_ = 100, soundVolume_ = 100;
  std::vector<AudioCall> calls_;
  std::map<int, std::vector<std::uint8_t>> chunks_;
  int nextChunk_ = 1;
  std::vector<Channel> channels_;
  MusicSource music_;
};

// The audio output the headless platform uses: a recording HeadlessAudioOutput.
std::unique_ptr<IAudioOutput> CreateHeadlessAudioOutput();

}  // namespace kestrune
