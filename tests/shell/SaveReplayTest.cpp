// A whole sitting on the headless back end: a race to a score good enough for the table, the
// name entry, leaving through the confirmation and the goodbye window, and the saved files a
// next start reads.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "app/ReplayRunner.h"
#include "fixtures/Files.h"
#include "game/GameState.h"
#include "race/Race.h"
#include "race/vehicles/Player.h"
#include "shell/HighScoreTable.h"
#include "shell/MainForm.h"
#include "shell/SavedFiles.h"

namespace kestrune {
namespace {

namespace fs = std::filesystem;

TEST(SaveReplay, ANewHighScoreReachesTheFileThroughTheGoodbyeWindow) {
  TReplayRunner runner(
      ParseReplayScript("frames 400\n"
                        "race 2 4\n"
                        "@140 press Esc\n"  // exit to menu?
                        "@150 press Y\n"    // the score qualifies: the name entry
                        "@170 text Zoe 2\n"
                        "@180 press Enter\n"               // into the table: the high-score screen
                        "@200 press Esc\n"                 // main menu
                        "@220 press Esc\n"                 // exit the game?
                        "@230 press Y\n"                   // the goodbye window
                        "@240 goodbye click 80 214\n"      // "Do not show this window again"
                        "@250 goodbye click 150 260\n"));  // Close
  const fs::path save = runner.Platform().SaveFolder();
  std::map<std::int64_t, int> overlays, screens;
  runner.AfterFrame = [&](TMForm&, std::int64_t frame) {
    // Points the race hands out while it runs.
    if (frame == 100 && RacePlayer != nullptr) RacePlayer->AddScore(4200);
    overlays[frame] = GameState.Overlay;
    screens[frame] = GameState.Screen;
  };
  const TReplayResult result = runner.Run();
  ASSERT_TRUE(result.Started);
  EXPECT_EQ(overlays[160], OverlayNameEntry);
  EXPECT_EQ(screens[190], ScreenHighScores);
  EXPECT_EQ(overlays[225], OverlayExitGame);
  EXPECT_TRUE(result.Finished);
  EXPECT_EQ(result.FramesRun, 250);

  std::string expected;
  for (int score = 5000; score >= 4500; score -= 500)
    expected += "ANONYMOUS\r\n" + std::to_string(score) + "\r\n";
  expected += "Zoe 2\r\n4200\r\n";
  for (int score = 4000; score >= 1000; score -= 500)
    expected += "ANONYMOUS\r\n" + std::to_string(score) + "\r\n";
  EXPECT_EQ(ReadAll(save / "hs"), expected);
  EXPECT_EQ(ReadAll(save / "form"), std::string(1, '\x01'));

  // The next start reads the same table back: the check string vouches for it.
  SetSaveFolder(save.string());
  GameState = TGameState{};
  ReadSaveFiles();
  EXPECT_EQ(GameState.HighScores[3].Name, "Zoe 2");
  EXPECT_EQ(GameState.HighScores[3].Score, 4200);
  EXPECT_EQ(GameState.StoredCheck, HighScoreCheck());
  SetSaveFolder("Data/Save");
}

}  // namespace
}  // namespace kestrune
