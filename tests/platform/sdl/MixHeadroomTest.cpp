// The loudest moment of a race through the game's own sound path (sound library, music player
// and the SDL output, on SDL's disk driver): the race music, the engine at full revs, the horn,
// the machine gun and two explosions on top of each other must not reach -1 dBFS, and must not
// be made quiet to get there.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "framework/DXSound.h"
#include "framework/Music.h"
#include "framework/WaveList.h"
#include "platform/sdl/MixLimiter.h"
#include "platform/sdl/SdlAudio.h"

namespace kestrune {
namespace {

namespace fs = std::filesystem;

constexpr int kMinus1Dbfs = 29205;  // 32767 x 10^(-1/20)

std::vector<std::int16_t> ReadSamples(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::vector<std::int16_t> samples(bytes.size() / 2);
  for (std::size_t i = 0; i < samples.size(); ++i)
    samples[i] = static_cast<std::int16_t>(static_cast<std::uint8_t>(bytes[2 * i]) |
                                           (static_cast<std::uint8_t>(bytes[2 * i + 1]) << 8));
  return samples;
}

void Sleep(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

TEST(MixHeadroom, TheLoudestRaceMomentStaysBelowMinusOneDbfs) {
  const fs::path file = fs::temp_directory_path() / ("kestrune_mix_" + std::to_string(::getpid()) + ".raw");
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
  {
    auto audio = CreateSdlAudioOutput();
    ASSERT_TRUE(audio->IsOpen());
    TDXSound sound(audio.get());
    sound.Loaded();
    TDXWaveList waves;
    waves.SetDXSound(&sound);
    waves.Items.LoadFromFile(std::string(KESTRUNE_BUILD_DIR) + "/Data/Res/Sounds.dxw");
    TMusicPlayer music(audio.get());
    const TSongHandle song = music.SongLoadFromFile(std::string(KESTRUNE_BUILD_DIR) + "/Data/Music/Race.xm");
    ASSERT_NE(song, 0);
    music.SongPlay(song);
    for (const char* looped : {"Maxed", "Horn", "MachineGun"}) waves.Items.FindWave(looped).Play();
    // Two explosions, the second on its own copy while the first still roars.
    TWaveCollectionItem& explosion = waves.Items.FindWave("Explosion");
    explosion.SetMaxPlayingCount(0);
    Sleep(300);
    explosion.Play();
    Sleep(120);
    std::error_code error;
    const std::uintmax_t written = fs::file_size(file, error);
    const std::uintmax_t before = error ? 0 : written;
    explosion.Play();
    // The disk driver writes at a real device's pace, and a busy machine may run this thread
    // late: wait until a second of output has been written since the second blast began.
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
      const std::uintmax_t size = fs::file_size(file, error);
      if (!error && size >= before + 44100u * 4) break;
      ASSERT_LT(std::chrono::steady_clock::now() - start, std::chrono::minutes(2)) << "the output stopped at " << size;
      Sleep(20);
    }
    music.SongFree(song);
  }
  unsetenv("SDL_AUDIODRIVER");
  unsetenv("SDL_DISKAUDIOFILE");
  const std::vector<std::int16_t> mix = ReadSamples(file);
  fs::remove(file);
  ASSERT_GT(mix.size(), 44100u * 2);
  int peak = 0;
  for (std::int16_t s : mix) peak = std::max(peak, std::abs(static_cast<int>(s)));
  EXPECT_LT(peak, kMinus1Dbfs);
  // Loud all the same: within 3 dB of the ceiling.
  EXPECT_GT(peak, kMinus1Dbfs * 0.7);
}

// The limiter on its own: quiet material only gets the make-up gain (a look-ahead later), and no
// burst, however loud and sudden, passes the ceiling; the gain is already down when the burst's
// first swing leaves, so that swing is not flattened.
TEST(MixLimiter, PassesQuietSoundsAndHoldsPeaksUnderTheCeiling) {
  TMixLimiter limiter(4.0, 0.8414, 44100, 2, 80);
  const int delay = limiter.LookaheadFrames();
  EXPECT_EQ(delay, 88);
  std::vector<std::int16_t> quiet(2 * 1000);
  for (std::size_t i = 0; i < quiet.size(); ++i) quiet[i] = static_cast<std::int16_t>((i % 40) * 100 - 2000);
  std::vector<std::int16_t> out = quiet;
  limiter.Process(out.data(), 1000);
  for (int i = 0; i < 2 * delay; ++i) ASSERT_EQ(out[static_cast<std::size_t>(i)], 0) << i;
  for (std::size_t i = 2 * delay; i < quiet.size(); ++i) ASSERT_EQ(out[i], quiet[i - 2 * delay] * 4) << i;

  // A full-scale 441 Hz sine burst (100 frames a cycle), then quiet again.
  std::vector<std::int16_t> burst(2 * 4400);
  for (std::size_t i = 0; i < burst.size(); ++i)
    burst[i] = static_cast<std::int16_t>(std::lround(32767 * std::sin(2 * 3.14159265358979 * (i / 2) / 100.0)));
  std::vector<std::int16_t> after(2 * 44100, 1000);
  std::vector<std::int16_t> all = quiet;
  all.insert(all.end(), burst.begin(), burst.end());
  all.insert(all.end(), after.begin(), after.end());
  TMixLimiter fresh(4.0, 0.8414, 44100, 2, 80);
  fresh.Process(all.data(), static_cast<int>(all.size() / 2));
  const int ceiling = fresh.CeilingSample();
  for (std::int16_t s : all) ASSERT_LE(std::abs(static_cast<int>(s)), ceiling);
  // The burst's first cycle keeps its shape like the later ones: only the crests come near the
  // ceiling, its first swing is not flattened against it while the gain comes down.
  const std::size_t burstOut = quiet.size() + 2 * delay;
  const auto nearCeiling = [&](std::size_t cycle) {
    int n = 0;
    for (std::size_t i = burstOut + 200 * cycle; i < burstOut + 200 * (cycle + 1); ++i)
      n += std::abs(static_cast<int>(all[i])) >= ceiling * 0.99;
    return n;
  };
  EXPECT_GT(nearCeiling(40), 0);
  EXPECT_LE(nearCeiling(0), nearCeiling(40) * 3 / 2);
  const std::size_t afterOut = quiet.size() + burst.size() + 2 * delay;
  EXPECT_LT(all[afterOut + 2], 4000);  // still ducked just after the burst
  EXPECT_NEAR(all.back(), 4000, 1);   // recovered within a second
}

// A peak too sudden for the gain to be all the way down when it leaves (a full-scale click on
// the left over a steady sound on the right): the frame is lowered as a whole to the ceiling,
// both sides by one gain, never cut off on its loud side alone while the other side stays loud.
TEST(MixLimiter, ASuddenPeakLowersBothSidesTogether) {
  TMixLimiter limiter(4.0, 0.8414, 44100, 2, 80);
  const int delay = limiter.LookaheadFrames();
  constexpr int kFrames = 1000, kClickAt = 300, kClickFrames = 10;
  std::vector<std::int16_t> in(2 * kFrames);
  for (int i = 0; i < kFrames; ++i) {
    in[2 * i] = static_cast<std::int16_t>(i >= kClickAt && i < kClickAt + kClickFrames ? 32767 : 500);
    in[2 * i + 1] = 6000;
  }
  std::vector<std::int16_t> out = in;
  limiter.Process(out.data(), kFrames);
  const int ceiling = limiter.CeilingSample();
  for (int i = kClickAt; i < kClickAt + kClickFrames; ++i) {
    SCOPED_TRACE(i);
    const std::size_t o = 2 * static_cast<std::size_t>(i + delay);
    EXPECT_GE(out[o], ceiling - 1);
    EXPECT_LE(out[o], ceiling);
    // The right side leaves with the left side's gain.
    const double gain = out[o] / 32767.0;
    EXPECT_NEAR(out[o + 1], 6000 * gain, 1.0);
  }
}

}  // namespace
}  // namespace kestrune
