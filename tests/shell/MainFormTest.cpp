#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "framework/Canvas.h"
#include "framework/Errors.h"
#include "game/GameState.h"
#include "platform/headless/HeadlessPlatform.h"
#include "shell/Game.h"
#include "shell/MainForm.h"

namespace kestrune {
namespace {

constexpr int kVkReturn = 0x0D, kVkUp = 0x26, kVkShift = 0x10, kVkControl = 0x11;

PlatformEvent Key(PlatformEvent::Kind kind, int vk, bool alt = false) {
  PlatformEvent e;
  e.Type = kind;
  e.VirtualKey = vk;
  e.Alt = alt;
  return e;
}

PlatformEvent Simple(PlatformEvent::Kind kind) {
  PlatformEvent e;
  e.Type = kind;
  return e;
}

struct Session {
  HeadlessPlatform platform;
  TGameSession game{platform, 1234};
  Session() {
    // These tests drive the bare window: start-up's intro screen is left out.
    game.BeforeFormCreate = [](TMForm& form) { form.Handlers.OpenIntroScreen = nullptr; };
    EXPECT_TRUE(game.Start());
  }
  TMForm& Form() { return *game.Form(); }
  void Frames(int n) {
    for (int i = 0; i < n; ++i) game.Step();
  }
};

TEST(MainForm, RunsAFrameLoopThatPresentsEveryFrame) {
  Session s;
  EXPECT_EQ(s.platform.Title(), "Kestrune");
  EXPECT_EQ(GameState.FrameTimeMs, 15);
  EXPECT_EQ(GameState.SpeedScale, 1.0);
  s.Frames(150);
  EXPECT_EQ(s.platform.PresentCount(), 150u);
  // Two and a half seconds at 60 Hz: the timer has measured the rate, the timing follows it.
  EXPECT_EQ(GameState.RefreshRate, 60);
  EXPECT_EQ(GameState.FrameRate, 60);
  EXPECT_EQ(GameState.FrameTimeMs, 16);
  EXPECT_DOUBLE_EQ(GameState.SpeedScale, 85.0 / 60);

  const auto path = std::filesystem::temp_directory_path() / ("kestrune_mainform_frame_" + std::to_string(::getpid()) + ".png");
  ASSERT_TRUE(s.platform.WriteLastFramePng(path.string()));
  std::ifstream png(path, std::ios::binary);
  char magic[8] = {};
  png.read(magic, 8);
  EXPECT_EQ(std::string(magic + 1, 3), "PNG");
  std::filesystem::remove(path);
}

TEST(MainForm, KeyEdgeLastsOneFrameWhileTheKeyIsHeld) {
  Session s;
  s.platform.SetKey(kVkUp, true);
  s.Frames(1);
  EXPECT_TRUE(GameState.KeyEdges.Up);
  s.Frames(1);
  EXPECT_FALSE(GameState.KeyEdges.Up);
  s.platform.SetKey(kVkUp, false);
  s.Frames(1);
  s.platform.SetKey(kVkUp, true);
  s.platform.SetKey('P', true);
  s.Frames(1);
  EXPECT_TRUE(GameState.KeyEdges.Up);
  EXPECT_TRUE(GameState.KeyEdges.P);
  EXPECT_FALSE(GameState.KeyEdges.Esc);
}

TEST(MainForm, DispatchRunsTheOverlayInsteadOfTheScreen) {
  Session s;
  int screenFrames = 0, overlayFrames = 0, selectionChanges = 0;
  s.Form().Handlers.ScreenFrame[ScreenMainMenu] = [&](std::uint32_t) {
    ++screenFrames;
    ++GameState.Selected;
  };
  s.Form().Handlers.RunOverlay = [&](std::uint32_t) { ++overlayFrames; };
  s.Form().Handlers.SelectionChanged = [&] { ++selectionChanges; };
  GameState.Screen = ScreenMainMenu;
  s.Frames(3);
  s.Form().OpenOverlay(OverlayExitGame);
  s.Frames(2);
  EXPECT_EQ(screenFrames, 3);
  EXPECT_EQ(overlayFrames, 2);
  EXPECT_EQ(selectionChanges, 3);
}

TEST(MainForm, CloseCommandOpensTheMatchingConfirmationAndIsRefused) {
  for (auto [screen, overlay] :
       {std::pair{ScreenMainMenu, OverlayExitGame}, std::pair{ScreenRace, OverlayExitToMenu}}) {
    Session s;
    s.Form().Handlers.RunOverlay = [](std::uint32_t) {};
    GameState.Screen = screen;
    GameState.Selected = 3;
    s.platform.PushEvent(Simple(PlatformEvent::Kind::Close));
    s.Frames(1);
    EXPECT_EQ(GameState.Overlay, overlay);
    EXPECT_FALSE(s.game.Finished());
    // A second close while the overlay is open changes nothing.
    GameState.Selected = 12;
    s.platform.PushEvent(Simple(PlatformEvent::Kind::Close));
    s.Frames(1);
    EXPECT_EQ(GameState.Overlay, overlay);
    EXPECT_EQ(GameState.SavedSelection.Selected, 3);
    s.Form().CloseOverlay();
    EXPECT_EQ(GameState.Selected, 3);
  }
}

TEST(MainForm, AltEnterSwitchesDisplayModeAndPausesOnlyTheRace) {
  Session s;
  s.Form().Handlers.RunOverlay = [](std::uint32_t) {};
  GameState.Screen = ScreenMainMenu;
  s.platform.PushEvent(Key(PlatformEvent::Kind::KeyDown, kVkReturn, true));
  s.Frames(1);
  EXPECT_EQ(GameState.FullScreen, 1);
  EXPECT_TRUE(s.platform.IsFullScreen());
  EXPECT_EQ(GameState.Overlay, OverlayNone);

  GameState.Screen = ScreenRace;
  s.platform.PushEvent(Key(PlatformEvent::Kind::KeyDown, kVkReturn, true));
  s.Frames(1);
  EXPECT_EQ(GameState.FullScreen, 0);
  EXPECT_FALSE(s.platform.IsFullScreen());
  EXPECT_EQ(GameState.Overlay, OverlayPause);
  // Frames go on after each switch.
  EXPECT_EQ(s.platform.PresentCount(), 2u);

  // Enter without Alt does not switch.
  s.platform.PushEvent(Key(PlatformEvent::Kind::KeyDown, kVkReturn));
  s.Frames(1);
  EXPECT_EQ(GameState.FullScreen, 0);
}

TEST(MainForm, AFailedFullScreenSwitchKeepsTheWindowAndSaysWhy) {
  HeadlessPlatform platform;
  platform.SetFullScreenFails(true);
  TGameSession game(platform, 1234);
  game.BeforeFormCreate = [](TMForm& form) {
    form.Handlers.OpenIntroScreen = nullptr;
    form.Handlers.ReadSaveFiles = [] { GameState.FullScreen = 1; };  // saved as full screen
  };
  auto expectOneLineWhy = [](const std::string& err) {
    EXPECT_NE(err.find("Display mode cannot be changed (800x600 16bit)"), std::string::npos) << err;
    EXPECT_NE(err.find("the display has no full-screen mode"), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
  };

  // At start-up: the game starts in the window.
  ::testing::internal::CaptureStderr();
  ASSERT_TRUE(game.Start());
  expectOneLineWhy(::testing::internal::GetCapturedStderr());
  EXPECT_EQ(GameState.FullScreen, 0);
  EXPECT_FALSE(platform.IsFullScreen());
  for (int i = 0; i < 3; ++i) game.Step();
  EXPECT_EQ(platform.PresentCount(), 3u);

  // Alt+Enter: the game stays in the window and goes on.
  platform.PushEvent(Key(PlatformEvent::Kind::KeyDown, kVkReturn, true));
  ::testing::internal::CaptureStderr();
  game.Step();
  expectOneLineWhy(::testing::internal::GetCapturedStderr());
  EXPECT_EQ(GameState.FullScreen, 0);
  EXPECT_FALSE(game.Finished());
  game.Step();
  EXPECT_EQ(platform.PresentCount(), 5u);
}

TEST(MainForm, FullScreenRoundTripPutsTheWindowBack) {
  Session s;
  WindowPlacement moved{40, 30, 800, 600, false};
  s.platform.SetWindowPlacement(moved);
  GameState.FullScreen = 1;
  s.Form().ApplyDisplayMode();
  s.platform.SetWindowPlacement({0, 0, 1024, 768, false});  // what full screen did to it
  GameState.FullScreen = 0;
  s.Form().ApplyDisplayMode();
  WindowPlacement now;
  ASSERT_TRUE(s.platform.GetWindowPlacement(now));
  EXPECT_EQ(now, moved);
  EXPECT_FALSE(s.Form().HasSavedPlacement());
}

TEST(MainForm, ShiftAndCtrlHeldFollowKeyEvents) {
  Session s;
  s.platform.PushEvent(Key(PlatformEvent::Kind::KeyDown, kVkShift));
  s.platform.PushEvent(Key(PlatformEvent::Kind::KeyDown, kVkControl));
  s.Frames(1);
  EXPECT_TRUE(GameState.ShiftHeld);
  EXPECT_TRUE(GameState.CtrlHeld);
  s.platform.PushEvent(Key(PlatformEvent::Kind::KeyUp, kVkShift));
  s.Frames(1);
  EXPECT_FALSE(GameState.ShiftHeld);
  EXPECT_TRUE(GameState.CtrlHeld);
}

TEST(MainForm, TimerStopsWhileTheWindowIsInTheBackground) {
  Session s;
  s.Frames(5);
  s.platform.SetForeground(false);
  s.Frames(10);
  EXPECT_EQ(s.platform.PresentCount(), 5u);
  s.platform.SetForeground(true);
  s.Frames(1);
  EXPECT_EQ(s.platform.PresentCount(), 6u);
}

TEST(MainForm, StyledTextLandsWhereItWasPlaced) {
  Session s;
  int width = 0, height = 0;
  s.Form().Handlers.ScreenFrame[ScreenHelp] = [&](std::uint32_t) {
    s.Form().SetTextStyle(5);
    width = s.Form().TextWidth("Pause");
    height = s.Form().TextHeight("Pause");
    s.Form().DrawText("Pause", 400, 300, true, true);
  };
  GameState.Screen = ScreenHelp;
  s.Frames(1);
  ASSERT_GT(width, 20);
  ASSERT_GT(height, 20);
  const auto* frame = s.platform.LastFrame();
  ASSERT_NE(frame, nullptr);
  // Every inked pixel lies inside the centred box; style 5's red is present.
  const int left = 400 - width / 2, top = 300 - height / 2;
  int inked = 0, red = 0;
  for (int y = 0; y < frame->Height; ++y) {
    for (int x = 0; x < frame->Width; ++x) {
      const std::uint16_t p = frame->Pixels[static_cast<std::size_t>(y) * frame->Width + x];
      if (p == 0) continue;
      ++inked;
      EXPECT_TRUE(x >= left && x < left + width && y >= top && y < top + height) << x << "," << y;
      if (p == RGB565(244, 9, 9)) ++red;
      if (inked > 5000) break;
    }
  }
  EXPECT_GT(inked, 100);
  EXPECT_GT(red, 20);
  EXPECT_EQ(s.Form().StyledTextWidth("Pause", 15) > width, true) << "78 points is wider than 36";
}

TEST(MainForm, FailedStartUpShowsItsMessageAndFails) {
  HeadlessPlatform platform;
  TGameSession game(platform, 1);
  bool laterStepsRan = false;
  game.BeforeFormCreate = [&](TMForm& form) {
    form.Handlers.LoadArchives = [] { throw EFOpenError("Cannot open file \"Data/Res/Res1.dxg\""); };
    form.Handlers.OpenIntroScreen = [&] { laterStepsRan = true; };
  };
  EXPECT_FALSE(game.Start());
  EXPECT_TRUE(game.Finished());
  EXPECT_NE(game.ExitCode(), 0);
  EXPECT_FALSE(laterStepsRan);
  ASSERT_EQ(platform.MessageBoxes().size(), 1u);
  EXPECT_EQ(platform.MessageBoxes()[0].Text, "Cannot open file \"Data/Res/Res1.dxg\"");
}

TEST(MainForm, NoDisplayEndsWithAnError) {
  HeadlessPlatform platform;
  platform.SetNoDisplay(true);
  EXPECT_NE(RunGame(platform, 1), 0);
  EXPECT_TRUE(platform.MessageBoxes().empty());
}

TEST(MainForm, MouseCursorDisplayCount) {
  Session s;
  s.Form().HideMouseCursor();
  EXPECT_EQ(s.Form().CursorCount(), -1);
  EXPECT_FALSE(s.platform.CursorVisible());
  s.Form().ShowMouseCursor();
  EXPECT_EQ(s.Form().CursorCount(), 1);
  EXPECT_TRUE(s.platform.CursorVisible());
  s.Form().OpenWebPage("http://example.org/");
  EXPECT_EQ(s.platform.OpenedUrls().back(), "http://example.org/");
}

}  // namespace
}  // namespace kestrune
