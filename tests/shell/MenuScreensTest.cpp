// The menu screens and overlays on a started game (headless, built data), driven by calling
// their frame and action operations with chosen key edges.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "game/GameState.h"
#include "game/RaceServices.h"
#include "platform/headless/HeadlessPlatform.h"
#include "race/Race.h"
#include "shell/Game.h"
#include "shell/Input.h"
#include "shell/MainForm.h"
#include "shell/MenuButton.h"
#include "shell/Menus.h"
#include "shell/Screens.h"

namespace kestrune {
namespace {

struct Keys {
  bool up = false, down = false, left = false, right = false, esc = false, y = false, n = false;
};

struct Session {
  HeadlessPlatform platform;
  TGameSession game{platform, 7};
  Session() { EXPECT_TRUE(game.Start()); }
  TMForm& Form() { return *game.Form(); }
  // Leaves the intro screen for the given one, as its menu item would.
  void Open(void (*open)()) {
    CloseCurrentScreen();
    open();
  }
  static void Edges(const Keys& k) {
    GameState.KeyEdges = {};
    GameState.KeyEdges.Up = k.up;
    GameState.KeyEdges.Down = k.down;
    GameState.KeyEdges.Left = k.left;
    GameState.KeyEdges.Right = k.right;
    GameState.KeyEdges.Esc = k.esc;
    GameState.KeyEdges.Y = k.y;
    GameState.KeyEdges.N = k.n;
  }
  void Type(const std::string& text) {
    for (char c : text) Form().FormKeyPress(static_cast<std::uint8_t>(c));
  }
};

void OpenMenuPlain() { OpenMainMenu(false, 1, false); }

TEST(MenuScreens, MainMenuArrowsFollowTheLayout) {
  Session s;
  s.Open(OpenMenuPlain);
  struct Case {
    int from;
    Keys keys;
    int to;
  } cases[] = {
      {3, {.down = true}, 5}, {4, {.up = true}, 3},    {5, {.up = true}, 3},   {6, {.up = true}, 5},
      {6, {.down = true}, 1}, {1, {.up = true}, 6},    {4, {.down = true}, 6}, {1, {.down = true}, 2},
      {5, {.left = true}, 4}, {4, {.right = true}, 5}, {4, {.left = true}, 4}, {2, {.right = true}, 2},
  };
  for (const Case& c : cases) {
    GameState.Selected = c.from;
    Session::Edges(c.keys);
    MainMenuFrame();
    EXPECT_EQ(GameState.Selected, c.to) << "from " << c.from;
  }
  EXPECT_EQ(GameState.Overlay, OverlayNone);
  Session::Edges({.esc = true});
  MainMenuFrame();
  EXPECT_EQ(GameState.Overlay, OverlayExitGame);
}

TEST(MenuScreens, MainMenuFadeInIgnoresInputAndEndsLit) {
  Session s;
  CloseCurrentScreen();
  OpenMainMenu(true, 1, false);
  for (int frame = 1; frame <= 45; ++frame) {
    Session::Edges({.down = true, .esc = true});
    MainMenuFrame();
    SelectAndActivate(1);
  }
  EXPECT_TRUE(GameState.MenuIntroRunning);
  EXPECT_EQ(GameState.Screen, ScreenMainMenu);
  EXPECT_EQ(GameState.Overlay, OverlayNone);
  EXPECT_EQ(GameState.Selected, 1);
  Session::Edges({});
  MainMenuFrame();
  EXPECT_FALSE(GameState.MenuIntroRunning);
  for (int n = 1; n <= 6; ++n) {
    EXPECT_EQ(MenuItem(n)->NormalPicture, "MM_" + std::to_string(n) + "_I");
    EXPECT_FALSE(MenuItem(n)->AlphaDraw);
  }
  MainMenuFrame();
  EXPECT_EQ(MenuItem(1)->Picture->Name(), "MM_1_A");
  EXPECT_EQ(MenuItem(2)->Picture->Name(), "MM_2_I");
}

TEST(MenuScreens, CarChoiceChangesCarsOnlyWhenNoFadeRuns) {
  Session s;
  GameState.CarModel = 1;
  s.Open(OpenCarChoice);
  EXPECT_EQ(GameState.Selected, 3);
  // Left on the left arrow changes the car and keeps the arrow selected.
  GameState.Selected = 1;
  Session::Edges({.left = true});
  CarChoiceFrame();
  EXPECT_EQ(GameState.Selected, 1);
  EXPECT_EQ(GameState.CarFadePhase, 1);
  EXPECT_EQ(GameState.NextCarModel, 6);
  // Start while the old car fades out does nothing.
  SelectAndActivate(3);
  EXPECT_EQ(GameState.Screen, ScreenCarChoice);
  Session::Edges({});
  int frames = 1;
  while (GameState.CarFadePhase == 1 && frames < 100) {
    CarChoiceFrame();
    ++frames;
  }
  EXPECT_EQ(frames, 13);  // 255 down to 0 in steps of 20
  EXPECT_EQ(GameState.CarModel, 6);

  // Nine Right activations five frames apart, the first right after the last fade ended: each
  // fade takes its 13 frames, and the two activations during it are ignored.
  for (int i = 0; i < 9; ++i) {
    SelectAndActivate(2);
    for (int frame = 0; frame < 5; ++frame) CarChoiceFrame();
  }
  for (int i = 0; i < 30; ++i) CarChoiceFrame();
  EXPECT_EQ(GameState.CarModel, 3);  // three fades: 6 -> 1 -> 2 -> 3

  // Up and Down pair the arrows with Start and Back.
  struct Case {
    int from;
    Keys keys;
    int to;
  } cases[] = {{3, {.up = true}, 1},    {4, {.up = true}, 2},    {1, {.down = true}, 3},
               {2, {.down = true}, 4},  {2, {.left = true}, 1},  {4, {.left = true}, 3},
               {1, {.right = true}, 2}, {3, {.right = true}, 4}, {3, {.esc = true}, 3}};
  for (const Case& c : cases) {
    GameState.Selected = c.from;
    Session::Edges(c.keys);
    CarChoiceFrame();
    EXPECT_EQ(GameState.Selected, c.to) << "from " << c.from;
  }
  EXPECT_EQ(GameState.CarFadePhase, 0);
}

TEST(MenuScreens, OptionsToggleAndTheCountryField) {
  Session s;
  s.Open(OpenOptions);
  GameState.MusicOn = 1;
  s.Form().PlayScreenMusic();
  ASSERT_NE(GameState.MusicHandle, 0);
  SelectAndActivate(2);
  EXPECT_EQ(GameState.MusicOn, 0);
  EXPECT_EQ(GameState.MusicHandle, 0);
  SelectAndActivate(2);
  EXPECT_NE(GameState.MusicHandle, 0);
  SelectAndActivate(3);
  EXPECT_EQ(GameState.SoundOn, 0);
  SelectAndActivate(1);
  EXPECT_EQ(GameState.FullScreen, 1);
  EXPECT_TRUE(s.platform.IsFullScreen());
  Session::Edges({});
  OptionsFrame(16);
  EXPECT_EQ(GameState.FullScreenPicture->Picture->Name(), "OptFullScreen");

  // Enter on the country row starts editing; typed text keeps letters, digits and spaces only,
  // up to 16 characters.
  GameState.Country = "";
  GameState.Selected = 4;
  s.Type("\r");
  ASSERT_TRUE(GameState.CountryEditing);
  s.Type("Ab-1 !c");
  EXPECT_EQ(GameState.Country, "Ab1 c");
  s.Type(std::string(20, 'i'));
  EXPECT_EQ(GameState.Country.size(), 16u);
  s.Type("\b\b");
  EXPECT_EQ(GameState.Country.size(), 14u);
  // Up and Down stay on the field; Esc ends the editing and keeps the screen.
  Session::Edges({.up = true});
  OptionsFrame(16);
  EXPECT_EQ(GameState.Selected, 4);
  Session::Edges({.esc = true});
  OptionsFrame(16);
  EXPECT_FALSE(GameState.CountryEditing);
  EXPECT_EQ(GameState.Screen, ScreenOptions);
  // Moving the selection to another row by the mouse also ends the editing.
  SelectAndActivate(4);
  ASSERT_TRUE(GameState.CountryEditing);
  s.Form().MDXDrawMouseMove(130, 320);
  EXPECT_EQ(GameState.Selected, 2);
  Session::Edges({});
  OptionsFrame(16);
  EXPECT_FALSE(GameState.CountryEditing);
  s.Type("x");
  EXPECT_EQ(GameState.Country.size(), 14u);
  // The second Esc leaves, with Options selected in the main menu.
  Session::Edges({.esc = true});
  OptionsFrame(16);
  EXPECT_EQ(GameState.Screen, ScreenMainMenu);
  EXPECT_EQ(GameState.Selected, 4);
  EXPECT_EQ(GameState.TextCursor, nullptr);
}

TEST(MenuScreens, HelpPagesWrapAroundAndStartAtOne) {
  Session s;
  s.Open(OpenHelp);
  EXPECT_EQ(GameState.HelpPage, 1);
  SelectAndActivate(1);
  EXPECT_EQ(GameState.HelpPage, 5);
  SelectAndActivate(2);
  EXPECT_EQ(GameState.HelpPage, 1);
  // Up on Next turns the page; Down on Previous turns it back.
  GameState.Selected = 2;
  Session::Edges({.up = true});
  HelpFrame(16);
  EXPECT_EQ(GameState.HelpPage, 2);
  EXPECT_TRUE(GameState.HelpIcons[0]->Visible);
  EXPECT_FALSE(GameState.HelpLogo->Visible);
  GameState.Selected = 1;
  Session::Edges({.down = true});
  HelpFrame(16);
  EXPECT_EQ(GameState.HelpPage, 1);
  EXPECT_FALSE(GameState.HelpIcons[0]->Visible);
  Session::Edges({.esc = true});
  HelpFrame(16);
  EXPECT_EQ(GameState.Screen, ScreenMainMenu);
  EXPECT_EQ(GameState.Selected, 5);
  GameState.HelpPage = 4;
  CloseMainMenu();
  OpenHelp();
  EXPECT_EQ(GameState.HelpPage, 1);
}

// The frame in which Esc leaves a screen still shows that screen whole: its sprites were drawn
// before the frame's logic, and its texts follow. The main menu shows from the next frame.
TEST(MenuScreens, FrameOfBackShowsTheScreenWithItsTexts) {
  constexpr int kVkEsc = 0x1B;
  const struct {
    const char* name;
    void (*open)();
  } screens[] = {{"options", OpenOptions}, {"high scores", OpenHighScores}, {"help", OpenHelp}};
  for (const auto& screen : screens) {
    Session s;
    s.platform.SetFramesKept(2);
    s.Open(screen.open);
    for (int i = 0; i < 3; ++i) s.game.Step();
    s.platform.SetKey(kVkEsc, true);
    s.game.Step();
    s.platform.SetKey(kVkEsc, false);
    ASSERT_EQ(GameState.Screen, ScreenMainMenu) << screen.name;
    const auto& frames = s.platform.Frames();
    ASSERT_EQ(frames.size(), 2u);
    // Below the title (which names the screen only while it is open): the values, the table or
    // the page, as in the frame before.
    const std::size_t below = 200 * 800;
    const std::vector<std::uint16_t> before(frames[0].Pixels.begin() + below, frames[0].Pixels.end());
    const std::vector<std::uint16_t> leaving(frames[1].Pixels.begin() + below, frames[1].Pixels.end());
    EXPECT_TRUE(before == leaving) << screen.name << ": texts missing in the frame of Back";
    const std::uint64_t leavingHash = frames[1].Hash();
    s.game.Step();
    EXPECT_NE(s.platform.LastFrame()->Hash(), leavingHash) << screen.name << ": the menu follows";
  }
}

TEST(MenuScreens, ConfirmationAnswersByKeyAndIgnoresEsc) {
  Session s;
  s.Open(OpenHighScores);
  GameState.HighScores[1] = {"ME", 90000};
  SelectAndActivate(1);
  ASSERT_EQ(GameState.Overlay, OverlayClearHighScores);
  EXPECT_EQ(GameState.Selected, 12);
  struct Case {
    int from;
    Keys keys;
    int to;
  } cases[] = {{12, {.left = true}, 11},  {11, {.left = true}, 11}, {11, {.right = true}, 12},
               {12, {.right = true}, 12}, {0, {.left = true}, 11},  {0, {.right = true}, 12},
               {12, {.esc = true}, 12}};
  for (const Case& c : cases) {
    GameState.Selected = c.from;
    Session::Edges(c.keys);
    s.Form().Handlers.RunOverlay(16);
    EXPECT_EQ(GameState.Overlay, OverlayClearHighScores);
    EXPECT_EQ(GameState.Selected, c.to) << "from " << c.from;
  }
  Session::Edges({.n = true});
  s.Form().Handlers.RunOverlay(16);
  EXPECT_EQ(GameState.Overlay, OverlayNone);
  EXPECT_EQ(GameState.Selected, 1);  // back on Clear
  EXPECT_EQ(GameState.HighScores[1].Name, "ME");
  SelectAndActivate(1);
  Session::Edges({.y = true});
  s.Form().Handlers.RunOverlay(16);
  EXPECT_EQ(GameState.Overlay, OverlayNone);
  EXPECT_EQ(GameState.HighScores[1].Name, "ANONYMOUS");
  EXPECT_EQ(GameState.HighScores[1].Score, 5000);
  EXPECT_EQ(MenuItem(11), nullptr);
}

TEST(MenuScreens, ExitGameYesShowsTheGoodbyeWindowWhenThereIsOne) {
  Session s;
  int shown = 0;
  s.Form().Handlers.ShowPromotionWindow = [&] { ++shown; };
  s.Form().OpenOverlay(OverlayExitGame);
  // Over the intro screen the selection follows the pointer: off both buttons nothing is
  // selected and a click does nothing.
  s.Form().MDXDrawMouseMove(10, 10);
  EXPECT_EQ(GameState.Selected, 0);
  s.Form().MDXDrawClick();
  EXPECT_EQ(GameState.Overlay, OverlayExitGame);
  s.Form().MDXDrawMouseMove(500, 320);
  EXPECT_EQ(GameState.Selected, 12);
  // On the exit-game window the selected button lies on top of the other.
  s.Form().Handlers.RunOverlay(16);
  EXPECT_EQ(MenuItem(12)->Z(), 17);
  EXPECT_EQ(MenuItem(11)->Z(), 15);
  SelectAndActivate(11);
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(GameState.Overlay, OverlayNone);
  EXPECT_EQ(GameState.Screen, ScreenNone);
  EXPECT_FALSE(s.Form().Terminated());
}

TEST(MenuScreens, NameEntryTakesTwelveCharactersWithinItsWidth) {
  Session s;
  GameState.Score = 777;
  s.Open(OpenMenuPlain);
  s.Form().OpenOverlay(OverlayNameEntry);
  ASSERT_NE(GameState.TextCursor, nullptr);
  EXPECT_TRUE(GameState.TextCursor->Blinking);
  s.Type("\b");
  EXPECT_EQ(GameState.PlayerName, "");
  s.Type("Jo-e.x y 12345678");
  EXPECT_EQ(GameState.PlayerName, "Joex y 12345");
  s.Type("\b");
  EXPECT_EQ(GameState.PlayerName, "Joex y 1234");
  // Wide letters stop at the width: the name was at most 240 pixels before its last letter.
  GameState.PlayerName.clear();
  s.Type("WWWWWWWWWWWW");
  const std::string wide = GameState.PlayerName;
  ASSERT_LT(wide.size(), 12u);
  EXPECT_LE(s.Form().StyledTextWidth(wide.substr(0, wide.size() - 1), 10), 240);
  EXPECT_GT(s.Form().StyledTextWidth(wide, 10), 240);
  // The cursor stands just right of the centred name.
  s.Form().Handlers.RunOverlay(16);
  EXPECT_EQ(GameState.TextCursor->X, 348 + s.Form().StyledTextWidth(wide, 10) / 2);
  s.Type("\r");
  EXPECT_EQ(GameState.Screen, ScreenHighScores);
  EXPECT_EQ(GameState.HighScores[10].Name, wide);  // between 1000 and 500, which drops out
  EXPECT_EQ(GameState.HighScores[10].Score, 777);
}

// Pause and the exit confirmation silence the car; closing them brings its engine back. The
// level announcement silences it too, and the race's own frame restarts the engine afterwards.
TEST(MenuScreens, PauseStopsTheCarSoundsAndResumesThem) {
  Session s;
  CloseCurrentScreen();
  StartRaceAt(1, 1);
  s.Form().CloseOverlay();                    // the level announcement
  for (int i = 0; i < 3; ++i) s.game.Step();  // the idling engine starts
  std::vector<std::string> stopped, played;
  RaceServices().StopSound = [&](const std::string& name) { stopped.push_back(name); };
  RaceServices().PlaySound = [&](const std::string& name) { played.push_back(name); };
  for (int overlay : {OverlayPause, OverlayExitToMenu}) {
    stopped.clear();
    played.clear();
    s.Form().OpenOverlay(overlay);
    EXPECT_NE(std::find(stopped.begin(), stopped.end(), "Neutral"), stopped.end());
    EXPECT_NE(std::find(stopped.begin(), stopped.end(), "Horn"), stopped.end());
    EXPECT_TRUE(played.empty());
    s.Form().CloseOverlay();
    EXPECT_EQ(played, std::vector<std::string>{"Neutral"}) << overlay;
  }
  played.clear();
  s.Form().OpenOverlay(OverlayLevel);
  s.Form().CloseOverlay();
  EXPECT_TRUE(played.empty());
}

}  // namespace
}  // namespace kestrune
