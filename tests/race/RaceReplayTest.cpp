#include <gtest/gtest.h>

#include <map>
#include <string>

#include "platform/headless/ReplayRunner.h"
#include "platform/headless/ReplayScript.h"

namespace kestrune {
namespace {

std::map<std::string, std::string> Summary(const TReplayResult& result) {
  return {result.Summary.begin(), result.Summary.end()};
}

// The whole game on the headless back end with the built data: the script starts a level 1 race
// and holds Up for two seconds at 85 Hz once the level announcement is over. The announcement
// (2000 ms: 15 ms in the first frame, then 11 ms a frame) ends in frame 182, so race frame k is
// frame 182 + k.
TEST(RaceReplay, HoldingUpForTwoSecondsOnLevelOne) {
  TReplayRunner runner(
      ParseReplayScript("seed 5\n"
                        "refresh 85\n"
                        "frames 382\n"
                        "race 1 1\n"
                        "@202 keydown Up\n"
                        "@372 keyup Up\n"));
  const TReplayResult result = runner.Run();
  ASSERT_TRUE(result.Started);
  auto s = Summary(result);
  EXPECT_EQ(s["Screen"], "7");
  EXPECT_EQ(s["Overlay"], "0");
  EXPECT_EQ(s["Level"], "1");
  EXPECT_EQ(s["Heading"], "0");
  EXPECT_EQ(s["Crashed"], "false");
  EXPECT_EQ(s["HitsLeft"], "3");
  EXPECT_EQ(s["MapColumnOffset"], "318");
  // Up goes down before race frame 20 and up before race frame 190; the car uses the keys copied
  // in the frame before, so it accelerates in race frames 21 to 190: 170 steps up to Speed 48.75,
  // then ten frames of coasting at 0.05 a frame.
  EXPECT_NEAR(std::stod(s["Speed"]), 48.25, 0.01);
  // The window moved up four rows (the first right away).
  EXPECT_EQ(s["MapRowOffset"], "1484");
  EXPECT_EQ(std::stoi(s["TimeLeft"]), 54000 - 200 * 11);
}

TEST(RaceReplay, StartsAtTheGivenLevelAndCar) {
  TReplayRunner runner(ParseReplayScript("race 6 3\nframes 2\n"));
  auto s = Summary(runner.Run());
  EXPECT_EQ(s["Level"], "6");
  EXPECT_EQ(s["Lives"], "3");
  // The level announcement holds the clock.
  EXPECT_EQ(s["Overlay"], "6");
  EXPECT_EQ(s["TimeLeft"], "234000");
  EXPECT_THROW(ParseReplayScript("race 1 7\n"), EReplayScriptError);
  EXPECT_THROW(ParseReplayScript("race 0 1\n"), EReplayScriptError);
}

}  // namespace
}  // namespace kestrune
