#include <gtest/gtest.h>

#include <filesystem>
#include <utility>
#include <vector>

#include "platform/headless/ReplayRunner.h"
#include "shell/GameState.h"
#include "shell/MainForm.h"

namespace kestrune {
namespace {

TEST(ReplayScript, ParsesCommandsAndActions) {
  const TReplayScript s = ParseReplayScript(
      "# a comment\n"
      "seed 77\nrefresh 85\nframes 10\n"
      "screenshot 3 shot.png\n"
      "@2 press Up\n"
      "@1 keydown Alt+Enter   # switch mode\n"
      "@500ms text Ab c\n"
      "@4 click 10 20\n");
  EXPECT_EQ(s.Seed, 77u);
  EXPECT_EQ(s.RefreshRate, 85);
  EXPECT_EQ(s.Frames, 10);
  ASSERT_EQ(s.Screenshots.size(), 1u);
  EXPECT_EQ(s.Screenshots[0].Frame, 3);
  ASSERT_EQ(s.Steps.size(), 9u);
  // Frame steps first, in frame order.
  EXPECT_EQ(s.Steps[0].AtFrame, 1);
  EXPECT_TRUE(s.Steps[0].Action.Alt);
  EXPECT_EQ(s.Steps[0].Action.Key, 0x0D);
  EXPECT_EQ(s.Steps[2].Action.Type, TReplayAction::Kind::KeyUp);  // the release of "press" on frame 3
  EXPECT_EQ(s.Steps[2].AtFrame, 3);
  EXPECT_EQ(s.Steps[4].Action.Type, TReplayAction::Kind::Click);
  // "text" types every character, the space included.
  EXPECT_TRUE(s.Steps[5].ByTime);
  EXPECT_EQ(s.Steps[5].AtMs, 500u);
  std::string typed;
  for (std::size_t i = 5; i < s.Steps.size(); ++i) typed += static_cast<char>(s.Steps[i].Action.Key);
  EXPECT_EQ(typed, "Ab c");
}

TEST(ReplayScript, RejectsBadLinesNamingTheLine) {
  const char* bad[] = {"frames many", "@0 press Up", "@1 press Nope", "@1 mouse 900 10",    "@1 jump",
                       "flip 3",      "@1",          "@1 char 300",   "screenshot 0 a.png", "@5ms press Up",
                       "@1 refresh fast"};
  for (const char* line : bad) {
    try {
      ParseReplayScript(std::string("seed 1\n") + line + "\n");
      ADD_FAILURE() << "accepted: " << line;
    } catch (const EReplayScriptError& e) {
      EXPECT_NE(std::string(e.what()).find("line 2"), std::string::npos) << e.what();
    }
  }
}

// Second clicks, the goodbye window's keys and gamepad keys, as a recording writes them.
TEST(ReplayScript, ParsesSecondClicksGoodbyeKeysAndPadKeys) {
  const TReplayScript s = ParseReplayScript(
      "@1 click 10 20 2\n"
      "@2 goodbye click 5 6 2\n"
      "@3 goodbye press Esc\n"
      "@4 keydown Pad+0x50\n");
  ASSERT_EQ(s.Steps.size(), 7u);
  EXPECT_EQ(s.Steps[1].Action.Type, TReplayAction::Kind::Click);
  EXPECT_EQ(s.Steps[1].Action.Clicks, 2);
  EXPECT_EQ(s.Steps[3].Action.Window, 1);
  EXPECT_EQ(s.Steps[3].Action.Clicks, 2);
  EXPECT_EQ(s.Steps[4].Action.Type, TReplayAction::Kind::KeyDown);
  EXPECT_EQ(s.Steps[4].Action.Window, 1);
  EXPECT_EQ(s.Steps[4].Action.Key, 0x1B);
  EXPECT_EQ(s.Steps[5].Action.Type, TReplayAction::Kind::KeyUp);  // the release, on frame 4
  EXPECT_EQ(s.Steps[5].Action.Window, 1);
  EXPECT_TRUE(s.Steps[6].Action.FromPad);
  EXPECT_EQ(s.Steps[6].Action.Key, 'P');
  EXPECT_FALSE(s.Steps[5].Action.FromPad);
  for (const char* bad : {"@1 click 1 2 0", "@1 mouse 1 2 2", "@1 goodbye press", "@1 goodbye press Nope",
                          "@5ms goodbye press Esc", "@1 goodbye click 1 2 3 4"}) {
    EXPECT_THROW(ParseReplayScript(std::string(bad) + "\n"), EReplayScriptError) << bad;
  }
}

TEST(ReplayRunner, SameScriptGivesTheSameSummaryAndWritesScreenshots) {
  const auto dir = std::filesystem::temp_directory_path() / "kestrune_replay_test";
  std::filesystem::create_directories(dir);
  const std::string shot = (dir / "frame5.png").string();
  auto run = [&] {
    TReplayScript script = ParseReplayScript("frames 150\n@10 press Up\n@20 keydown Alt+Enter\n");
    script.Screenshots.push_back({5, shot});
    TReplayRunner runner(script);
    // A screen that draws text, so the frames are not all black.
    runner.BeforeFormCreate = [](TMForm& form) {
      form.Handlers.OpenIntroScreen = [] { GameState.Screen = ScreenHelp; };
      form.Handlers.ScreenFrame[ScreenHelp] = [&form](std::uint32_t) {
        form.SetTextStyle(18);
        form.DrawText(std::to_string(GameState.FrameTimeMs), 100, 100, false, false);
      };
    };
    return runner.Run();
  };
  const TReplayResult a = run();
  const TReplayResult b = run();
  EXPECT_TRUE(a.Started);
  EXPECT_EQ(a.Presented, 150u);
  EXPECT_EQ(ReplaySummaryJson(a), ReplaySummaryJson(b));
  EXPECT_NE(a.LastFrameHash, 0u);
  ASSERT_EQ(a.Screenshots, std::vector<std::string>{shot});
  EXPECT_GT(std::filesystem::file_size(shot), 100u);
  const std::string json = ReplaySummaryJson(a);
  for (const char* field : {"\"Screen\": 6", "\"Overlay\": 0", "\"FullScreen\": 1", "\"FrameTimeMs\": 16",
                            "\"SpeedScale\": 1.416667", "\"Selected\"", "\"LastFrameHash\"", "\"Level\""}) {
    EXPECT_NE(json.find(field), std::string::npos) << field << " missing from\n" << json;
  }
  std::filesystem::remove_all(dir);
}

TEST(ReplayRunner, CloseCommandAtAGivenTimeOpensTheExitConfirmation) {
  TReplayRunner runner(ParseReplayScript("frames 30\n@250ms close\n"));
  // On the intro screen, outside a race.
  const TReplayResult r = runner.Run();
  EXPECT_EQ(GameState.Overlay, OverlayExitGame);
  EXPECT_FALSE(r.Finished);
  EXPECT_EQ(r.FramesRun, 30);
}

TEST(ReplayRunner, ARefreshRateChangeMidRunRetimesTheGame) {
  // From 60 Hz to 144 Hz (the window moved to a faster monitor) and back down to 50 Hz.
  TReplayRunner runner(ParseReplayScript("frames 600\n@200 refresh 144\n@450 refresh 50\n"));
  std::vector<std::pair<int, double>> timing;  // refresh rate and speed scale after each frame
  runner.AfterFrame = [&](TMForm&, std::int64_t) {
    timing.emplace_back(GameState.RefreshRate, GameState.SpeedScale);
  };
  const TReplayResult r = runner.Run();
  ASSERT_EQ(r.FramesRun, 600);
  struct Span {
    int from, to, rate;
  };
  for (const Span& span : {Span{2, 199, 60}, Span{200, 449, 144}, Span{450, 600, 50}}) {
    for (int frame = span.from; frame <= span.to; ++frame) {
      const auto [rate, scale] = timing[static_cast<std::size_t>(frame - 1)];
      ASSERT_EQ(rate, span.rate) << "frame " << frame;
      // Right after the change as well: motion follows the new rate at once.
      ASSERT_NEAR(85.0 / scale, span.rate, 2.0) << "frame " << frame;
    }
  }
}

TEST(ReplayRunner, FailedStartUpIsReportedWithItsMessage) {
  TReplayRunner runner(ParseReplayScript("frames 5\n"));
  runner.BeforeFormCreate = [](TMForm& form) {
    form.Handlers.ReadSaveFiles = [] { throw std::runtime_error("Bad \"file\"\n\xE9"); };
  };
  const TReplayResult r = runner.Run();
  EXPECT_FALSE(r.Started);
  EXPECT_EQ(r.FramesRun, 0);
  // Control characters and bytes that are not UTF-8 text reach the player escaped.
  EXPECT_NE(ReplaySummaryJson(r).find(R"("Message": "Bad \"file\"\\x0A\\xE9")"), std::string::npos)
      << ReplaySummaryJson(r);
}

}  // namespace
}  // namespace kestrune
