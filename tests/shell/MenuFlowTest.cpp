// The whole game on the headless back end with the built data, driven by replay scripts through
// the menus, a race and its overlays. Each test records the state after chosen frames.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "app/ReplayRunner.h"
#include "game/GameState.h"
#include "shell/MainForm.h"

namespace kestrune {
namespace {

struct Snapshot {
  int Screen = -1, Overlay = -1, Selected = -1, CarModel = -1;
  bool FadeIn = false;
};

// A part of a frame kept for comparison with a stored image: every step-th pixel of the
// rectangle, as a plain PPM.
struct Crop {
  std::string name;
  int left, top, width, height, step;
};

struct FlowRun {
  std::map<std::int64_t, Snapshot> at;
  std::map<std::string, std::vector<std::uint8_t>> crops;
  std::map<std::string, std::string> summary;
  std::vector<std::string> urls;
  bool finished = false;
};

std::vector<std::uint8_t> ToPpm(const HeadlessPlatform::Frame& f, const Crop& c) {
  const std::string header =
      "P6\n" + std::to_string(c.width / c.step) + " " + std::to_string(c.height / c.step) + "\n255\n";
  std::vector<std::uint8_t> out(header.begin(), header.end());
  for (int y = c.top; y < c.top + c.height / c.step * c.step; y += c.step)
    for (int x = c.left; x < c.left + c.width / c.step * c.step; x += c.step) {
      const std::uint16_t p = f.Pixels[static_cast<std::size_t>(y) * f.Width + x];
      const int r = p >> 11, g = (p >> 5) & 63, b = p & 31;
      out.push_back(static_cast<std::uint8_t>((r << 3) | (r >> 2)));
      out.push_back(static_cast<std::uint8_t>((g << 2) | (g >> 4)));
      out.push_back(static_cast<std::uint8_t>((b << 3) | (b >> 2)));
    }
  return out;
}

// Compares with tests/golden/NAME.ppm; KESTRUNE_UPDATE_GOLDEN=1 writes it instead (look at it
// before committing).
void ExpectGolden(const std::string& name, const std::vector<std::uint8_t>& ppm) {
  const std::string path = std::string(KESTRUNE_TEST_SOURCE_DIR) + "/golden/" + name + ".ppm";
  if (std::getenv("KESTRUNE_UPDATE_GOLDEN") != nullptr) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(ppm.data()), static_cast<std::streamsize>(ppm.size()));
    return;
  }
  std::ifstream in(path, std::ios::binary);
  ASSERT_TRUE(in) << "missing " << path;
  const std::vector<std::uint8_t> stored((std::istreambuf_iterator<char>(in)),
                                         std::istreambuf_iterator<char>());
  EXPECT_TRUE(stored == ppm) << name << " differs from " << path;
}

// Runs the script; before frame n of `edits` runs, its function changes the game (a score
// the race cannot earn yet, an overlay the car would open).
// Frames named in `crops` keep that part of the picture.
FlowRun Play(const std::string& script, std::map<std::int64_t, std::function<void(TMForm&)>> edits = {},
             std::map<std::int64_t, Crop> crops = {}) {
  TReplayRunner runner(ParseReplayScript(script));
  FlowRun run;
  runner.AfterFrame = [&](TMForm& form, std::int64_t frame) {
    run.at[frame] = {GameState.Screen, GameState.Overlay, GameState.Selected, GameState.CarModel,
                     GameState.MenuIntroRunning};
    if (auto crop = crops.find(frame); crop != crops.end() && runner.Platform().LastFrame())
      run.crops[crop->second.name] = ToPpm(*runner.Platform().LastFrame(), crop->second);
    if (auto it = edits.find(frame + 1); it != edits.end()) it->second(form);
  };
  const TReplayResult result = runner.Run();
  EXPECT_TRUE(result.Started);
  run.summary = {result.Summary.begin(), result.Summary.end()};
  run.urls = runner.Platform().OpenedUrls();
  run.finished = result.Finished;
  return run;
}

// Intro, main menu, car choice, a race with its pause and exit confirmation, the name entry and
// the high-score table with the new row. 60 Hz: 16 ms a frame after the first second.
TEST(MenuFlow, FromTheIntroThroughARaceToTheHighScoreTable) {
  const FlowRun run = Play(
      "frames 400\n"
      "@10 press Esc\n"     // intro: Continue; the menu fades in over frames 11..56
      "@30 press Enter\n"   // ignored during the fade-in
      "@31 press Down\n"    // so is this
      "@60 press Enter\n"   // New game: car choice with Start selected
      "@70 press Up\n"      // Start -> left arrow
      "@80 press Left\n"    // previous car: 1 -> 6, fading for 13 frames
      "@81 press Down\n"    // left arrow -> Start
      "@82 press Enter\n"   // Start during the fade: nothing
      "@100 press Enter\n"  // Start: the race with its level announcement (126 frames)
      "@240 press P\n"      // pause
      "@245 press P\n"      // resume
      "@250 press P\n"      // pause again
      "@255 press Esc\n"    // Esc resumes too
      "@260 press Esc\n"    // exit to menu? (No selected)
      "@265 press Esc\n"    // Esc does not answer it
      "@267 close\n"        // nor does a second close command
      "@270 press Left\n"   // Yes
      "@275 press Left\n"   // stays on Yes
      "@280 press Right\n"  // No
      "@285 press N\n"      // No: the race goes on
      "@290 press Esc\n"    // asked again
      "@300 press Y\n"      // Yes with a qualifying score: name entry
      "@310 text Ann\n"
      "@330 press Enter\n",  // the name goes into the table, the table is shown
      {{295, [](TMForm&) { GameState.Score = 4200; }}},
      // The lit menu after its fade-in; the car panel in the middle of the cross-fade; the
      // exit confirmation over the race with Yes selected.
      {{59, {"menu_after_fade", 0, 0, 800, 600, 4}},
       {86, {"car_crossfade", 198, 218, 404, 250, 2}},
       {272, {"exit_to_menu_yes", 188, 237, 424, 126, 2}}});

  auto at = [&](std::int64_t frame) { return run.at.at(frame); };
  EXPECT_EQ(at(9).Screen, ScreenIntro);
  EXPECT_EQ(at(10).Screen, ScreenMainMenu);
  EXPECT_TRUE(at(55).FadeIn);
  EXPECT_FALSE(at(56).FadeIn);
  EXPECT_EQ(at(59).Screen, ScreenMainMenu);
  EXPECT_EQ(at(59).Selected, 1);
  EXPECT_EQ(at(60).Screen, ScreenCarChoice);
  EXPECT_EQ(at(60).Selected, 3);
  EXPECT_EQ(at(80).Selected, 1);  // Left on the arrow keeps it selected
  EXPECT_EQ(at(82).Screen, ScreenCarChoice);
  EXPECT_EQ(at(82).CarModel, 1);  // still fading
  EXPECT_EQ(at(99).CarModel, 6);
  EXPECT_EQ(at(100).Screen, ScreenRace);
  EXPECT_EQ(at(100).Overlay, OverlayLevel);
  EXPECT_EQ(at(239).Overlay, OverlayNone);
  EXPECT_EQ(at(240).Overlay, OverlayPause);
  EXPECT_EQ(at(245).Overlay, OverlayNone);
  EXPECT_EQ(at(250).Overlay, OverlayPause);
  EXPECT_EQ(at(255).Overlay, OverlayNone);
  EXPECT_EQ(at(260).Overlay, OverlayExitToMenu);
  EXPECT_EQ(at(260).Selected, 12);
  EXPECT_EQ(at(269).Overlay, OverlayExitToMenu);
  EXPECT_EQ(at(270).Selected, 11);
  EXPECT_EQ(at(275).Selected, 11);
  EXPECT_EQ(at(280).Selected, 12);
  EXPECT_EQ(at(285).Overlay, OverlayNone);
  EXPECT_EQ(at(285).Screen, ScreenRace);
  EXPECT_EQ(at(300).Overlay, OverlayNameEntry);
  EXPECT_EQ(at(329).Overlay, OverlayNameEntry);
  EXPECT_EQ(at(330).Screen, ScreenHighScores);
  EXPECT_EQ(at(330).Overlay, OverlayNone);

  EXPECT_EQ(run.summary.at("SelectedItem"), "\"Back\"");
  for (const auto& [name, ppm] : run.crops) ExpectGolden(name, ppm);
  EXPECT_EQ(run.crops.size(), 3u);
  EXPECT_EQ(GameState.PlayerName, "Ann");
  EXPECT_EQ(GameState.HighScores[2].Score, 4500);
  EXPECT_EQ(GameState.HighScores[3].Name, "Ann");
  EXPECT_EQ(GameState.HighScores[3].Score, 4200);
  EXPECT_EQ(GameState.HighScores[4].Score, 4000);
  EXPECT_EQ(GameState.HighScores[10].Score, 1000);
}

// Leaving the race without a qualifying score goes back to the main menu; there Esc asks to
// leave the game, Yes shows the goodbye window in place of the game, and the close command
// during the question changes nothing. The goodbye window's Close ends the game.
TEST(MenuFlow, LeavingTheRaceAndTheGame) {
  const FlowRun run = Play(
      "frames 200\n"
      "race 2 4\n"
      "@10 press Esc\n"   // the level announcement is open: Esc opens nothing
      "@140 press Esc\n"  // exit to menu?
      "@150 press Y\n"    // score 0: straight to the main menu
      "@160 press Esc\n"  // exit the game?
      "@170 close\n"
      "@180 press Y\n"
      "@190 goodbye click 150 260\n");
  EXPECT_EQ(run.at.at(10).Overlay, OverlayLevel);
  EXPECT_EQ(run.at.at(140).Overlay, OverlayExitToMenu);
  EXPECT_EQ(run.at.at(150).Screen, ScreenMainMenu);
  EXPECT_EQ(run.at.at(150).Selected, 1);
  EXPECT_EQ(run.at.at(160).Overlay, OverlayExitGame);
  EXPECT_EQ(run.at.at(170).Overlay, OverlayExitGame);
  EXPECT_EQ(run.at.at(180).Overlay, OverlayNone);
  EXPECT_TRUE(run.finished);
  EXPECT_EQ(run.at.rbegin()->first, 190);
}

// A key that goes down and up between two frames (a tap shorter than a frame: on-screen
// keyboards, key remappers, automation) counts as one press, in the menus and in the race.
TEST(MenuFlow, TapsShorterThanAFrameCountAsPresses) {
  // Instant taps in the main menu once it has faded in move the selection as frame-long presses do.
  const auto menuScript = [](bool instant) {
    std::string script = "frames 90\n@10 press Esc\n";
    for (const auto& [frame, key] : std::vector<std::pair<int, std::string>>{
             {70, "Down"}, {72, "Down"}, {74, "Down"}, {80, "Up"}, {82, "Up"}}) {
      const std::string at = "@" + std::to_string(frame);
      script += instant ? at + " keydown " + key + "\n" + at + " keyup " + key + "\n" : at + " press " + key + "\n";
    }
    return script;
  };
  const FlowRun tapped = Play(menuScript(true)), pressed = Play(menuScript(false));
  for (int frame = 69; frame <= 84; ++frame) EXPECT_EQ(tapped.at.at(frame).Selected, pressed.at.at(frame).Selected) << frame;
  EXPECT_NE(tapped.at.at(75).Selected, tapped.at.at(69).Selected);

  // In the race an instant tap of P pauses, and one more resumes.
  const FlowRun race = Play("frames 200\nrace 2 4\n@150 keydown P\n@150 keyup P\n@170 keydown P\n@170 keyup P\n");
  EXPECT_EQ(race.at.at(150).Overlay, OverlayPause);
  EXPECT_EQ(race.at.at(170).Overlay, OverlayNone);
}

// The second click of a double-click is dropped when its first click closed the screen or opened
// an overlay: double-clicking Back stays on the main menu, double-clicking Exit leaves the
// confirmation open. A second click on a screen that stays (Next on the help) still counts, and
// single clicks act as always.
TEST(MenuFlow, SecondClickOfADoubleClickGoesNowhereOnceItsScreenHasClosed) {
  const FlowRun run = Play(
      "frames 130\n"
      "@10 press Esc\n"           // intro: the menu fades in over frames 11..56
      "@60 click 80 360\n"        // Options
      "@70 click 370 525\n"       // Back ...
      "@73 click 370 525 2\n"     // ... double-clicked
      "@80 click 300 515\n"       // Exit ...
      "@83 click 300 515 2\n"     // ... double-clicked: the question stays
      "@90 click 420 310\n"       // No
      "@105 click 80 360\n"       // Options again by a single click
      "@115 click 370 525\n");    // and Back by a single click
  EXPECT_EQ(run.at.at(60).Screen, ScreenOptions);
  EXPECT_EQ(run.at.at(70).Screen, ScreenMainMenu);
  EXPECT_EQ(run.at.at(73).Screen, ScreenMainMenu);
  EXPECT_EQ(run.at.at(73).Overlay, OverlayNone);
  EXPECT_EQ(run.at.at(80).Overlay, OverlayExitGame);
  EXPECT_EQ(run.at.at(83).Overlay, OverlayExitGame);
  EXPECT_EQ(run.at.at(90).Overlay, OverlayNone);
  EXPECT_EQ(run.at.at(105).Screen, ScreenOptions);
  EXPECT_EQ(run.at.at(115).Screen, ScreenMainMenu);
  EXPECT_EQ(run.at.at(115).Selected, 4);
  EXPECT_FALSE(run.finished);
}

// The goodbye window closes by key as by its Close button: Esc and Enter do; other keys do not.
TEST(MenuFlow, GoodbyeWindowClosesWithEscOrEnter) {
  for (const char* key : {"Esc", "Enter"}) {
    const FlowRun run = Play(
        "frames 120\n"
        "@10 press Esc\n"  // intro: the menu fades in
        "@60 press Esc\n"  // exit the game?
        "@70 press Y\n"    // the goodbye window
        "@80 goodbye press P\n"
        "@85 goodbye press Space\n" +
        std::string("@90 goodbye press ") + key + "\n");
    EXPECT_EQ(run.at.at(70).Overlay, OverlayNone) << key;
    EXPECT_TRUE(run.finished) << key;
    EXPECT_EQ(run.at.rbegin()->first, 90) << key << ": the window stays open until the key";
  }
}

// The timed race overlays at 85 Hz (11 ms a frame once the rate is measured).
TEST(MenuFlow, TimeOverRestartsTheLevelAndGameOverEndsTheRace) {
  // Time over from frame 200: 3000 ms last 273 frames (the last one ends it), then the level is
  // announced again.
  const FlowRun timeOver =
      Play("refresh 85\nframes 500\nrace 3 1\n", {{200, [](TMForm& f) { f.OpenOverlay(OverlayTimeOver); }}});
  EXPECT_EQ(timeOver.at.at(200).Overlay, OverlayTimeOver);
  EXPECT_EQ(timeOver.at.at(471).Overlay, OverlayTimeOver);
  EXPECT_EQ(timeOver.at.at(472).Overlay, OverlayLevel);
  EXPECT_EQ(timeOver.summary.at("Level"), "3");

  // Game over without a qualifying score: the main menu after 3000 ms, its song restarted.
  const FlowRun gameOver =
      Play("refresh 85\nframes 500\nrace 1 1\n", {{200, [](TMForm& f) { f.OpenOverlay(OverlayGameOver); }}});
  EXPECT_EQ(gameOver.at.at(471).Overlay, OverlayGameOver);
  EXPECT_EQ(gameOver.at.at(472).Overlay, OverlayNone);
  EXPECT_EQ(gameOver.at.at(472).Screen, ScreenMainMenu);

  // With a qualifying score the name entry follows; Enter with an empty name enters it.
  const FlowRun named =
      Play("refresh 85\nframes 500\nrace 1 1\n@480 press Enter\n", {{200, [](TMForm& f) {
                                                                       GameState.Score = 600;
                                                                       GameState.PlayerName.clear();
                                                                       f.OpenOverlay(OverlayGameOver);
                                                                     }}});
  EXPECT_EQ(named.at.at(472).Overlay, OverlayNameEntry);
  EXPECT_EQ(named.at.at(480).Screen, ScreenHighScores);
  EXPECT_EQ(GameState.HighScores[10].Name, "");
  EXPECT_EQ(GameState.HighScores[10].Score, 600);
}

// The intro screen by mouse: the selection follows the pointer, a click away from every item
// does nothing, each link opens the section of the player's guide its words name, and Continue
// opens the menu, whose "More games" opens the guide too.
TEST(MenuFlow, IntroByMouse) {
  const FlowRun run = Play(
      "frames 100\n"
      "@5 mouse 400 330\n"  // "The player's guide"
      "@6 click 400 330\n"
      "@7 click 330 418\n"     // "Keys and game pads"
      "@8 click 330 440\n"     // "How this game was made"
      "@9 click 390 278\n"     // the licence button
      "@10 click 20 20\n"      // nothing there
      "@15 press Up\n"         // nothing selected: Up selects item 2
      "@20 click 300 530\n"    // Continue; the menu fades in
      "@90 click 400 289\n");  // More games
  EXPECT_EQ(run.at.at(5).Selected, 3);
  EXPECT_EQ(run.at.at(10).Selected, 0);
  EXPECT_EQ(run.at.at(10).Screen, ScreenIntro);
  EXPECT_EQ(run.at.at(15).Selected, 2);
  EXPECT_EQ(run.at.at(20).Screen, ScreenMainMenu);
  const std::string guide = "file://" + std::filesystem::absolute("Docs/guide.html").string();
  EXPECT_EQ(run.urls, (std::vector<std::string>{guide + "#playing", guide + "#controls", guide + "#about",
                                                guide + "#licence", guide + "#more-games"}));
}

}  // namespace
}  // namespace kestrune
