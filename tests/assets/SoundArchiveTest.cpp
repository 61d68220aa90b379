// The sound archive the build writes: every effect the game plays, with its loop flag, in
// the expected format and length, unclipped, looping without a jump, and reproducible.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <map>

#include "AudioData.h"
#include "framework/ArchiveIO.h"
#include "framework/Music.h"
#include "framework/WaveList.h"

namespace kestrune::audio {
namespace {

const std::string kArchivePath = std::string(KESTRUNE_BUILD_DIR) + "/Data/Res/Sounds.dxw";

struct Expected {
  bool Looped;
  double MinSeconds, MaxSeconds;
};

// What the game relies on: names, loop flags, and lengths that fit where each sound is used.
const std::map<std::string, Expected>& ExpectedSounds() {
  static const std::map<std::string, Expected> kSounds = {
      {"Neutral", {true, 0.5, 3}},
      {"Accel1", {true, 0.5, 3}},
      {"Accel2", {true, 0.5, 3}},
      {"Accel3", {true, 0.5, 3}},
      {"Accel4", {true, 0.5, 3}},
      {"Shift", {false, 0.36, 0.5}},
      {"Slowed", {true, 0.5, 3}},
      {"Maxed", {true, 0.5, 3}},
      {"Brake", {true, 0.5, 3}},
      {"Nitro", {true, 0.5, 3}},
      {"MachineGun", {true, 0.2, 3}},
      {"Rocket", {false, 0.2, 0.5}},
      {"Horn", {true, 0.2, 3}},
      {"Kill", {false, 0.3, 1.5}},
      {"KillW", {false, 0.3, 1.5}},
      {"Score", {false, 0.1, 0.6}},
      {"Bonus", {false, 0.3, 1.0}},
      {"Explosion", {false, 1.0, 1.5}},
      {"Collision", {false, 0.1, 0.6}},
      {"Tick", {false, 0.02, 0.08}},
      {"WeaponAppear", {false, 0.4, 0.6}},
      {"Button", {false, 0.03, 0.15}},
      {"Button_short", {false, 0.02, 0.08}},
      {"MenuBegin", {false, 0.6, 0.8}},
  };
  return kSounds;
}

std::vector<std::int16_t> Samples16(const WaveItemRecord& item) {
  std::vector<std::int16_t> s(item.Data.size() / 2);
  for (std::size_t i = 0; i < s.size(); ++i) {
    s[i] = static_cast<std::int16_t>(item.Data[2 * i] | (item.Data[2 * i + 1] << 8));
  }
  return s;
}

class SoundArchive : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { archive_ = new WaveArchive(ReadWaveArchive(kArchivePath)); }
  static void TearDownTestSuite() {
    delete archive_;
    archive_ = nullptr;
  }
  static WaveArchive* archive_;
};
WaveArchive* SoundArchive::archive_ = nullptr;

TEST_F(SoundArchive, HoldsEverySoundWithItsLoopFlagFormatAndLength) {
  std::map<std::string, int> seen;
  for (const WaveItemRecord& item : archive_->Items) {
    ++seen[item.Name];
    const auto it = ExpectedSounds().find(item.Name);
    ASSERT_NE(it, ExpectedSounds().end()) << "unexpected sound " << item.Name;
    EXPECT_EQ(item.Looped, it->second.Looped) << item.Name;
    EXPECT_EQ(item.MaxPlayingCount, 1) << item.Name;
    ASSERT_TRUE(item.HasWave) << item.Name;
    EXPECT_EQ(item.Format.FormatTag, 1) << item.Name;
    EXPECT_EQ(item.Format.Channels, 1) << item.Name;
    EXPECT_EQ(item.Format.SamplesPerSec, 22050u) << item.Name;
    EXPECT_EQ(item.Format.BitsPerSample, 16) << item.Name;
    EXPECT_EQ(item.Format.BlockAlign, 2) << item.Name;
    EXPECT_EQ(item.Format.AvgBytesPerSec, 44100u) << item.Name;
    EXPECT_EQ(item.Data.size() % 2, 0u) << item.Name;
    const double seconds = item.Data.size() / 2.0 / 22050.0;
    EXPECT_GE(seconds, it->second.MinSeconds) << item.Name;
    EXPECT_LE(seconds, it->second.MaxSeconds) << item.Name;
  }
  for (const auto& [name, expected] : ExpectedSounds()) EXPECT_EQ(seen[name], 1) << name;
}

TEST_F(SoundArchive, NoSoundClipsOrIsSilent) {
  for (const WaveItemRecord& item : archive_->Items) {
    const auto s = Samples16(item);
    int peak = 0;
    for (std::int16_t v : s) peak = std::max(peak, std::abs(static_cast<int>(v)));
    EXPECT_LT(peak, 29000) << item.Name << " (about -1 dBFS)";
    EXPECT_GT(peak, 3000) << item.Name;
  }
}

// How hard the sound changes around each position: the energy of the second difference
// (what a click is made of) over a short window. Positions past the end wrap round to the
// start, as they do while a looped sound plays.
std::vector<double> Roughness(const std::vector<std::int16_t>& s) {
  constexpr int kHalfWindow = 16;
  const int n = static_cast<int>(s.size());
  const auto at = [&](int i) { return static_cast<double>(s[((i % n) + n) % n]); };
  std::vector<double> curve(s.size());
  for (int i = 0; i < n; ++i) {
    const double d = at(i) - 2.0 * at(i - 1) + at(i - 2);
    curve[i] = d * d;
  }
  std::vector<double> out(s.size());
  for (int i = 0; i < n; ++i) {
    double sum = 0.0;
    for (int k = -kHalfWindow; k < kHalfWindow; ++k) sum += curve[((i + k) % n + n) % n];
    out[i] = sum;
  }
  return out;
}

// True when the loop point is no rougher than 99 % of the moments inside the sound.
bool JoinsSmoothly(const std::vector<std::int16_t>& s) {
  const std::vector<double> rough = Roughness(s);
  std::vector<double> inside(rough.begin() + 64, rough.end() - 64);
  std::sort(inside.begin(), inside.end());
  return rough[0] <= inside[inside.size() * 99 / 100];
}

TEST_F(SoundArchive, LoopedSoundsJoinWithoutAJumpOrADip) {
  for (const WaveItemRecord& item : archive_->Items) {
    if (!item.Looped) continue;
    const auto s = Samples16(item);
    ASSERT_GT(s.size(), 2000u) << item.Name;
    EXPECT_TRUE(JoinsSmoothly(s)) << item.Name;
    // No fade at either end: the first and last 20 ms are about as loud as the whole.
    const auto rms = [&](std::size_t from, std::size_t to) {
      double sum = 0.0;
      for (std::size_t i = from; i < to; ++i) sum += static_cast<double>(s[i]) * s[i];
      return std::sqrt(sum / static_cast<double>(to - from));
    };
    const double whole = rms(0, s.size());
    EXPECT_GT(rms(0, 441), 0.4 * whole) << item.Name;
    EXPECT_GT(rms(s.size() - 441, s.size()), 0.4 * whole) << item.Name;
  }
  // The check does hear a seam: the idling engine cut a little short, or a tone stopped
  // mid-cycle, jumps at the loop point.
  for (const WaveItemRecord& item : archive_->Items) {
    if (item.Name != "Neutral" && item.Name != "Slowed") continue;
    auto cut = Samples16(item);
    cut.resize(cut.size() - 37);
    EXPECT_FALSE(JoinsSmoothly(cut)) << item.Name << " cut short";
  }
  const auto tone = [](int samples) {
    std::vector<std::int16_t> s(samples);
    for (int i = 0; i < samples; ++i)
      s[i] = static_cast<std::int16_t>(8000 * std::sin(i * 2 * 3.14159265358979 / 40));
    return s;
  };
  EXPECT_TRUE(JoinsSmoothly(tone(4000)));
  EXPECT_FALSE(JoinsSmoothly(tone(4013)));
}

TEST_F(SoundArchive, EngineSoundsSitUnderTheEffects) {
  const auto rmsOf = [&](const std::string& name) {
    for (const WaveItemRecord& item : archive_->Items) {
      if (item.Name != name) continue;
      const auto s = Samples16(item);
      double sum = 0.0;
      for (std::int16_t v : s) sum += static_cast<double>(v) * v;
      return std::sqrt(sum / static_cast<double>(s.size()));
    }
    return 0.0;
  };
  double loudestEngine = 0.0;
  for (const char* engine : {"Neutral", "Accel1", "Accel2", "Accel3", "Accel4", "Slowed", "Maxed"}) {
    loudestEngine = std::max(loudestEngine, rmsOf(engine));
  }
  for (const char* effect : {"Explosion", "Collision", "Kill", "KillW", "MachineGun", "Horn", "Nitro"}) {
    EXPECT_GT(rmsOf(effect), loudestEngine) << effect;
  }
}

TEST_F(SoundArchive, TheBuiltArchiveIsWhatTheGeneratorMakesEveryTime) {
  const auto bytes = WriteWaveArchiveToMemory(BuildSoundArchive());
  EXPECT_EQ(bytes, WriteWaveArchiveToMemory(BuildSoundArchive()));
  std::ifstream in(kArchivePath, std::ios::binary);
  const std::vector<std::uint8_t> file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  EXPECT_EQ(bytes, file);
}

TEST(GameLibraries, FindEverySoundByNameAndLoadBothSongs) {
  // What the game does at start-up and when a screen opens, with the generated files.
  TWaveCollection sounds;
  sounds.LoadFromFile(kArchivePath);
  for (const auto& [name, expected] : ExpectedSounds()) {
    const TWaveCollectionItem& item = sounds.FindWave(name);
    EXPECT_EQ(item.Looped(), expected.Looped) << name;
    EXPECT_EQ(item.MaxPlayingCount(), 1) << name;
    EXPECT_FALSE(item.Wave.Empty()) << name;
  }
  TMusicPlayer music(nullptr);
  for (const char* song : {"Menu.xm", "Race.xm"}) {
    EXPECT_NE(music.SongLoadFromFile(std::string(KESTRUNE_BUILD_DIR) + "/Data/Music/" + song), 0) << song;
  }
}

}  // namespace
}  // namespace kestrune::audio
