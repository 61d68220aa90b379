// The two songs the build writes: they load in libopenmpt, have the expected channels and
// length, sound neither silent nor clipped, loop by themselves, and are reproducible.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>

#include "AudioData.h"
#include "SongPlayback.h"

namespace kestrune::audio {
namespace {

std::vector<std::uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct SongTarget {
  const char* File;
  const char* Source;
  double MinSeconds, MaxSeconds;
};

const SongTarget kSongs[] = {{"Menu.xm", "Menu.song", 60.0, 150.0}, {"Race.xm", "Race.song", 90.0, 200.0}};

struct Level {
  double Peak = 0.0, Rms = 0.0;  // relative to full scale
};

Level Measure(const std::vector<std::int16_t>& samples, std::size_t from, std::size_t to) {
  Level level;
  double sum = 0.0;
  for (std::size_t i = from; i < to; ++i) {
    const double v = samples[i] / 32768.0;
    level.Peak = std::max(level.Peak, std::fabs(v));
    sum += v * v;
  }
  level.Rms = std::sqrt(sum / static_cast<double>(std::max<std::size_t>(1, to - from)));
  return level;
}

TEST(SongFiles, LoadWithTheirChannelsAndLength) {
  for (const SongTarget& song : kSongs) {
    const auto bytes = ReadFile(std::string(KESTRUNE_BUILD_DIR) + "/Data/Music/" + song.File);
    ASSERT_FALSE(bytes.empty()) << song.File;
    const SongReport report = InspectSong(bytes);
    ASSERT_TRUE(report.Loaded) << song.File << ": " << report.Error;
    EXPECT_EQ(report.Channels, 10) << song.File;
    EXPECT_GE(report.Seconds, song.MinSeconds) << song.File;
    EXPECT_LE(report.Seconds, song.MaxSeconds) << song.File;
  }
}

TEST(SongFiles, SoundNeitherSilentNorClippedAndKeepPlayingPastTheirEnd) {
  constexpr int kRate = 22050;
  for (const SongTarget& song : kSongs) {
    const auto bytes = ReadFile(std::string(KESTRUNE_BUILD_DIR) + "/Data/Music/" + song.File);
    const double length = InspectSong(bytes).Seconds;
    ASSERT_GT(length, 0.0) << song.File;
    // Played as the game plays it (repeating), the song runs on past its end into the loop.
    const auto audio = RenderSong(bytes, length + 8.0, kRate, true);
    ASSERT_EQ(audio.size(), static_cast<std::size_t>((length + 8.0) * kRate) * 2) << song.File;
    const Level whole = Measure(audio, 0, audio.size());
    EXPECT_LT(whole.Peak, 0.9) << song.File;  // headroom under the effects, no clipping
    EXPECT_GT(whole.Rms, 0.03) << song.File;  // about -30 dBFS or louder
    const std::size_t end = static_cast<std::size_t>(length * kRate) * 2;
    const Level afterLoop = Measure(audio, end + 2 * kRate * 2, audio.size());
    EXPECT_GT(afterLoop.Rms, 0.02) << song.File << " falls silent after it loops";
    // Every stretch of two seconds has music in it: no dead gaps.
    for (std::size_t at = 0; at + 4 * kRate <= audio.size(); at += 4 * kRate) {
      EXPECT_GT(Measure(audio, at, at + 4 * kRate).Rms, 0.01)
          << song.File << " at " << at / (2.0 * kRate) << " s";
    }
  }
}

TEST(SongFiles, BuiltFilesMatchTheSourcesAndRebuildIdentically) {
  for (const SongTarget& song : kSongs) {
    const std::string source = std::string(KESTRUNE_SONG_DIR) + "/" + song.Source;
    const auto first = BuildSong(source);
    EXPECT_EQ(first, BuildSong(source)) << song.Source;
    EXPECT_EQ(first, ReadFile(std::string(KESTRUNE_BUILD_DIR) + "/Data/Music/" + song.File)) << song.File;
  }
}

}  // namespace
}  // namespace kestrune::audio
