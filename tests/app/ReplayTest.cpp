#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <utility>
#include <vector>

#include "app/ReplayRunner.h"
#include "game/GameState.h"
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

// One character types itself, a digit too; a word of two or more digits is a character code.
TEST(ReplayScript, CharTypesOneCharacterAsItselfAndLongerDigitWordsAsCodes) {
  const std::pair<const char*, int> cases[] = {
      {"8", '8'}, {"0", '0'}, {"08", 8}, {"13", 13}, {"056", '8'}, {"a", 'a'}, {"%", '%'}, {"255", 255},
  };
  for (const auto& [word, code] : cases) {
    const TReplayScript s = ParseReplayScript(std::string("@1 char ") + word + "\n");
    ASSERT_EQ(s.Steps.size(), 1u) << word;
    EXPECT_EQ(s.Steps[0].Action.Key, code) << word;
  }
  EXPECT_THROW(ParseReplayScript("@1 char 00\n"), EReplayScriptError);
  EXPECT_THROW(ParseReplayScript("@1 char 256\n"), EReplayScriptError);
}

// A recording cut off before its closing "frames" line still plays to its last action (and one
// second more); a script that says how many frames runs exactly those.
TEST(ReplayScript, WithoutAFramesLineRunsToTheLastActionAndASecondMore) {
  const std::pair<const char*, std::int64_t> cases[] = {
      {"", 60},                                  // nothing to play: the usual 60
      {"@10 press Up\n", 11 + 60},
      {"@500 press Up\n", 501 + 60},             // the key comes up on frame 501
      {"refresh 120\n@3000ms close\n", 360 + 120},
      {"frames 10\n@500 press Up\n", 10},
  };
  for (const auto& [text, frames] : cases) EXPECT_EQ(ParseReplayScript(text).Frames, frames) << text;
}

// Scripts are parsed in time linear in their size, and what they cannot mean is refused.
TEST(ReplayScript, HostileScriptsWithinTheSizeCapParseQuicklyOrFail) {
  // A quarter of a million modifier prefixes on one key.
  std::string prefixes;
  for (int i = 0; i < 250000; ++i) prefixes += "Alt+";
  const TReplayScript s = ParseReplayScript("@1 keydown " + prefixes + "Shift+Up\n");
  ASSERT_EQ(s.Steps.size(), 1u);
  EXPECT_TRUE(s.Steps[0].Action.Alt && s.Steps[0].Action.Shift);
  EXPECT_EQ(s.Steps[0].Action.Key, 0x26);
  // A text line of millions of characters would be as many events of one frame.
  try {
    ParseReplayScript("@1 text " + std::string(16 << 20, 'x') + "\n");
    ADD_FAILURE() << "accepted";
  } catch (const EReplayScriptError& e) {
    EXPECT_NE(std::string(e.what()).find("longer than 4096"), std::string::npos) << e.what();
    EXPECT_LT(std::string(e.what()).size(), 300u);
  }
}

// Messages quote the script's words escaped: no byte of a script reaches the terminal raw.
TEST(ReplayScript, ErrorsQuoteTheScriptEscaped) {
  try {
    ParseReplayScript("@1 press \x1b]0;owned\x07\x9b" "2J\n");
    ADD_FAILURE() << "accepted";
  } catch (const EReplayScriptError& e) {
    const std::string what = e.what();
    EXPECT_EQ(what.find('\x1b'), std::string::npos) << what;
    EXPECT_EQ(what.find('\x07'), std::string::npos) << what;
    EXPECT_NE(what.find("\\x1B]0;owned\\x07"), std::string::npos) << what;
  }
}

// A script may come from anyone: its screenshots go inside the output folder only, never over a
// file that is not a picture, and a replay in the window writes none at all.
TEST(ReplayRunner, ScriptScreenshotsStayInsideTheOutputFolder) {
  for (const char* name : {"/tmp/shot.png", "../shot.png", "a/../../shot.png"}) {
    try {
      ParseReplayScript(std::string("screenshot 1 ") + name + "\n");
      ADD_FAILURE() << "accepted " << name;
    } catch (const EReplayScriptError& e) {
      EXPECT_NE(std::string(e.what()).find("refused"), std::string::npos) << e.what();
    }
  }
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("kestrune_replay_out_" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir / "out");
  fs::create_directories(dir / "elsewhere");
  { std::ofstream(dir / "out" / "notes.png") << "not a picture"; }
  fs::create_directory_symlink(dir / "elsewhere", dir / "out" / "link");
  const char* script =
      "frames 3\nscreenshot 1 notes.png\nscreenshot 1 link/away.png\nscreenshot 2 ok.png\nscreenshot 3 ok.png\n";
  TReplayRunner runner(ParseReplayScript(script));
  runner.OutputFolder = (dir / "out").string();
  const TReplayResult r = runner.Run();
  EXPECT_EQ(r.Screenshots.size(), 2u);  // ok.png, then ok.png again over the earlier picture
  ASSERT_EQ(r.Errors.size(), 2u);
  EXPECT_NE(r.Errors[0].find("is not a PNG"), std::string::npos) << r.Errors[0];
  EXPECT_NE(r.Errors[1].find("is not a folder"), std::string::npos) << r.Errors[1];
  std::ifstream notes(dir / "out" / "notes.png");
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(notes), {}), "not a picture");
  EXPECT_FALSE(fs::exists(dir / "elsewhere" / "away.png"));
  EXPECT_TRUE(fs::is_regular_file(dir / "out" / "ok.png"));

  fs::remove(dir / "out" / "ok.png");
  TReplayRunner watched(ParseReplayScript(script));
  watched.OutputFolder = (dir / "out").string();
  watched.WriteScreenshots = false;
  const TReplayResult w = watched.Run();
  EXPECT_EQ(w.ScreenshotsSkipped, 4);
  EXPECT_TRUE(w.Screenshots.empty() && w.Errors.empty());
  EXPECT_FALSE(fs::exists(dir / "out" / "ok.png"));
  fs::remove_all(dir);
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
  const auto dir = std::filesystem::temp_directory_path() / ("kestrune_replay_test_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::string shot = (dir / "frame5.png").string();
  auto run = [&] {
    TReplayScript script = ParseReplayScript("frames 150\n@10 press Up\n@20 keydown Alt+Enter\n");
    script.Screenshots.push_back({5, "frame5.png"});
    TReplayRunner runner(script);
    runner.OutputFolder = dir.string();
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

// A running game's state (the browser build shows it to its tests) is the summary's state fields
// as they are now, the race's among them.
TEST(ReplayRunner, GameStateJsonShowsTheRunningGamesState) {
  TReplayRunner runner(ParseReplayScript("frames 30\nrace 3 2\n"));
  std::string during;
  runner.AfterFrame = [&during](TMForm&, std::int64_t frame) {
    if (frame == 30) during = GameStateJson();
  };
  const TReplayResult result = runner.Run();
  ASSERT_TRUE(result.Started);
  for (const char* field : {"\"Level\": 3", "\"Screen\"", "\"Speed\"", "\"Score\""})
    EXPECT_NE(during.find(field), std::string::npos) << field << " missing from\n" << during;
  const std::string summary = ReplaySummaryJson(result);
  const auto field = [](const std::string& json, const std::string& name) {
    const auto at = json.find("\"" + name + "\": ");
    return at == std::string::npos ? std::string() : json.substr(at, json.find_first_of(",\n}", at) - at);
  };
  for (const char* name : {"Level", "Screen", "Score", "Speed", "MapRowOffset"})
    EXPECT_EQ(field(during, name), field(summary, name)) << name;
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
