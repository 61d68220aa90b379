#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "platform/web/FrameRateMeter.h"
#include "platform/web/PageKeys.h"
#include "platform/web/PagePieces.h"
#include "platform/web/SaveWatch.h"

namespace kestrune {
namespace {

TEST(WebRefreshRate, IntervalsGiveTheUsualRateNearThem) {
  struct Case {
    double intervalMs;
    std::optional<int> hz;
  };
  const Case cases[] = {
      {1000.0 / 60, 60},    {1000.0 / 59.94, 60}, {1000.0 / 143.9, 144}, {1000.0 / 120, 120},
      {1000.0 / 75, 75},    {13.0, 77},           {1000.0 / 30, 30},     {60.0, std::nullopt},
      {0.0, std::nullopt},  {-5.0, std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(RefreshRateFromInterval(c.intervalMs), c.hz) << c.intervalMs;
}

// A run of frames with a few stalls among them (a slow frame, a moment in the background)
// measures the display's rate, and the next run measures again.
TEST(WebRefreshRate, TheMeterTakesTheMedianOfARunAndStartsAgain) {
  FrameRateMeter meter;
  double t = 1000.0;
  std::vector<std::optional<int>> results;
  for (int run = 0; run < 2; ++run) {
    const double period = run == 0 ? 1000.0 / 144 : 1000.0 / 60;
    for (int i = 0; i < FrameRateMeter::kFrames - (run == 0 ? 0 : 1); ++i) {
      t += (i % 10 == 5) ? 250.0 : period;
      if (const auto hz = meter.AddFrame(t)) results.push_back(hz);
    }
  }
  ASSERT_EQ(results.size(), 2u);
  EXPECT_EQ(results[0], 144);
  EXPECT_EQ(results[1], 60);
}

// The browser's copy of the saves is written after each save: every kind of change is seen, and
// a look without a change in between says nothing changed.
TEST(WebSaveWatch, SeesFilesWrittenAddedAndRemovedOnce) {
  namespace fs = std::filesystem;
  const fs::path folder = fs::temp_directory_path() / ("kestrune-savewatch-" + std::to_string(::getpid()));
  fs::remove_all(folder);
  fs::create_directories(folder);
  std::ofstream(folder / "Options.cfg") << "sound=1";
  SaveWatch watch(folder.string());
  EXPECT_FALSE(watch.Changed());
  std::ofstream(folder / "Options.cfg") << "sound=0\n";
  EXPECT_TRUE(watch.Changed()) << "rewritten";
  EXPECT_FALSE(watch.Changed());
  fs::create_directories(folder / "Screenshots");
  std::ofstream(folder / "Screenshots" / "shot.png") << "png";
  EXPECT_TRUE(watch.Changed()) << "added in a subfolder";
  fs::remove(folder / "Options.cfg");
  EXPECT_TRUE(watch.Changed()) << "removed";
  EXPECT_FALSE(watch.Changed());
  fs::remove_all(folder);
  EXPECT_TRUE(watch.Changed()) << "folder gone";
}

TEST(WebPage, LinksToTheGamesDocumentsOpenTheCopiesBesideThePage) {
  struct Case {
    const char* address;
    const char* page;
  };
  const Case cases[] = {
      {"file:///game/Docs/README.md", "Docs/README.md"},
      {"file:///game/Docs/LICENSE", "Docs/LICENSE"},
      {"file:///home/a/Docs/x/Docs/README%20b.md", "Docs/README%20b.md"},
      {"https://example.org/guide", "https://example.org/guide"},
      {"file:///etc/passwd", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(PageAddressOf(c.address), c.page) << c.address;
}

// The goodbye picture for the page's canvas: colours widened as the display widens them, the
// rows read at their pitch, holes of the shape transparent.
TEST(WebPage, OverlayPicturesBecomeRgbaWithTheShapesHolesTransparent) {
  const std::vector<std::uint16_t> pixels = {0xFFFF, 0xF800, 0x9999, /* row end: */ 0x1234,
                                             0x07E0, 0x001F, 0x0000, 0x5678};
  const std::vector<std::uint8_t> shape = {1, 1, 0, 1, 1, 1};
  const auto rgba = RgbaFromRgb565(pixels.data(), 3, 2, 4, shape);
  const std::vector<std::uint8_t> expected = {
      255, 255, 255, 255, 255, 0, 0, 255, 156, 48, 206, 0,  //
      0, 255, 0, 255,     0, 0, 255, 255, 0, 0, 0, 255};
  EXPECT_EQ(rgba, expected);
  EXPECT_EQ(RgbaFromRgb565(pixels.data(), 3, 2, 4, {})[11], 255) << "no shape: all opaque";
}

// Events as one line each: "+26" a key-down, "-26" a key-up, "c13" a typed character.
std::vector<std::string> Written(const std::deque<PlatformEvent>& events) {
  std::vector<std::string> out;
  char text[16];
  for (const PlatformEvent& e : events) {
    if (e.Type == PlatformEvent::Kind::Char) std::snprintf(text, sizeof text, "c%d", int{e.Char});
    else std::snprintf(text, sizeof text, "%c%x", e.Type == PlatformEvent::Kind::KeyDown ? '+' : '-', e.VirtualKey);
    out.emplace_back(text);
  }
  return out;
}

// The page's controls give the events and held keys a keyboard gives: one key-down and one
// key-up however often the page repeats itself, a tap between two reads held for one read,
// Enter and Backspace typing their character, and everything coming up at once when the page
// loses its controls.
TEST(WebPageKeys, PageControlsActAsAKeyboard) {
  PageKeys keys;
  std::deque<PlatformEvent> events;
  keys.Key(0x26, true, events);
  keys.Key(0x26, true, events);
  keys.Key(0x25, true, events);
  keys.Key(0x25, false, events);
  keys.Key(0x0D, true, events);
  keys.Key(0x08, true, events);
  keys.Key(0, true, events);
  keys.Key(256, true, events);
  PageKeys::Char('A', events);
  EXPECT_EQ(Written(events), (std::vector<std::string>{"+26", "+25", "-25", "+d", "c13", "+8", "c8", "c65"}));
  std::uint8_t states[256] = {};
  states[0x41] = 0x80;  // held on the keyboard: kept
  keys.AddHeldKeys(states);
  // Left went down and up between two reads: held in this read only, as a frame-long press is.
  for (int vk = 0; vk < 256; ++vk)
    EXPECT_EQ(states[vk], (vk == 0x26 || vk == 0x25 || vk == 0x0D || vk == 0x08 || vk == 0x41) ? 0x80 : 0) << vk;
  std::uint8_t next[256] = {};
  keys.AddHeldKeys(next);
  EXPECT_EQ(next[0x25], 0);
  EXPECT_EQ(next[0x26], 0x80);
  events.clear();
  keys.ReleaseAll(events);
  EXPECT_EQ(Written(events), (std::vector<std::string>{"-8", "-d", "-26"}));
  std::uint8_t after[256] = {};
  keys.AddHeldKeys(after);
  EXPECT_EQ(std::count(after, after + 256, 0x80), 0);
}

// While the letter picker is open a pad's events are the picker's, the Enter character after a
// pad's Enter too; the keyboard's events and a pad's once the picker closes are the game's.
TEST(WebPageKeys, PadEventsGoToAnOpenPicker) {
  auto event = [](PlatformEvent::Kind type, int key, bool pad, int ch = 0) {
    PlatformEvent e;
    e.Type = type;
    e.VirtualKey = key;
    e.FromPad = pad;
    e.Char = static_cast<std::uint8_t>(ch);
    return e;
  };
  using K = PlatformEvent::Kind;
  struct Case {
    PlatformEvent event;
    bool pickerOpen, passes;
  };
  const Case cases[] = {
      {event(K::KeyDown, 0x0D, true), true, false}, {event(K::Char, 0, false, 13), true, false},
      {event(K::KeyUp, 0x0D, true), true, false},   {event(K::KeyDown, 0x0D, false), true, true},
      {event(K::Char, 0, false, 13), true, true},   {event(K::KeyDown, 0x25, true), false, true},
      {event(K::KeyDown, 0x0D, true), false, true}, {event(K::Char, 0, false, 13), false, true},
  };
  PadEventFilter filter;
  for (std::size_t i = 0; i < std::size(cases); ++i)
    EXPECT_EQ(filter.Passes(cases[i].event, cases[i].pickerOpen), cases[i].passes) << "event " << i;
}

}  // namespace
}  // namespace kestrune
