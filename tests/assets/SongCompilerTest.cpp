// The song notation: steps spread over rows, drums, volumes, effects, chords, cycling bars,
// the loop jump at the end, and errors that name the line.

#include <gtest/gtest.h>

#include "SongCompiler.h"

namespace kestrune::audio {
namespace {

const char* const kSong = R"(# a tiny song
song Test Song
speed 5
bpm 120
channels 4
restart b

instrument drum kick volume 50
instrument keys pad

pattern a 2
1 drum | X x . x:20 | X . . .    # two bars
4 keys | C4 . D#4/A04 - |
2-3 keys near G4 | Fmaj7 | Am . . -

pattern b 1
1 drum | X . X .
order a b
order b
)";

const XmCell& CellAt(XmModule& m, int pattern, int row, int channel) {
  return m.Patterns[pattern].At(row, channel - 1, m.Channels);
}

TEST(SongCompiler, SpreadsStepsOverRowsAndFillsEveryField) {
  XmModule m = CompileSong(kSong, "test.song");
  EXPECT_EQ(m.Name, "Test Song");
  EXPECT_EQ(m.Speed, 5);
  EXPECT_EQ(m.Bpm, 120);
  EXPECT_EQ(m.Channels, 4);
  ASSERT_EQ(m.Instruments.size(), 2u);
  EXPECT_EQ(m.Instruments[0].Sample.Volume, 50);
  EXPECT_EQ(m.Patterns[0].Rows, 32);

  // Four steps in a 16-row bar: rows 0, 4, 8, 12. "X" plays at the instrument's volume,
  // "x" softer, ":20" at 20.
  EXPECT_EQ(CellAt(m, 0, 0, 1).Note, 49);
  EXPECT_EQ(CellAt(m, 0, 0, 1).Instrument, 1);
  EXPECT_EQ(CellAt(m, 0, 0, 1).Volume, 0);
  EXPECT_EQ(CellAt(m, 0, 4, 1).Volume, 0x10 + 30);
  EXPECT_TRUE(CellAt(m, 0, 8, 1).Empty());
  EXPECT_EQ(CellAt(m, 0, 12, 1).Volume, 0x10 + 20);
  EXPECT_EQ(CellAt(m, 0, 16, 1).Note, 49);

  // A one-bar line repeats through the pattern; "-" is a key off; "/A04" an effect.
  for (int bar : {0, 16}) {
    EXPECT_EQ(CellAt(m, 0, bar, 4).Note, 49);
    EXPECT_EQ(CellAt(m, 0, bar + 4, 4).Note, 0);
    EXPECT_EQ(CellAt(m, 0, bar + 8, 4).Note, 52);  // D#4
    EXPECT_EQ(CellAt(m, 0, bar + 8, 4).Effect, 0x0A);
    EXPECT_EQ(CellAt(m, 0, bar + 8, 4).Param, 0x04);
    EXPECT_EQ(CellAt(m, 0, bar + 12, 4).Note, kXmKeyOff);
    EXPECT_EQ(CellAt(m, 0, bar + 12, 4).Instrument, 0);
  }
}

TEST(SongCompiler, VoicesChordsCloseToTheCentreOnePerChannel) {
  XmModule m = CompileSong(kSong, "test.song");
  // Fmaj7 on two channels drops the fifth and the seventh... keeps root and third: F4, A4.
  EXPECT_EQ(CellAt(m, 0, 0, 2).Note, 54);  // F4
  EXPECT_EQ(CellAt(m, 0, 0, 3).Note, 58);  // A4
  // Am around G4: A4 and C5 (E dropped as the fifth).
  EXPECT_EQ(CellAt(m, 0, 16, 2).Note, 58);
  EXPECT_EQ(CellAt(m, 0, 16, 3).Note, 61);
  EXPECT_EQ(CellAt(m, 0, 28, 2).Note, kXmKeyOff);
  EXPECT_EQ(CellAt(m, 0, 28, 3).Note, kXmKeyOff);

  const XmModule wide = CompileSong(
      "channels 4\ninstrument p pad\npattern a 1\n1-4 p near G4 | Fmaj7 | \norder a\n", "wide.song");
  std::vector<int> notes;
  for (int ch = 0; ch < 4; ++ch) notes.push_back(wide.Patterns[0].Cells[ch].Note);
  EXPECT_EQ(notes, (std::vector<int>{53, 54, 58, 61}));  // E4 F4 A4 C5
}

TEST(SongCompiler, LoopsBackToTheRestartPatternFromTheEnd) {
  XmModule m = CompileSong(kSong, "test.song");
  // Orders a b b: restart at the first "b"; the last entry gets its own copy of "b" carrying
  // the jump, so the first "b" plays through.
  ASSERT_EQ(m.Orders.size(), 3u);
  EXPECT_EQ(m.RestartPosition, 1);
  EXPECT_EQ(m.Orders[1], 1);
  ASSERT_EQ(m.Orders[2], 2);
  ASSERT_EQ(m.Patterns.size(), 3u);
  const XmPattern& last = m.Patterns[2];
  const XmCell& jump = last.Cells[(last.Rows - 1) * m.Channels + m.Channels - 1];
  EXPECT_EQ(jump.Effect, 0x0B);
  EXPECT_EQ(jump.Param, 1);
  for (const XmCell& c : m.Patterns[1].Cells) EXPECT_NE(c.Effect, 0x0B);
  EXPECT_NO_THROW(WriteXm(m));
}

TEST(SongCompiler, ErrorsNameTheLineAndTheFault) {
  const std::string head = "channels 2\ninstrument k kick\npattern a 1\n";
  const std::vector<std::pair<std::string, std::string>> cases = {
      {head + "1 k | X X X\norder a\n", "test.song:4: a bar holds 3 steps"},
      {head + "1 q | X\norder a\n", "test.song:4: unknown instrument \"q\""},
      {head + "1 k | H4\norder a\n", "test.song:4: \"H4\" is not a note"},
      {head + "3 k | X\norder a\n", "test.song:4: expected a number 1..2"},
      {"channels 2\ninstrument k kick\ninstrument s snare\npattern a 1\n1 k | X\n1 s | X\norder a\n",
       "test.song:6: channel 1 row 0 is written twice"},
      {head + "1 k | X\norder a c\n", "test.song:5: order names unknown pattern \"c\""},
      {head + "1-2 k | X\norder a\n", "test.song:4: a chord line names its voicing centre"},
      {head + "1-2 k near C4 | Xm7\norder a\n", "test.song:4: \"Xm7\" is not a chord name"},
      {head + "1 k | X/G\norder a\n", "test.song:4: effect \"/G\""},
      {"channels 2\ninstrument k kazoo\n", "test.song:2: unknown instrument voice \"kazoo\""},
      {head + "1 k | X\n", "test.song: the song has no order list"},
      {head + "restart z\n1 k | X\norder a\n", "test.song:4: restart pattern \"z\""},
      {"tempo 3\n", "test.song:1: unknown directive \"tempo\""},
  };
  for (const auto& [text, message] : cases) {
    try {
      CompileSong(text, "test.song");
      ADD_FAILURE() << "no error for: " << message;
    } catch (const SongError& e) {
      EXPECT_NE(std::string(e.what()).find(message), std::string::npos) << e.what();
    }
  }
}

TEST(SongCompiler, DamagedSourcesFailCleanly) {
  // Damaged copies of a song (characters dropped, swapped or replaced) either compile to a
  // module the writer accepts or fail with a song error; nothing else escapes.
  const std::string song =
      "song x\nspeed 6\nbpm 120\nchannels 4\nrestart b\ninstrument k kick volume 40\ninstrument h hat\n"
      "pattern a 2\n1 k | X x . x:20/A04 | X\n2-4 k near C4 | Am7 . - Fmaj7 |\n3 h | x x x x x x x x\n"
      "pattern b 1\n1 k | X . X .\norder a b a\n";
  const std::string junk = "#|-.:/x0123456789ABGbm \n";
  std::uint32_t seed = 12345;
  const auto next = [&](std::uint32_t n) {
    seed = seed * 1664525u + 1013904223u;
    return (seed >> 8) % n;
  };
  for (int round = 0; round < 400; ++round) {
    std::string text = song;
    for (int edits = 1 + static_cast<int>(next(4)); edits > 0; --edits) {
      const std::size_t at = next(static_cast<std::uint32_t>(text.size()));
      switch (next(3)) {
        case 0:
          text.erase(at, 1);
          break;
        case 1:
          text[at] = junk[next(static_cast<std::uint32_t>(junk.size()))];
          break;
        default:
          text.insert(at, 1, junk[next(static_cast<std::uint32_t>(junk.size()))]);
          break;
      }
    }
    try {
      WriteXm(CompileSong(text, "damaged.song"));
    } catch (const XmError&) {
      // SongError is an XmError: a clear message, as wanted.
    }
  }
}

TEST(SongCompiler, NoteNames) {
  const std::vector<std::pair<const char*, int>> cases = {
      {"C0", 1},  {"C4", 49}, {"C#4", 50}, {"Db4", 50}, {"B3", 48}, {"Cb4", 48}, {"B#3", 49}, {"B7", 96},
      {"Cb0", 0}, {"C8", 0},  {"H4", 0},   {"c4", 0},   {"C", 0},   {"C44", 0},  {"", 0}};
  for (const auto& [name, note] : cases) EXPECT_EQ(ParseNoteName(name), note) << name;
}

}  // namespace
}  // namespace kestrune::audio
