#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "framework/ArchiveIO.h"
#include "platform/sdl/SdlAudio.h"

namespace kestrune {
namespace {

namespace fs = std::filesystem;

// One second of a 16-bit mono 22050 Hz square wave at the given amplitude.
std::vector<std::uint8_t> SquareWave(int amplitude) {
  WaveFormat format;  // PCM 16-bit mono 22050 Hz
  std::vector<std::uint8_t> data;
  for (int i = 0; i < 22050; ++i) {
    const std::int16_t s = static_cast<std::int16_t>((i / 25) % 2 ? amplitude : -amplitude);
    data.push_back(static_cast<std::uint8_t>(s & 0xFF));
    data.push_back(static_cast<std::uint8_t>((s >> 8) & 0xFF));
  }
  return MakeRiffWave(format, data);
}

double Rms(const std::vector<std::int16_t>& samples) {
  double sum = 0;
  for (std::int16_t s : samples) sum += static_cast<double>(s) * s;
  return samples.empty() ? 0 : std::sqrt(sum / static_cast<double>(samples.size()));
}

// 40 whole periods of the square wave as the device plays it (100 stereo frames a period).
constexpr std::size_t kSquareWindow = 40 * 200;

// SDL's disk driver writes what the device would play into a file, in the opened format
// (44100 Hz, 16-bit stereo here), at the pace of a real device.
class SdlAudioDisk : public testing::Test {
 protected:
  void SetUp() override {
    file_ = fs::temp_directory_path() / ("kestrune_sdlaudio_" + std::to_string(::getpid()) + ".raw");
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", file_.c_str(), 1);
  }
  void TearDown() override {
    unsetenv("SDL_AUDIODRIVER");
    unsetenv("SDL_DISKAUDIOFILE");
    fs::remove(file_);
  }
  std::vector<std::int16_t> Written() const {
    std::ifstream in(file_, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::int16_t> samples(bytes.size() / 2);
    for (std::size_t i = 0; i < samples.size(); ++i)
      samples[i] = static_cast<std::int16_t>(static_cast<std::uint8_t>(bytes[2 * i]) |
                                             (static_cast<std::uint8_t>(bytes[2 * i + 1]) << 8));
    return samples;
  }
  // The disk driver writes at the pace of a real device, and a busy machine may run it late:
  // wait for enough output instead of for a fixed time.
  void WaitForOutput(std::uintmax_t bytes) const {
    WaitUntil([&] {
      std::error_code error;
      const std::uintmax_t size = fs::file_size(file_, error);
      return !error && size >= bytes;
    }, testing::Message() << bytes << " bytes of output");
  }
  // Waits until the output holds `count` samples from where the sound starts (see SoundStart).
  // The device's thread, or the channel, may start late on a busy machine, after any number of
  // silent buffers: the sound is measured where it is, never at a fixed place in the output.
  void WaitForSound(std::size_t count, int base, int threshold) const {
    WaitUntil([&] {
      const std::vector<std::int16_t> out = Written();
      const std::size_t start = SoundStart(out, base, threshold);
      return start != std::string::npos && out.size() >= start + count;
    }, testing::Message() << count << " samples of sound");
  }
  // `count` samples of the sound, from `settle` samples past its start (the resampler's first
  // samples lie between silence and the sound).
  static std::vector<std::int16_t> SoundWindow(const std::vector<std::int16_t>& out, std::size_t count, int base,
                                               int threshold, std::size_t settle = 64) {
    const std::size_t start = SoundStart(out, base, threshold);
    if (start == std::string::npos || out.size() < start + settle + count) {
      ADD_FAILURE() << "only " << out.size() << " samples written, the sound starting at "
                    << (start == std::string::npos ? std::string("none") : std::to_string(start));
      return {};
    }
    const auto from = out.begin() + static_cast<std::ptrdiff_t>(start + settle);
    return {from, from + static_cast<std::ptrdiff_t>(count)};
  }
  // The first stereo frame (as a sample index) with a side further than `threshold` from
  // `base`: silence, or a steady stream the sound is played over.
  static std::size_t SoundStart(const std::vector<std::int16_t>& out, int base, int threshold) {
    for (std::size_t i = 0; i < out.size(); ++i)
      if (std::abs(out[i] - base) > threshold) return i & ~std::size_t{1};
    return std::string::npos;
  }
  // Generously long: a correctness check, not a measure of speed.
  template <typename Done>
  static void WaitUntil(Done done, const testing::Message& what) {
    const auto start = std::chrono::steady_clock::now();
    while (!done()) {
      if (std::chrono::steady_clock::now() - start > std::chrono::minutes(2)) {
        ADD_FAILURE() << "no " << what << " after two minutes";
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }
  fs::path file_;
};

TEST_F(SdlAudioDisk, EffectsAndMusicAreMixedIntoTheDeviceOutput) {
  std::vector<std::int16_t> out;
  {
    auto audio = CreateSdlAudioOutput();
    ASSERT_TRUE(audio->IsOpen());
    EXPECT_EQ(audio->OutputRate(), 44100);
    const std::vector<std::uint8_t> riff = SquareWave(8000);
    const int chunk = audio->CreateChunk(riff.data(), riff.size());
    ASSERT_NE(chunk, 0);
    const int a = audio->AllocateChannel();
    const int b = audio->AllocateChannel();
    ASSERT_GE(a, 0);
    ASSERT_NE(a, b);
    // A constant music stream that is easy to find under the effect.
    audio->SetMusicSource([](std::int16_t* frames, int count) {
      for (int i = 0; i < 2 * count; ++i) frames[i] = 1000;
    });
    audio->SetChannelParameters(a, 0, 0, 0);
    audio->Play(a, chunk, /*looped=*/true);
    EXPECT_TRUE(audio->IsPlaying(a));
    EXPECT_FALSE(audio->IsPlaying(b));
    WaitForSound(kSquareWindow + 64, 1000, 4000);
    audio->Stop(a);
    EXPECT_FALSE(audio->IsPlaying(a));
    audio->FreeChunk(chunk);
    audio->SetMusicSource({});
  }
  out = Written();
  // From where the square wave starts over the music (the first sample far from the music's
  // 1000): the music's constant 1000 is the mean, the square wave (resampled by the mixer, so
  // not exact) swings about 8000 around it.
  const std::vector<std::int16_t> sound = SoundWindow(out, kSquareWindow, 1000, 4000);
  ASSERT_EQ(sound.size(), kSquareWindow);
  double mean = 0, swing = 0;
  for (const std::int16_t s : sound) mean += s;
  mean /= static_cast<double>(sound.size());
  for (const std::int16_t s : sound) swing += (s - mean) * (s - mean);
  swing = std::sqrt(swing / static_cast<double>(sound.size()));
  EXPECT_NEAR(mean, 1000.0, 150.0);
  EXPECT_NEAR(swing, 8000.0, 600.0);
}

TEST_F(SdlAudioDisk, VolumePanAndMuteScaleTheChannel) {
  struct Case {
    int Volume, Pan;
    bool Muted;
    double Left, Right;  // expected RMS of each side relative to full volume
    int PlayerVolume = 100;    // the player's sound volume
    bool PlayerMuted = false;  // the mute key
  };
  const Case cases[] = {
      {0, 0, false, 1.0, 1.0},      {-600, 0, false, 0.5, 0.5},  // -6 dB
      {0, 600, false, 0.5, 1.0},                                 // to the right: the left side is attenuated
      {0, -10000, false, 1.0, 0.0}, {0, 0, true, 0.0, 0.0},
      {0, 0, false, 0.5, 0.5, 50},  {-600, 0, false, 0.25, 0.25, 50},
      {0, 0, false, 0.0, 0.0, 100, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "volume " << c.Volume << " pan " << c.Pan << " muted " << c.Muted
                                    << " player volume " << c.PlayerVolume << " mute key " << c.PlayerMuted);
    const bool silent = c.Left == 0 && c.Right == 0;
    {
      auto audio = CreateSdlAudioOutput();
      ASSERT_TRUE(audio->IsOpen());
      const std::vector<std::uint8_t> riff = SquareWave(8000);
      const int chunk = audio->CreateChunk(riff.data(), riff.size());
      const int ch = audio->AllocateChannel();
      audio->SetEffectsMuted(c.Muted);
      audio->SetVolumes(100, c.PlayerVolume);
      audio->SetMuted(c.PlayerMuted);
      audio->SetChannelParameters(ch, c.Volume, c.Pan, 0);
      audio->Play(ch, chunk, true);
      if (silent)
        WaitForOutput(96 * 1024);
      else
        WaitForSound(4 * kSquareWindow + 64, 0, 500);
    }
    // Silence must hold all along; a sound is measured from where it starts.
    const std::vector<std::int16_t> out = Written();
    const std::vector<std::int16_t> measured = silent ? out : SoundWindow(out, 4 * kSquareWindow, 0, 500);
    std::vector<std::int16_t> left, right;
    for (std::size_t i = 0; i + 1 < measured.size(); i += 2) {
      left.push_back(measured[i]);
      right.push_back(measured[i + 1]);
    }
    ASSERT_GT(left.size(), 1000u);
    EXPECT_NEAR(Rms(left) / 8000.0, c.Left, 0.05);
    EXPECT_NEAR(Rms(right) / 8000.0, c.Right, 0.05);
  }
}

// The player's music volume and the mute key scale the music as heard.
TEST_F(SdlAudioDisk, MusicFollowsThePlayersVolumeAndTheMuteKey) {
  struct Case {
    int Volume;
    bool Muted;
    double Level;  // expected mean relative to full volume
  };
  const Case cases[] = {{100, false, 1.0}, {50, false, 0.5}, {0, false, 0.0}, {100, true, 0.0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "music volume " << c.Volume << " mute key " << c.Muted);
    const bool silent = c.Level == 0;
    {
      auto audio = CreateSdlAudioOutput();
      ASSERT_TRUE(audio->IsOpen());
      audio->SetVolumes(c.Volume, 100);
      audio->SetMuted(c.Muted);
      audio->SetMusicSource([](std::int16_t* frames, int count) {
        for (int i = 0; i < 2 * count; ++i) frames[i] = 4000;
      });
      if (silent)
        WaitForOutput(64 * 1024);
      else
        WaitForSound(8192 + 64, 0, 500);
      audio->SetMusicSource({});
    }
    const std::vector<std::int16_t> out = Written();
    const std::vector<std::int16_t> music = silent ? out : SoundWindow(out, 8192, 0, 500);
    ASSERT_GT(music.size(), 8000u);
    double mean = 0;
    for (const std::int16_t s : music) mean += s;
    mean /= static_cast<double>(music.size());
    EXPECT_NEAR(mean / 4000.0, c.Level, 0.05);
  }
}

TEST_F(SdlAudioDisk, FrequencyChangesThePlaybackRate) {
  // The same one-second sound on two channels started together, one on each side: played at
  // twice its rate it lasts half as long. The lengths are counted in the device's output, so
  // they hold however late a busy machine runs the mixer or this thread.
  {
    auto audio = CreateSdlAudioOutput();
    ASSERT_TRUE(audio->IsOpen());
    const std::vector<std::uint8_t> riff = SquareWave(8000);
    const int chunk = audio->CreateChunk(riff.data(), riff.size());
    const int fast = audio->AllocateChannel();
    const int normal = audio->AllocateChannel();
    audio->SetChannelParameters(fast, 0, -10000, 44100);  // on the left
    audio->SetChannelParameters(normal, 0, 10000, 0);     // on the right
    audio->Play(fast, chunk, false);
    audio->Play(normal, chunk, false);
    WaitUntil([&] { return !audio->IsPlaying(fast) && !audio->IsPlaying(normal); },
              testing::Message() << "end of both sounds");
  }
  const std::vector<std::int16_t> out = Written();
  // The frames from the first to the last one where a side sounds.
  const auto length = [&out](std::size_t side) {
    std::size_t first = std::string::npos, last = 0;
    for (std::size_t i = side; i < out.size(); i += 2) {
      if (std::abs(out[i]) <= 500) continue;
      if (first == std::string::npos) first = i;
      last = i;
    }
    return first == std::string::npos ? 0.0 : static_cast<double>((last - first) / 2 + 1);
  };
  EXPECT_NEAR(length(0), 22050, 100);  // half a second at 44100 Hz
  EXPECT_NEAR(length(1), 44100, 100);
}

TEST(SdlAudio, WithoutADeviceEveryCallIsHarmless) {
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  auto audio = CreateSdlAudioOutput();
  unsetenv("SDL_AUDIODRIVER");
  EXPECT_FALSE(audio->IsOpen());
  const std::vector<std::uint8_t> riff = SquareWave(100);
  EXPECT_EQ(audio->CreateChunk(riff.data(), riff.size()), 0);
  EXPECT_EQ(audio->AllocateChannel(), -1);
  audio->Play(0, 1, true);
  audio->Stop(0);
  audio->FreeChannel(0);
  audio->FreeChunk(1);
  audio->SetChannelParameters(0, 0, 0, 0);
  audio->SetMusicSource([](std::int16_t*, int) {});
  audio->SetMusicSource({});
  EXPECT_FALSE(audio->IsPlaying(0));
}

TEST(SdlAudio, ChunksThatAreNotPlayableWavesAreRefused) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  auto audio = CreateSdlAudioOutput();
  unsetenv("SDL_AUDIODRIVER");
  ASSERT_TRUE(audio->IsOpen());
  struct Case {
    const char* What;
    WaveFormat Format;
  };
  const auto format = [](std::uint16_t tag, std::uint16_t channels, std::uint32_t rate, std::uint16_t align,
                         std::uint16_t bits) {
    return WaveFormat{tag, channels, rate, rate * align, align, bits, {}};
  };
  const Case bad[] = {
      {"unknown format tag", format(0x7755, 1, 22050, 2, 16)},
      {"no channels", format(1, 0, 22050, 2, 16)},
      {"no sample rate", format(1, 1, 0, 2, 16)},
      {"no block size", format(1, 1, 22050, 0, 16)},
      {"odd sample size", format(1, 1, 22050, 2, 13)},
      {"ADPCM without its coefficients", format(2, 1, 22050, 256, 4)},
  };
  const std::vector<std::uint8_t> samples(4000, 0x40);
  for (const Case& c : bad) {
    SCOPED_TRACE(c.What);
    const std::vector<std::uint8_t> riff = MakeRiffWave(c.Format, samples);
    EXPECT_EQ(audio->CreateChunk(riff.data(), riff.size()), 0);
  }
  const std::string junk = "not a wave at all";
  EXPECT_EQ(audio->CreateChunk(reinterpret_cast<const std::uint8_t*>(junk.data()), junk.size()), 0);

  // The formats of the game's archives: 8- and 16-bit, mono and stereo, any rate.
  const WaveFormat good[] = {format(1, 1, 22050, 2, 16), format(1, 2, 44100, 4, 16),
                             format(1, 1, 11025, 1, 8), format(1, 2, 8000, 2, 8)};
  for (const WaveFormat& f : good) {
    SCOPED_TRACE(testing::Message() << f.Channels << " channels, " << f.BitsPerSample << " bits, "
                                    << f.SamplesPerSec << " Hz");
    const std::vector<std::uint8_t> riff = MakeRiffWave(f, samples);
    const int chunk = audio->CreateChunk(riff.data(), riff.size());
    EXPECT_NE(chunk, 0);
    audio->FreeChunk(chunk);
  }
}

}  // namespace
}  // namespace kestrune
