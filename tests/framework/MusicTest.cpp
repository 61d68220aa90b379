#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "framework/Music.h"
#include "platform/headless/HeadlessAudio.h"

namespace kestrune {
namespace {

namespace fs = std::filesystem;

struct Bytes {
  std::vector<std::uint8_t> v;
  void u8(int x) { v.push_back(static_cast<std::uint8_t>(x)); }
  void u16(int x) { u8(x & 255), u8((x >> 8) & 255); }
  void u32(std::uint32_t x) { u16(static_cast<int>(x & 0xFFFF)), u16(static_cast<int>(x >> 16)); }
  void text(const std::string& s, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i) u8(i < s.size() ? s[i] : 0);
  }
};

// The smallest useful XM: one channel, one 16-row pattern with a single note on row 0, one
// instrument holding a short, unlooped 8-bit square wave, restart position 0. Played once the
// song falls silent after about half a second; it only sounds again if it loops.
std::vector<std::uint8_t> TinyXm() {
  Bytes b;
  b.text("Extended Module: ", 17);
  b.text("tiny", 20);
  b.u8(0x1A);
  b.text("kestrune test", 20);
  b.u16(0x0104);
  b.u32(276);                             // header size, counted from this field
  b.u16(1);                               // song length (orders)
  b.u16(0);                               // restart position
  b.u16(1);                               // channels
  b.u16(1);                               // patterns
  b.u16(1);                               // instruments
  b.u16(1);                               // linear frequency table
  b.u16(6);                               // tempo
  b.u16(125);                             // BPM
  for (int i = 0; i < 256; ++i) b.u8(0);  // order table: pattern 0

  // Pattern: 16 rows, packed. Row 0: note C-4 with instrument 1; the rest empty.
  Bytes rows;
  rows.u8(0x80 | 0x01 | 0x02);
  rows.u8(49);
  rows.u8(1);
  for (int r = 1; r < 16; ++r) rows.u8(0x80);
  b.u32(9);
  b.u8(0);
  b.u16(16);
  b.u16(static_cast<int>(rows.v.size()));
  b.v.insert(b.v.end(), rows.v.begin(), rows.v.end());

  // Instrument with one sample.
  const int kLength = 4000;
  b.u32(243);
  b.text("square", 22);
  b.u8(0);
  b.u16(1);
  b.u32(40);                             // sample header size
  for (int i = 0; i < 96; ++i) b.u8(0);  // every note plays sample 0
  for (int i = 0; i < 96; ++i) b.u8(0);  // volume and panning envelopes (unused)
  for (int i = 0; i < 14; ++i) b.u8(0);  // point counts, sustain/loops, types, vibrato
  b.u16(0);                              // fadeout
  b.u16(0);                              // reserved
  b.u32(kLength);
  b.u32(0);
  b.u32(0);
  b.u8(64);   // volume
  b.u8(0);    // finetune
  b.u8(0);    // no loop, 8-bit
  b.u8(128);  // panning
  b.u8(0);    // relative note
  b.u8(0);
  b.text("square", 22);
  int previous = 0;
  for (int i = 0; i < kLength; ++i) {
    const int sample = (i / 16) % 2 ? 80 : -80;
    b.u8((sample - previous) & 255);  // samples are stored as deltas
    previous = sample;
  }
  return b.v;
}

double Rms(const std::vector<std::int16_t>& frames, std::size_t from, std::size_t to) {
  double sum = 0;
  for (std::size_t i = from * 2; i < to * 2; ++i) sum += static_cast<double>(frames[i]) * frames[i];
  return std::sqrt(sum / static_cast<double>((to - from) * 2));
}

class MusicTest : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("kestrune_music_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    const fs::path p = dir_ / name;
    std::ofstream(p, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return p.string();
  }
  fs::path dir_;
};

TEST_F(MusicTest, FilesThatAreNotModulesGiveHandleZero) {
  HeadlessAudioOutput audio;
  TMusicPlayer music(&audio);
  const std::string text = "This is not a tracker module, just some words in a file.\n";
  std::vector<std::uint8_t> truncated = TinyXm();
  truncated.resize(60);
  EXPECT_EQ(music.SongLoadFromFile((dir_ / "Missing.xm").string()), 0);
  EXPECT_EQ(music.SongLoadFromFile(dir_.string()), 0);  // a directory
  EXPECT_EQ(music.SongLoadFromFile(Write("Empty.xm", {})), 0);
  EXPECT_EQ(music.SongLoadFromFile(Write("Text.xm", std::vector<std::uint8_t>(text.begin(), text.end()))), 0);
  EXPECT_EQ(music.SongLoadFromFile(Write("Cut.xm", truncated)), 0);
  EXPECT_EQ(music.LoadedCount(), 0);
  // Freeing or playing handle 0 (what the shell holds when loading failed) does nothing.
  music.SongPlay(0);
  music.SongFree(0);
  EXPECT_FALSE(audio.HasMusicSource());
}

TEST_F(MusicTest, SongPlaysIntoTheOutputLoopsAndStopsWhenFreed) {
  HeadlessAudioOutput audio;
  TMusicPlayer music(&audio);
  const TSongHandle song = music.SongLoadFromFile(Write("Tiny.xm", TinyXm()));
  ASSERT_NE(song, 0);
  EXPECT_FALSE(audio.HasMusicSource());

  music.SongPlay(song);
  ASSERT_TRUE(audio.HasMusicSource());
  const int rate = audio.OutputRate();
  // The pattern lasts 16 rows x 6 ticks x 2.5 / 125 s = 1.92 s; the note fades well before.
  const std::vector<std::int16_t> out = audio.RenderMusic(rate * 5 / 2);
  const auto at = [&](double seconds) { return static_cast<std::size_t>(seconds * rate); };
  EXPECT_GT(Rms(out, at(0.0), at(0.05)), 500.0);  // the note
  EXPECT_LT(Rms(out, at(1.0), at(1.8)), 1.0);     // silence until the pattern ends
  EXPECT_GT(Rms(out, at(1.95), at(2.0)), 500.0);  // back at the restart position: the note again

  music.SongFree(song);
  EXPECT_FALSE(audio.HasMusicSource());
  EXPECT_EQ(music.Playing(), 0);
  EXPECT_EQ(music.LoadedCount(), 0);
}

TEST_F(MusicTest, PlayingAnotherSongReplacesTheFirstAndReplayStartsOver) {
  HeadlessAudioOutput audio;
  TMusicPlayer music(&audio);
  const std::string path = Write("Tiny.xm", TinyXm());
  const TSongHandle a = music.SongLoadFromFile(path);
  const TSongHandle b = music.SongLoadFromFile(path);
  ASSERT_NE(a, 0);
  ASSERT_NE(b, a);
  music.SongPlay(a);
  audio.RenderMusic(audio.OutputRate());  // one second in: silent part
  music.SongPlay(b);
  EXPECT_EQ(music.Playing(), b);
  music.SongFree(a);  // not the one playing: the music goes on
  EXPECT_TRUE(audio.HasMusicSource());
  EXPECT_GT(Rms(audio.RenderMusic(2000), 0, 2000), 500.0);
  audio.RenderMusic(audio.OutputRate());
  music.SongPlay(b);  // from the beginning again
  EXPECT_GT(Rms(audio.RenderMusic(2000), 0, 2000), 500.0);
}

TEST_F(MusicTest, SongsLoadWithoutAnAudioDevice) {
  TMusicPlayer music(nullptr);
  const TSongHandle song = music.SongLoadFromFile(Write("Tiny.xm", TinyXm()));
  EXPECT_NE(song, 0);
  music.SongPlay(song);
  EXPECT_EQ(music.Playing(), song);
  music.SongFree(song);
  EXPECT_EQ(music.Playing(), 0);
}

}  // namespace
}  // namespace kestrune
