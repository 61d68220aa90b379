#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <string>

#include "platform/headless/ReplayRunner.h"
#include "platform/headless/ReplayScript.h"
#include "race/Race.h"
#include "race/RoadMap.h"
#include "shell/GameState.h"
#include "vehicles/Player.h"

namespace kestrune {
namespace {

std::map<std::string, std::string> Summary(const TReplayResult& result) {
  return {result.Summary.begin(), result.Summary.end()};
}

// The whole game on the headless back end with the built data: start-up goes straight into a
// level 1 race; the script holds Up for two seconds at 85 Hz.
TEST(RaceReplay, HoldingUpForTwoSecondsOnLevelOne) {
  TReplayRunner runner(
      ParseReplayScript("seed 5\n"
                        "refresh 85\n"
                        "frames 200\n"
                        "race 1 1\n"
                        "@20 keydown Up\n"
                        "@190 keyup Up\n"));
  const TReplayResult result = runner.Run();
  ASSERT_TRUE(result.Started);
  auto s = Summary(result);
  EXPECT_EQ(s["Screen"], "7");
  EXPECT_EQ(s["Level"], "1");
  EXPECT_EQ(s["Heading"], "0");
  EXPECT_EQ(s["Crashed"], "false");
  EXPECT_EQ(s["HitsLeft"], "3");
  EXPECT_EQ(s["MapColumnOffset"], "318");
  // Up is seen from frame 21 to 189 (the car reads the keys copied in the frame before): 169
  // steps up to Speed 48.54, then ten frames of coasting at 0.05 a frame.
  EXPECT_NEAR(std::stod(s["Speed"]), 48.04, 0.01);
  // 235.5 pixels of road scrolled by: the window moved up four rows (the first right away).
  EXPECT_EQ(s["MapRowOffset"], "1484");
  EXPECT_LT(std::stoi(s["TimeLeft"]), 54000 - 190 * 11);
}

// A driver for the replay: after every frame it looks 250 pixels up the road from the car,
// steers for the middle of the road there and holds the speed near 110, as a careful player
// would. It stops driving once the level has changed.
struct RoadDriver {
  static constexpr int kLeft = 0x25, kUp = 0x26, kRight = 0x27;

  void Steer(HeadlessPlatform& platform) {
    const TPlayer* car = RacePlayer;
    if (!car || GameState.Level != 1) {
      platform.ReleaseAllKeys();
      return;
    }
    const double carX = MapColumnOffset * 72.0 - RaceRoadX() + car->X + car->Width / 2.0;
    const double carY = MapRowOffset * 72.0 - RaceRoadY() + car->Y + car->Height / 2.0;
    const int row = static_cast<int>(carY - 250) / 72;
    const int column = static_cast<int>(carX) / 72;
    // The run of road cells nearest the car's column in that row.
    int from = column, to = column;
    for (int d = 0; d < 8 && !IsRoadCode(RoadMap.Get(row, from)); ++d)
      from = to = column + (d % 2 ? -(d / 2 + 1) : d / 2 + 1);
    while (IsRoadCode(RoadMap.Get(row, from - 1))) --from;
    while (IsRoadCode(RoadMap.Get(row, to + 1))) ++to;
    const double target = 72.0 * (from + to + 1) / 2;
    const double wanted = std::clamp(std::atan2(target - carX, 250.0) * 128 / std::numbers::pi, -20.0, 20.0);
    platform.SetKey(kRight, car->Heading < wanted - 0.5);
    platform.SetKey(kLeft, car->Heading > wanted + 0.5);
    platform.SetKey(kUp, car->Speed < 110 && !RaceFinishReached());
    // The moment the car stands after crossing the line: what it has scored and the time left.
    if (RaceFinishReached() && car->Speed > 0) {
      scoreAtStop = GameState.Score;
      timeAtStop = GameState.TimeLeft;
    }
    if (RaceFinishReached() && finishFrame < 0) finishFrame = frames;
    ++frames;
  }

  std::int32_t scoreAtStop = -1, timeAtStop = -1;
  std::int64_t frames = 0, finishFrame = -1;
};

TEST(RaceReplay, DrivesLevelOneToItsFinishAndOnToLevelTwo) {
  TReplayRunner runner(ParseReplayScript("seed 3\nrefresh 85\nframes 4200\nrace 1 1\n"));
  RoadDriver driver;
  runner.AfterFrame = [&](TMForm&, std::int64_t) { driver.Steer(runner.Platform()); };
  const TReplayResult result = runner.Run();
  auto s = Summary(result);
  ASSERT_GT(driver.finishFrame, 0) << "progress " << s["Progress"];
  EXPECT_EQ(s["Level"], "2");
  EXPECT_EQ(s["Lives"], "3");
  EXPECT_EQ(s["FinishReached"], "false");
  EXPECT_EQ(s["Progress"], "0.000000");
  // Once the car stood, the time left was paid at 5 points a whole second.
  ASSERT_GT(driver.timeAtStop, 0);
  EXPECT_EQ(std::stoi(s["Score"]), driver.scoreAtStop + 5 * (driver.timeAtStop / 1000));
  // Level 2 has run since the pay-out (ten times the clock's speed) ended.
  const int payoutFrames = driver.timeAtStop / 110 + 1;
  EXPECT_GT(std::stoi(s["TimeLeft"]), 90000 - 11 * (4200 - driver.finishFrame - payoutFrames));
  EXPECT_LT(std::stoi(s["TimeLeft"]), 90000);
  EXPECT_GT(std::stoi(s["PedestriansAlive"]), 100);
  EXPECT_EQ(s["PedestriansLying"], "0");
}

TEST(RaceReplay, StartsAtTheGivenLevelAndCar) {
  TReplayRunner runner(ParseReplayScript("race 6 3\nframes 2\n"));
  auto s = Summary(runner.Run());
  EXPECT_EQ(s["Level"], "6");
  EXPECT_EQ(s["Lives"], "3");
  EXPECT_EQ(s["TimeLeft"].substr(0, 3), "233");  // 234 s less two frames
  EXPECT_THROW(ParseReplayScript("race 1 7\n"), EReplayScriptError);
  EXPECT_THROW(ParseReplayScript("race 0 1\n"), EReplayScriptError);
}

}  // namespace
}  // namespace kestrune
