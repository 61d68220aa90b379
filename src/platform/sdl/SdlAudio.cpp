#include "platform/sdl/SdlAudio.h"

#include "platform/sdl/MixLimiter.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace kestrune {
namespace {

constexpr int kRate = 44100;
constexpr int kMixerChunkFrames = 1024;
// The effects and the music are mixed at a quarter of their level, so that even a crash over the
// engine, the horn, the gun and the music sums far below full scale inside the mixer (which
// clips); the limiter on the mix restores the level and keeps the peaks under -1.5 dBFS.
constexpr double kMixHeadroom = 0.25;
constexpr double kMixCeiling = 0.8414;  // -1.5 dBFS
constexpr double kLimiterLookaheadMs = 2;
constexpr double kLimiterReleaseMs = 80;

// Gain of an attenuation in hundredths of a decibel, as the original device volume and pan
// values are given (either sign counts as attenuation; 10000 and more is silence).
double AttenuationGain(int hundredthsDb) {
  const int att = std::min(std::abs(hundredthsDb), 10000);
  return att >= 10000 ? 0.0 : std::pow(10.0, -att / 2000.0);
}

// The same RIFF WAVE with its sample rate replaced, so the mixer converts it to play at that
// rate. Returns an empty vector when the file has no readable "fmt " chunk.
std::vector<std::uint8_t> WithSampleRate(const std::vector<std::uint8_t>& riff, int rate) {
  std::vector<std::uint8_t> out(riff);
  std::size_t pos = 12;
  while (pos + 8 <= out.size()) {
    std::uint32_t size = 0;
    std::memcpy(&size, &out[pos + 4], 4);
    size = SDL_SwapLE32(size);
    if (std::memcmp(&out[pos], "fmt ", 4) == 0) {
      if (size < 16 || pos + 8 + 16 > out.size()) return {};
      std::uint16_t blockAlign = 0;
      std::memcpy(&blockAlign, &out[pos + 8 + 12], 2);
      blockAlign = SDL_SwapLE16(blockAlign);
      const std::uint32_t samplesPerSec = SDL_SwapLE32(static_cast<std::uint32_t>(rate));
      const std::uint32_t bytesPerSec = SDL_SwapLE32(static_cast<std::uint32_t>(rate) * blockAlign);
      std::memcpy(&out[pos + 8 + 4], &samplesPerSec, 4);
      std::memcpy(&out[pos + 8 + 8], &bytesPerSec, 4);
      return out;
    }
    if (size > out.size() - pos - 8) break;
    pos += 8 + size;
  }
  return {};
}

const char* FormatName(Uint16 format) {
  switch (format) {
    case AUDIO_U8:
      return "8-bit unsigned";
    case AUDIO_S8:
      return "8-bit signed";
    case AUDIO_S16LSB:
      return "16-bit signed LE";
    case AUDIO_S16MSB:
      return "16-bit signed BE";
    case AUDIO_S32LSB:
      return "32-bit signed LE";
    case AUDIO_F32LSB:
      return "32-bit float LE";
    default:
      return "other";
  }
}

class SdlAudioOutput : public IAudioOutput {
 public:
  SdlAudioOutput() { Open(); }
  ~SdlAudioOutput() override { Close(); }

  bool IsOpen() const override { return open_; }

  int CreateChunk(const std::uint8_t* riffWave, std::size_t size) override {
    if (!open_ || !riffWave || size == 0) return 0;
    Mix_Chunk* chunk = Load(std::vector<std::uint8_t>(riffWave, riffWave + size));
    if (!chunk) return 0;
    const int id = nextChunk_++;
    ChunkEntry& entry = chunks_[id];
    entry.Riff.assign(riffWave, riffWave + size);
    entry.Variants[0] = chunk;
    return id;
  }

  void FreeChunk(int id) override {
    auto it = chunks_.find(id);
    if (it == chunks_.end()) return;
    // Mix_FreeChunk halts every channel still playing the chunk.
    for (auto& [rate, chunk] : it->second.Variants) Mix_FreeChunk(chunk);
    chunks_.erase(it);
  }

  int AllocateChannel() override {
    if (!open_) return -1;
    for (std::size_t i = 0; i < channels_.size(); ++i) {
      if (!channels_[i].Allocated) {
        channels_[i] = Channel{.Allocated = true};
        return static_cast<int>(i);
      }
    }
    const int id = static_cast<int>(channels_.size());
    if (id >= mixerChannels_) {
      // Grow the mixer in steps; channels already sounding keep playing.
      const int wanted = std::max(16, mixerChannels_ * 2);
      mixerChannels_ = Mix_AllocateChannels(wanted);
      if (id >= mixerChannels_) return -1;
    }
    channels_.push_back(Channel{.Allocated = true});
    return id;
  }

  void FreeChannel(int channel) override {
    if (!Valid(channel)) return;
    Mix_HaltChannel(channel);
    channels_[static_cast<std::size_t>(channel)] = Channel{};
  }

  void Play(int channel, int chunkId, bool looped) override {
    if (!Valid(channel)) return;
    Mix_Chunk* chunk = Variant(chunkId, channels_[static_cast<std::size_t>(channel)].Frequency);
    if (!chunk) return;
    // Halting a channel drops its effects (panning), so halt first and pan afterwards.
    Mix_HaltChannel(channel);
    ApplyVolumeAndPan(channel);
    Mix_PlayChannel(channel, chunk, looped ? -1 : 0);
  }

  void Stop(int channel) override {
    if (Valid(channel)) Mix_HaltChannel(channel);
  }

  bool IsPlaying(int channel) const override { return Valid(channel) && Mix_Playing(channel) != 0; }

  void SetChannelParameters(int channel, int volume, int pan, int frequency) override {
    if (!Valid(channel)) return;
    Channel& c = channels_[static_cast<std::size_t>(channel)];
    c.Volume = volume;
    c.Pan = pan;
    c.Frequency = frequency;
    ApplyVolumeAndPan(channel);
  }

  void SetMusicSource(MusicSource source) override {
    if (!open_) return;
    // Unhooking takes the audio lock, so once it returns the old source is no longer running.
    Mix_HookMusic(nullptr, nullptr);
    music_ = std::move(source);
    if (music_) Mix_HookMusic(&SdlAudioOutput::MixMusic, this);
  }

  int OutputRate() const override { return rate_; }

  void SetEffectsMuted(bool muted) override {
    if (muted == muted_) return;
    muted_ = muted;
    ApplyToAllChannels();
  }

  void SetVolumes(int musicPercent, int soundPercent) override {
    soundVolume_ = std::clamp(soundPercent, 0, 100) / 100.0;
    SetMusicGain(std::clamp(musicPercent, 0, 100) / 100.0, userMuted_);
    ApplyToAllChannels();
  }

  void SetMuted(bool muted) override {
    userMuted_ = muted;
    SetMusicGain(musicVolume_, muted);
    ApplyToAllChannels();
  }

 private:
  void ApplyToAllChannels() {
    for (std::size_t i = 0; i < channels_.size(); ++i) {
      if (channels_[i].Allocated) ApplyVolumeAndPan(static_cast<int>(i));
    }
  }

  // The mixing thread reads these while the music plays.
  void SetMusicGain(double volume, bool muted) {
    musicVolume_ = volume;
    userMuted_ = muted;
  }

  struct Channel {
    bool Allocated = false;
    int Volume = 0, Pan = 0, Frequency = 0;
  };
  struct ChunkEntry {
    std::vector<std::uint8_t> Riff;
    std::map<int, Mix_Chunk*> Variants;  // by playback rate; 0 = the sound's own rate
  };

  void Open() {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
      std::fprintf(stderr, "Kestrune: no audio driver could be started (%s); sound is off\n", SDL_GetError());
      return;
    }
    audioInit_ = true;
    // Fixed 44100 Hz, 16-bit stereo: SDL converts for the device, so the music stream always
    // has the format it is rendered in.
    if (Mix_OpenAudioDevice(kRate, AUDIO_S16SYS, 2, kMixerChunkFrames, nullptr, 0) != 0) {
      std::fprintf(stderr, "Kestrune: no audio device could be opened (%s); sound is off\n", Mix_GetError());
      return;
    }
    int rate = 0, channels = 0;
    Uint16 format = 0;
    Mix_QuerySpec(&rate, &format, &channels);
    rate_ = rate > 0 ? rate : kRate;
    stereo16_ = format == AUDIO_S16SYS && channels == 2;
    mixerChannels_ = Mix_AllocateChannels(16);
    if (stereo16_) {
      limiter_ = std::make_unique<TMixLimiter>(1.0 / kMixHeadroom, kMixCeiling, rate_, kLimiterLookaheadMs,
                                               kLimiterReleaseMs);
      headroom_ = kMixHeadroom;
      Mix_SetPostMix(&SdlAudioOutput::LimitMix, this);
    }
    open_ = true;
    const char* driver = SDL_GetCurrentAudioDriver();
    std::fprintf(stderr, "Kestrune: audio driver %s, %d Hz, %s, %d channels\n", driver ? driver : "?", rate_,
                 FormatName(format), channels);
  }

  void Close() {
    if (open_) {
      Mix_HookMusic(nullptr, nullptr);
      Mix_SetPostMix(nullptr, nullptr);
      Mix_HaltChannel(-1);
      for (auto& [id, entry] : chunks_) {
        for (auto& [r, chunk] : entry.Variants) Mix_FreeChunk(chunk);
      }
      chunks_.clear();
      Mix_CloseAudio();
      open_ = false;
    }
    if (audioInit_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    audioInit_ = false;
  }

  static Mix_Chunk* Load(const std::vector<std::uint8_t>& riff) {
    SDL_RWops* rw = SDL_RWFromConstMem(riff.data(), static_cast<int>(riff.size()));
    return rw ? Mix_LoadWAV_RW(rw, 1) : nullptr;
  }

  // The chunk converted for playback at a given rate, made on first use.
  Mix_Chunk* Variant(int chunkId, int frequency) {
    auto it = chunks_.find(chunkId);
    if (it == chunks_.end()) return nullptr;
    ChunkEntry& entry = it->second;
    if (frequency < 100 || frequency > 200000) frequency = 0;
    auto found = entry.Variants.find(frequency);
    if (found != entry.Variants.end()) return found->second;
    const std::vector<std::uint8_t> changed = WithSampleRate(entry.Riff, frequency);
    Mix_Chunk* chunk = changed.empty() ? nullptr : Load(changed);
    if (!chunk) return entry.Variants[0];
    entry.Variants[frequency] = chunk;
    return chunk;
  }

  bool Valid(int channel) const {
    return open_ && channel >= 0 && channel < static_cast<int>(channels_.size()) &&
           channels_[static_cast<std::size_t>(channel)].Allocated;
  }

  void ApplyVolumeAndPan(int channel) {
    const Channel& c = channels_[static_cast<std::size_t>(channel)];
    const double gain = muted_ || userMuted_ ? 0.0 : AttenuationGain(c.Volume) * headroom_ * soundVolume_;
    Mix_Volume(channel, static_cast<int>(std::lround(gain * MIX_MAX_VOLUME)));
    // Positive pan attenuates the left side, negative the right.
    const double left = c.Pan > 0 ? AttenuationGain(c.Pan) : 1.0;
    const double right = c.Pan < 0 ? AttenuationGain(c.Pan) : 1.0;
    Mix_SetPanning(channel, static_cast<Uint8>(std::lround(left * 255)),
                   static_cast<Uint8>(std::lround(right * 255)));
  }

  static void SDLCALL MixMusic(void* self, Uint8* stream, int len) {
    auto* out = static_cast<SdlAudioOutput*>(self);
    if (!out->music_ || !out->stereo16_) {
      std::memset(stream, 0, static_cast<std::size_t>(len));
      return;
    }
    // The stream is S16 in the machine's byte order and 2-byte aligned.
    auto* samples = reinterpret_cast<std::int16_t*>(stream);
    out->music_(samples, len / 4);
    // The song plays on while muted, so it goes on from where it is when the sound comes back.
    const double gain = out->userMuted_ ? 0.0 : out->headroom_ * out->musicVolume_;
    if (gain != 1.0)
      for (int i = 0; i < len / 2; ++i) samples[i] = static_cast<std::int16_t>(std::lround(samples[i] * gain));
  }

  // Runs on the finished mix, after every channel has been added.
  static void SDLCALL LimitMix(void* self, Uint8* stream, int len) {
    auto* out = static_cast<SdlAudioOutput*>(self);
    if (out->limiter_) out->limiter_->Process(reinterpret_cast<std::int16_t*>(stream), len / 4);
  }

  bool audioInit_ = false;
  bool open_ = false;
  bool stereo16_ = false;
  bool muted_ = false;
  // The player's mute key and volumes (0..1).
  std::atomic<bool> userMuted_{false};
  std::atomic<double> musicVolume_{1.0};
  double soundVolume_ = 1.0;
  int rate_ = kRate;
  // The level effects and music enter the mix at (1: no headroom, when no limiter runs).
  double headroom_ = 1.0;
  std::unique_ptr<TMixLimiter> limiter_;
  int mixerChannels_ = 0;
  std::vector<Channel> channels_;
  std::map<int, ChunkEntry> chunks_;
  int nextChunk_ = 1;
  MusicSource music_;
};

}  // namespace

std::unique_ptr<IAudioOutput> CreateSdlAudioOutput() { return std::make_unique<SdlAudioOutput>(); }

}  // namespace kestrune
