// A session recorded through the recorder plays back from its script to the same end: same game
// state, same last picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "app/ReplayRunner.h"
#include "app/ReplayScript.h"
#include "app/SessionRecorder.h"
#include "game/GameState.h"
#include "platform/GamepadMap.h"
#include "platform/headless/HeadlessAudio.h"
#include "platform/headless/HeadlessPlatform.h"
#include "shell/Game.h"
#include "shell/SavedFiles.h"

namespace kestrune {
namespace {

using Kind = PlatformEvent::Kind;

PlatformEvent Key(Kind kind, int vk, bool alt = false) {
  PlatformEvent e;
  e.Type = kind;
  e.VirtualKey = vk;
  e.Alt = alt;
  return e;
}

PlatformEvent Char(std::uint8_t c) {
  PlatformEvent e;
  e.Type = Kind::Char;
  e.Char = c;
  return e;
}

PlatformEvent Mouse(Kind kind, int x, int y) {
  PlatformEvent e;
  e.Type = kind;
  e.X = x;
  e.Y = y;
  return e;
}

// A player's session as the SDL back end delivers it: Enter and Backspace type their character
// after their key-down, typed text arrives as characters, the mouse moves before it clicks.
std::multimap<std::int64_t, PlatformEvent> PlayerSession() {
  std::multimap<std::int64_t, PlatformEvent> s;
  s.insert({30, Key(Kind::KeyDown, 0x1B)});  // leave the intro
  s.insert({31, Key(Kind::KeyUp, 0x1B)});
  s.insert({60, Mouse(Kind::MouseMove, 5, 5)});
  s.insert({70, Char('#')});
  s.insert({71, Char(' ')});
  s.insert({72, Char('7')});
  s.insert({73, Char(8)});                   // a repeated Backspace: its character without a key-down
  s.insert({90, Key(Kind::KeyDown, 0x0D)});  // New game
  s.insert({90, Char(13)});
  s.insert({91, Key(Kind::KeyUp, 0x0D)});
  s.insert({120, Key(Kind::KeyDown, 0x0D)});  // Start
  s.insert({120, Char(13)});
  s.insert({121, Key(Kind::KeyUp, 0x0D)});
  s.insert({300, Key(Kind::KeyDown, 0x26)});  // drive
  s.insert({340, Key(Kind::KeyDown, 0x25)});
  s.insert({350, Key(Kind::KeyUp, 0x25)});
  s.insert({360, Key(Kind::KeyDown, 'P')});  // taps shorter than a frame: pause, and resume
  s.insert({360, Key(Kind::KeyUp, 'P')});
  s.insert({370, Key(Kind::KeyDown, 'P')});
  s.insert({370, Key(Kind::KeyUp, 'P')});
  s.insert({380, Key(Kind::KeyDown, 0x11)});  // fire with Ctrl
  s.insert({381, Key(Kind::KeyUp, 0x11)});
  s.insert({420, Key(Kind::KeyUp, 0x26)});
  return s;
}

TEST(RecordReplay, ARecordedSessionReplaysToTheSameEnd) {
  constexpr std::int64_t kFrames = 460;
  HeadlessPlatform real;
  real.SetRefreshRate(75);
  std::ostringstream script;
  std::map<std::string, std::string> recorded;
  std::uint64_t recordedHash = 0;
  {
    SessionRecorder recorder(real, script, 1234);
    TGameSession session(recorder, 1234);
    ASSERT_TRUE(session.Start());
    const auto events = PlayerSession();
    std::int64_t frame = 1;
    for (; frame <= kFrames && !session.Finished(); ++frame) {
      recorder.BeginFrame(frame);
      auto [from, to] = events.equal_range(frame);
      for (auto it = from; it != to; ++it) real.PushEvent(it->second);
      if (frame == 200) real.ChangeRefreshRate(120);  // the window moved to another monitor
      if (frame == 250) real.SetForeground(false);
      if (frame == 260) real.SetForeground(true);
      session.Step();
    }
    recorder.Finish(frame - 1);
    const TGameState& s = GameState;
    recorded = {{"Screen", std::to_string(s.Screen)},     {"Overlay", std::to_string(s.Overlay)},
                {"Level", std::to_string(s.Level)},       {"Score", std::to_string(s.Score)},
                {"TimeLeft", std::to_string(s.TimeLeft)}, {"RefreshRate", std::to_string(s.RefreshRate)}};
    recordedHash = real.LastFrame()->Hash();
  }
  // The session got somewhere worth checking: a race, at the second monitor's rate.
  EXPECT_EQ(recorded["Screen"], "7");
  EXPECT_EQ(recorded["RefreshRate"], "120");

  TReplayRunner runner(ParseReplayScript(script.str()));
  const TReplayResult result = runner.Run();
  std::map<std::string, std::string> replayed(result.Summary.begin(), result.Summary.end());
  for (const auto& [field, value] : recorded)
    EXPECT_EQ(replayed[field], value) << field << "\n" << script.str();
  EXPECT_EQ(result.LastFrameHash, recordedHash);
  EXPECT_EQ(replayed["Frames"], std::to_string(kFrames));
}

// A stream that takes nothing, as a full disk.
class FullDisk : public std::streambuf {
 protected:
  int_type overflow(int_type) override { return traits_type::eof(); }
  std::streamsize xsputn(const char*, std::streamsize) override { return 0; }
};

// A recording that cannot be written says so once, at the first failed line, and the session it
// records goes on.
TEST(RecordReplay, AFailedWriteIsReportedOnceAndTheGameGoesOn) {
  HeadlessPlatform real;
  FullDisk disk;
  std::ostream out(&disk);
  SessionRecorder recorder(real, out, 1);
  int reports = 0;
  recorder.OnWriteFailed = [&] { ++reports; };
  TGameSession session(recorder, 1);
  ASSERT_TRUE(session.Start());
  for (std::int64_t frame = 1; frame <= 40; ++frame) {
    recorder.BeginFrame(frame);
    if (frame == 30) real.PushEvent(Key(Kind::KeyDown, 0x1B));
    session.Step();
  }
  recorder.Finish(40);
  EXPECT_TRUE(recorder.WriteFailed());
  EXPECT_EQ(reports, 1);
  EXPECT_FALSE(session.Finished());
  EXPECT_EQ(real.PresentCount(), 40u);
}

// A double-click's second click, the goodbye window and a gamepad are recorded so that the
// replay ends the same way: the second click on Back is dropped again, and the pad's Start
// closes the goodbye window again.
TEST(RecordReplay, SecondClicksGoodbyeWindowAndPadReplayToTheSameEnd) {
  HeadlessPlatform real;
  std::ostringstream script;
  std::int64_t endFrame = 0;
  {
    SessionRecorder recorder(real, script, 99);
    TGameSession session(recorder, 99);
    ASSERT_TRUE(session.Start());
    PlatformEvent second = Mouse(Kind::MouseClick, 370, 525);
    second.Clicks = 2;
    PlatformEvent goodbyeMove = Mouse(Kind::MouseMove, 150, 150);
    goodbyeMove.Window = 1;
    std::multimap<std::int64_t, PlatformEvent> events = {
        {10, Key(Kind::KeyDown, 0x1B)}, {11, Key(Kind::KeyUp, 0x1B)},  // leave the intro
        {70, Mouse(Kind::MouseMove, 80, 360)}, {70, Mouse(Kind::MouseClick, 80, 360)},  // Options
        {80, Mouse(Kind::MouseMove, 370, 525)}, {80, Mouse(Kind::MouseClick, 370, 525)},  // Back
        {84, second},
        {90, Key(Kind::KeyDown, 0x1B)}, {91, Key(Kind::KeyUp, 0x1B)},  // exit the game?
        {95, Key(Kind::KeyDown, 0x25)}, {96, Key(Kind::KeyUp, 0x25)},  // Yes
        {100, Key(Kind::KeyDown, 0x0D)}, {100, Char(13)}, {101, Key(Kind::KeyUp, 0x0D)},
        {110, goodbyeMove}};
    for (std::int64_t frame = 1; frame <= 200 && !session.Finished(); ++frame) {
      recorder.BeginFrame(frame);
      auto [from, to] = events.equal_range(frame);
      for (auto it = from; it != to; ++it) real.PushEvent(it->second);
      if (frame == 120) real.PadButton(PadButton::Start, true);
      session.Step();
      if (frame == 84) {
        EXPECT_EQ(GameState.Screen, ScreenMainMenu);
      }
      endFrame = frame;
    }
    recorder.Finish(endFrame);
    EXPECT_TRUE(session.Finished());
  }
  EXPECT_EQ(endFrame, 120);
  EXPECT_NE(script.str().find("click 370 525 2"), std::string::npos) << script.str();
  EXPECT_NE(script.str().find("goodbye mouse 150 150"), std::string::npos) << script.str();
  EXPECT_NE(script.str().find("keydown Pad+0x50"), std::string::npos) << script.str();

  TReplayRunner runner(ParseReplayScript(script.str()));
  const TReplayResult result = runner.Run();
  EXPECT_TRUE(result.Finished) << script.str();
  EXPECT_EQ(result.FramesRun, 120);
}

// A player who switched the goodbye window off leaves the game at once; the replay of such a
// session, which starts from fresh saves, ends there too, instead of stopping with the window
// open: the recording says that the window was off.
TEST(RecordReplay, LeavingWithTheGoodbyeWindowSwitchedOffReplaysToTheSameEnd) {
  HeadlessPlatform real;
  std::filesystem::create_directories(real.SaveFolder());
  std::ofstream(std::filesystem::path(real.SaveFolder()) / "form", std::ios::binary) << '\x01';
  std::ostringstream script;
  std::int64_t endFrame = 0;
  {
    SessionRecorder recorder(real, script, 5);
    TGameSession session(recorder, 5);
    ASSERT_TRUE(session.Start());
    recorder.NoteSavedGoodbyeSwitch(ReadPromotionSwitch());
    const std::multimap<std::int64_t, PlatformEvent> events = {
        {10, Key(Kind::KeyDown, 0x1B)},  {11, Key(Kind::KeyUp, 0x1B)},  // leave the intro
        {90, Key(Kind::KeyDown, 0x1B)},  {91, Key(Kind::KeyUp, 0x1B)},  // exit the game?
        {95, Key(Kind::KeyDown, 0x25)},  {96, Key(Kind::KeyUp, 0x25)},  // Yes
        {100, Key(Kind::KeyDown, 0x0D)}, {100, Char(13)}};
    for (std::int64_t frame = 1; frame <= 200 && !session.Finished(); ++frame) {
      recorder.BeginFrame(frame);
      auto [from, to] = events.equal_range(frame);
      for (auto it = from; it != to; ++it) real.PushEvent(it->second);
      session.Step();
      endFrame = frame;
    }
    recorder.Finish(endFrame);
    ASSERT_TRUE(session.Finished());
  }
  EXPECT_EQ(endFrame, 100);

  TReplayRunner runner(ParseReplayScript(script.str()));
  const TReplayResult result = runner.Run();
  EXPECT_TRUE(result.Finished) << script.str();
  EXPECT_EQ(result.FramesRun, endFrame);
  EXPECT_FALSE(runner.Platform().SecondWindowOpen());

  EXPECT_FALSE(ParseReplayScript("").GoodbyeOff);
  EXPECT_THROW(ParseReplayScript("goodbye on\n"), EReplayScriptError);
}

// A replay watched in the window ends where the watcher leaves it.
TEST(RecordReplay, AReplayStopsWhenAskedAndShowsEachPicture) {
  TReplayRunner runner(ParseReplayScript("frames 50\n"));
  int shown = 0;
  runner.Platform().OnPresent = [&](const std::uint16_t*, int width, int height, int) {
    EXPECT_EQ(width * height, 800 * 600);
    ++shown;
  };
  runner.StopRequested = [&] { return shown == 10; };
  const TReplayResult result = runner.Run();
  EXPECT_EQ(result.FramesRun, 10);
  EXPECT_EQ(shown, 10);
}

// A replay watched in the window is heard: the game's effects and music go to the output it is
// given, here a logging one in place of the sound device.
TEST(RecordReplay, AReplayInTheWindowPlaysOnTheGivenSoundOutput) {
  HeadlessAudioOutput speakers;
  TReplayRunner runner(ParseReplayScript("frames 400\nrace 1 1\n"));
  runner.Platform().UseAudioOutput(speakers);
  ASSERT_TRUE(runner.Run().Started);
  const auto has = [&](AudioCall::Kind kind) {
    return std::any_of(speakers.Calls().begin(), speakers.Calls().end(), [&](const AudioCall& c) {
      return c.Type == kind && (kind != AudioCall::Kind::SetMusicSource || c.Installed);
    });
  };
  EXPECT_TRUE(has(AudioCall::Kind::CreateChunk));
  EXPECT_TRUE(has(AudioCall::Kind::Play));
  EXPECT_TRUE(has(AudioCall::Kind::SetMusicSource));
}

}  // namespace
}  // namespace kestrune
