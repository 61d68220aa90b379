#include <gtest/gtest.h>

#include <map>
#include <utility>

#include "fixtures/RaceWorld.h"
#include "race/Hud.h"
#include "race/vehicles/Player.h"

namespace kestrune {
namespace {

using testing_support::RaceWorld;

TEST(HudValues, TimeNeedleAndMarker) {
  const std::pair<int, const char*> times[] = {{65000, "01 : 05"}, {600000, "10 : 00"}, {54000, "00 : 54"},
                                               {999, "00 : 00"},   {0, "00 : 00"},      {-1500, "00 : 00"}};
  for (auto [ms, text] : times) EXPECT_EQ(FormatTimeLeft(ms), text) << ms;

  EXPECT_EQ(NeedleAngle(0, false), -28);
  EXPECT_EQ(NeedleAngle(0, true), -29);
  EXPECT_EQ(NeedleAngle(-15, false), -28);  // reversing does not move it below rest
  EXPECT_EQ(NeedleAngle(100, false), 87);
  EXPECT_EQ(NeedleAngle(160, true), 155);

  // A 24-pixel marker on level 1 (300 rows): near 216 - 24 at the start, 15 at most near the top.
  EXPECT_NEAR(ProgressMarkerY(24, 300, 1488), 192 - 177.0 / 240 * 2, 1e-9);
  EXPECT_NEAR(ProgressMarkerY(24, 300, 1370), 192 - 177.0 / 240 * 120, 1e-9);
  EXPECT_EQ(ProgressMarkerY(24, 300, 1250), 15);
  EXPECT_EQ(ProgressMarkerY(24, 300, 0), 15);
}

struct HudTest : ::testing::Test {
  HudTest() {
    RaceWorld::FlatMap(0, true);
    RaceServices().SetTextStyle = [this](int style) { styles.push_back(style); };
    RaceServices().DrawText = [this](const std::string& text, int x, int y, bool centreH, bool centreV) {
      EXPECT_TRUE(centreH && centreV);
      texts[{x, y}] = text;
    };
    CreateHud();
    RacePlayer = TPlayer::Create(365, 400);
  }
  RaceWorld world;
  std::vector<int> styles;
  std::map<std::pair<int, int>, std::string> texts;
};

TEST_F(HudTest, ValuesPrintedOnThePanel) {
  GameState.Level = 3;
  GameState.TimeLeft = 65000;
  GameState.Score = 1234;
  GameState.Lives = -1;
  RacePlayer->HitsLeft = 1;
  DrawHudTexts();
  EXPECT_EQ(styles, std::vector<int>{18});
  const std::map<std::pair<int, int>, std::string> expected = {
      {{690, 28}, "LEVEL 3"}, {{705, 117}, "01 : 05"}, {{692, 202}, "1234"}, {{775, 327}, "0"}};
  EXPECT_EQ(texts, expected);
  EXPECT_EQ(RaceHud.Energy->AnimPos, 2);
  EXPECT_FALSE(RaceHud.NitroIcon->Visible);
  EXPECT_FALSE(RaceHud.WeaponIcon->Visible);

  // Nitro and a weapon show their icons and amounts; an odd hit count shows the empty gauge.
  RacePlayer->HasNitro = true;
  RacePlayer->Nitro = 62.5;
  RacePlayer->Weapon = 4;
  RacePlayer->Ammo = 20;
  RacePlayer->HitsLeft = 7;
  DrawHudTexts();
  EXPECT_EQ(texts[std::pair(760, 384)], "62");  // halves to even
  EXPECT_EQ(texts[std::pair(763, 272)], "20");
  EXPECT_TRUE(RaceHud.NitroIcon->Visible);
  EXPECT_TRUE(RaceHud.WeaponIcon->Visible);
  EXPECT_EQ(RaceHud.WeaponIcon->Picture->Name(), "BonusR");
  EXPECT_EQ(RaceHud.Energy->AnimPos, 3);
  RacePlayer->Weapon = 3;
  DrawHudTexts();
  EXPECT_EQ(RaceHud.WeaponIcon->Picture->Name(), "BonusM");
}

TEST_F(HudTest, TheNeedleTurnsAboutTheGaugeCentre) {
  // Only the needle is drawn; its 64 x 8 picture turns about (705, 517).
  for (TSprite* sprite : *world.engine.Children()) sprite->Visible = sprite == RaceHud.Pointer;
  auto drawnAt = [&](int angle, int x, int y) {
    world.surface.Fill(0);
    RaceHud.Pointer->Angle = angle;
    world.engine.Draw();
    return world.surface.Row(y)[x] != 0;
  };
  EXPECT_TRUE(drawnAt(0, 705 - 40, 517));  // pointing left
  EXPECT_FALSE(drawnAt(0, 705, 517 - 40));
  EXPECT_TRUE(drawnAt(64, 705, 517 - 40));   // a quarter turn clockwise: up
  EXPECT_TRUE(drawnAt(128, 705 + 40, 517));  // right
  EXPECT_FALSE(drawnAt(128, 705 - 40, 517));

  RacePlayer->Speed = 0;
  RacePlayer->EngineSound.Shift = true;
  UpdateNeedle(*RacePlayer);
  EXPECT_EQ(RaceHud.Pointer->Angle, -29);
}

}  // namespace
}  // namespace kestrune
