#include <gtest/gtest.h>

#include "race/vehicles/CarOnRoad.h"

namespace kestrune {
namespace {

// The car with the traffic emptied and the five rockets, frames of 10 ms.
struct WeaponsTest : testing_support::CarOnRoad {
  WeaponsTest() : CarOnRoad(5) {
    GameState.FrameTimeMs = 10;
    EmptyTraffic();
    for (TRocket*& rocket : RaceRockets) rocket = TRocket::Create(0, -1000);
  }
  void Drive(int frames) {
    for (int i = 0; i < frames; ++i) car->MoveSelf(GameState.FrameTimeMs);
  }
  // Drives until the weapon is fully out.
  void Deploy(int kind) {
    car->GiveBonus(kind);
    for (int i = 0; i < 100 && car->WeaponStage < 6; ++i) Drive(1);
  }
  std::string WeaponPicture() const { return car->WeaponSprite->Picture->Name(); }
  int RocketsFlying() const {
    int n = 0;
    for (const TRocket* r : RaceRockets) n += r->RocketFlying;
    return n;
  }
};

TEST_F(WeaponsTest, AWeaponUnfoldsStageByStageAndOnlyThenFires) {
  car->GiveBonus(3);
  EXPECT_EQ(car->Weapon, 3);
  EXPECT_EQ(car->Ammo, 25);
  EXPECT_EQ(WeaponPicture(), "GunAnim_1");
  car->KeyFire = true;
  // The first stage comes at once, then one each 100 ms.
  Drive(1);
  EXPECT_EQ(car->WeaponStage, 2);
  EXPECT_EQ(WeaponPicture(), "GunAnim_2");
  EXPECT_EQ(world.Count("WeaponAppear"), 1);
  Drive(39);
  EXPECT_EQ(car->WeaponStage, 5);
  EXPECT_EQ(car->Ammo, 25);
  EXPECT_EQ(world.Count("MachineGun"), 0);
  Drive(1);
  EXPECT_EQ(car->WeaponStage, 6);
  EXPECT_EQ(car->Ammo, 24);
  EXPECT_EQ(WeaponPicture(), "GunShooting");
}

// Held fire: the first shot at once, then one per cool-down.
TEST_F(WeaponsTest, FiringCadence) {
  struct Case {
    int weapon, rounds, cooldownMs;
  };
  for (const Case c : {Case{3, 25, 200}, Case{4, 20, 500}}) {
    SCOPED_TRACE(c.weapon);
    Deploy(c.weapon);
    world.played.clear();
    car->KeyFire = true;
    Drive(1);
    EXPECT_EQ(car->Ammo, c.rounds - 1);
    Drive(c.cooldownMs / 10 - 1);
    EXPECT_EQ(car->Ammo, c.rounds - 1);
    Drive(1);
    EXPECT_EQ(car->Ammo, c.rounds - 2);
    Drive(c.cooldownMs / 10);
    EXPECT_EQ(car->Ammo, c.rounds - 3);
    car->KeyFire = false;
    Drive(1);
    for (TRocket* r : RaceRockets) r->StopRocket();
    car->DropAll();
    Drive(2);
  }
}

TEST_F(WeaponsTest, TheMachineGunSoundFollowsTheKey) {
  Deploy(3);
  car->KeyFire = true;
  Drive(50);
  EXPECT_EQ(world.Count("MachineGun"), 1);
  EXPECT_TRUE(world.playing.count("MachineGun"));
  EXPECT_TRUE(car->GunSoundOn);
  car->KeyFire = false;
  Drive(1);
  EXPECT_FALSE(world.playing.count("MachineGun"));
  EXPECT_FALSE(car->GunSoundOn);
  car->KeyFire = true;
  Drive(1);
  EXPECT_EQ(world.Count("MachineGun"), 2);
}

TEST_F(WeaponsTest, RocketsLeaveFromAlternateLaunchersAndNoSixthFlies) {
  Deploy(4);
  car->KeyFire = true;
  Drive(1);
  // 19 rounds left (odd): the first rocket leaves from the rear right, the second from the rear
  // left, both 55 pixels from the car's centre.
  const TRocket& first = *RaceRockets[0];
  ASSERT_TRUE(first.RocketFlying);
  EXPECT_EQ(first.RocketAngle, 0);
  EXPECT_EQ(first.RocketSpeed, 18);
  EXPECT_EQ(world.Count("Rocket"), 1);
  Drive(50);
  const TRocket& second = *RaceRockets[1];
  ASSERT_TRUE(second.RocketFlying);
  const double centreX = 365 + 32 - 6;
  EXPECT_NEAR(first.X - centreX, 47, 1);
  EXPECT_NEAR(second.X - centreX, -47, 1);
  EXPECT_NEAR(first.Y, second.Y, 1);
  EXPECT_GT(first.Y, 400 + 64);
  EXPECT_DOUBLE_EQ(first.RocketMapX, first.X + MapColumnOffset * kCell);

  // Three more fill the pool; the sixth round and its cool-down are spent with nothing launched.
  Drive(150);
  EXPECT_EQ(RocketsFlying(), 5);
  EXPECT_EQ(car->Ammo, 15);
  Drive(50);
  EXPECT_EQ(car->Ammo, 14);
  EXPECT_EQ(car->FireCooldown, 500);
  EXPECT_EQ(RocketsFlying(), 5);
  EXPECT_EQ(world.Count("Rocket"), 6);
}

TEST_F(WeaponsTest, PickingUpTheOtherWeaponRestartsTheUnfold) {
  Deploy(3);
  car->KeyFire = true;
  Drive(1);
  car->KeyFire = false;
  car->GiveBonus(4);
  EXPECT_EQ(car->Weapon, 4);
  EXPECT_EQ(car->WeaponStage, 1);
  EXPECT_EQ(car->Ammo, 20);
  EXPECT_EQ(WeaponPicture(), "RocketAnim_1");
  EXPECT_FALSE(world.playing.count("MachineGun"));
  Drive(50);
  EXPECT_EQ(car->WeaponStage, 6);
  EXPECT_EQ(WeaponPicture(), "RocketAnim_6");
  // The same weapon again only refills it.
  car->Ammo = 3;
  car->GiveBonus(4);
  EXPECT_EQ(car->WeaponStage, 6);
  EXPECT_EQ(car->Ammo, 20);
}

TEST_F(WeaponsTest, AnEmptyWeaponFoldsAwayAndIsTakenOffTheFrameAfter) {
  Deploy(4);
  car->WeaponTimer = 0;
  car->Ammo = 0;
  world.played.clear();
  // The first fold step comes at once (the timer has run out), then one per 100 ms; the fold
  // sounds once, as it starts.
  Drive(1);
  EXPECT_EQ(car->WeaponStage, 5);
  EXPECT_EQ(world.Count("WeaponAppear"), 1);
  EXPECT_EQ(WeaponPicture(), "RocketAnim_5");
  Drive(39);
  EXPECT_EQ(car->WeaponStage, 2);
  Drive(1);
  EXPECT_EQ(car->WeaponStage, 1);
  EXPECT_EQ(car->Weapon, 4);
  Drive(1);
  EXPECT_EQ(car->Weapon, 0);
  EXPECT_EQ(world.Count("WeaponAppear"), 1);
}

// A rocket flies at its launch speed plus the car's: fired at top speed it pulls away from the
// car instead of crawling ahead of it.
TEST_F(WeaponsTest, ARocketAddsTheCarsSpeedToItsOwn) {
  struct Case {
    double carSpeed;
    int rocketSpeed;
  };
  for (const Case c : {Case{0, 18}, Case{80, 26}, Case{160, 34}, Case{-15, 16}}) {
    SCOPED_TRACE(c.carSpeed);
    car->Speed = c.carSpeed;
    car->Velocity = c.carSpeed / 10;
    TRocket& rocket = *RaceRockets[0];
    rocket.LaunchRocket(400, 300, 18, 0);
    EXPECT_EQ(rocket.RocketSpeed, c.rocketSpeed);
    const double startY = rocket.RocketMapY;
    rocket.MoveSelf(GameState.FrameTimeMs);
    EXPECT_DOUBLE_EQ(startY - rocket.RocketMapY, c.rocketSpeed * 0.5);  // map pixels a frame
    rocket.StopRocket();
  }
}

// Where a flying rocket leaves play: past any edge of the 700 x 600 playfield (its flame's length
// above the top), or when its explosion has run once.
TEST_F(WeaponsTest, RocketsRetireAtThePlayfieldsEdges) {
  TRocket& rocket = *RaceRockets[0];
  const double w = rocket.Width, h = rocket.Height, flame = rocket.EngineFlame->Height;
  struct Case {
    const char* name;
    double x, y;
    bool retires;
  };
  const Case cases[] = {
      {"inside", 300, 300, false},
      {"right edge flush", 700 - w, 300, false},
      {"a pixel over the right edge", 700 - w + 1, 300, true},
      {"left edge", 0, 300, false},
      {"a pixel over the left edge", -1, 300, true},
      {"bottom edge", 300, 600, false},
      {"below the bottom", 300, 601, true},
      {"flame still showing at the top", 300, -(h + flame), false},
      {"flame gone over the top", 300, -(h + flame) - 1, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    rocket.LaunchRocket(c.x, c.y, 18, 0);
    EXPECT_EQ(rocket.ShouldRetire(), c.retires);
    rocket.StopRocket();
    EXPECT_FALSE(rocket.ShouldRetire());  // an idle rocket is never retired again
  }
  // An exploding rocket retires when its explosion wraps round, not before.
  rocket.LaunchRocket(300, 300, 18, 0);
  rocket.ExplodeRocket();
  int frames = 0;
  while (!rocket.ShouldRetire() && frames < 500) {
    rocket.MoveSelf(GameState.FrameTimeMs);
    ++frames;
  }
  EXPECT_GT(frames, 1);
  EXPECT_LT(frames, 500);
}

// Nitro adds 0.6 a frame up to 170 and burns 0.5 a frame: a full charge lasts 200 frames at 85
// frames a second, and as long in time at any other rate.
TEST_F(WeaponsTest, NitroBurnsForTwoHundredFramesAtEightyFive) {
  for (const double scale : {1.0, 2.0}) {
    SCOPED_TRACE(scale);
    GameState.SpeedScale = scale;
    car->GiveBonus(2);
    car->Speed = 100;
    car->KeyUp = true;
    car->KeyNitro = true;
    Drive(10);
    EXPECT_NEAR(car->Speed, 100 + 10 * 0.6 * scale, 1e-9);
    EXPECT_TRUE(car->NitroBurning);
    int frames = 10;
    while (car->Nitro > 0 && frames < 1000) {
      Drive(1);
      ++frames;
    }
    EXPECT_EQ(frames, static_cast<int>(200 / scale));
    EXPECT_DOUBLE_EQ(car->Speed, 170);
    car->KeyNitro = car->KeyUp = false;
    car->DropItem(2);
  }
}

TEST_F(WeaponsTest, TheGunRayStopsAtTheFirstCarItMeets) {
  Deploy(3);
  // Two cars straight ahead of the car's centre, and one beside the line of fire.
  Place(1, 1, TCar::DirUp, 6, 397 - 48, 250);
  Place(2, 1, TCar::DirUp, 6, 397 - 48, 50);
  Place(3, 1, TCar::DirUp, 6, 397 - 48 + 120, 250);
  car->KeyFire = true;
  Drive(1);
  EXPECT_TRUE(traffic->CarExploding[1]);
  EXPECT_FALSE(traffic->CarExploding[2]);
  EXPECT_FALSE(traffic->CarExploding[3]);
  EXPECT_EQ(GameState.Score, 10);
  EXPECT_EQ(world.Count("Explosion"), 1);
  // The next shot passes the wreck and hits the car behind it.
  Drive(20);
  EXPECT_TRUE(traffic->CarExploding[2]);
  EXPECT_EQ(GameState.Score, 20);
}

// The ray tests the cars at the point of the step before (the pedestrians at the new one), so
// its last car test is its last point on the screen: a car wholly above the top edge is out of
// reach even when the ray's final step lands inside it.
TEST_F(WeaponsTest, TheGunRayReachesCarsOnlyOnTheScreen) {
  Deploy(3);
  car->KeyFire = true;
  // The ray leaves the car's centre (397, 464) straight up in steps of 5: its last points are
  // y 4 and then -1, above the screen. Kind 1 driving up spans y 2..130 of its picture.
  struct Case {
    double bottom;  // screen y of the car's rear edge
    bool hit;
  };
  for (const Case c : {Case{0, false}, Case{5, true}}) {
    SCOPED_TRACE(c.bottom);
    EmptyTraffic();
    Place(1, 1, TCar::DirUp, 6, 397 - 48, c.bottom - 130);
    car->FireCooldown = 0;
    Drive(1);
    EXPECT_EQ(traffic->CarExploding[1], c.hit);
  }
}

TEST_F(WeaponsTest, ThreeHitsCostALifeAndTheCarRestartsOnTheRoadsEdge) {
  Deploy(3);
  car->HasNitro = true;
  car->Nitro = 50;
  car->SteerAngle = 20;
  car->Heading = 10;
  car->TakeHit();
  car->TakeHit();
  EXPECT_EQ(car->HitsLeft, 1);
  EXPECT_FALSE(car->Crashed);
  car->TakeHit();
  EXPECT_EQ(car->HitsLeft, 3);
  EXPECT_EQ(GameState.Lives, 2);
  EXPECT_TRUE(car->Crashed);
  EXPECT_EQ(car->Weapon, 0);
  EXPECT_EQ(car->Ammo, 0);
  EXPECT_FALSE(car->HasNitro);
  EXPECT_EQ(car->Picture->Name(), "ExplosionBig");
  EXPECT_EQ(world.Count("Explosion"), 1);
  // A wreck takes no more hits.
  car->TakeHit();
  EXPECT_EQ(car->HitsLeft, 3);

  // The explosion runs 13.5 patterns at 0.15 a frame, then the car stands on the road's right
  // edge piece in the first row from five below the window's top: here column 324 of row 1493.
  int frames = 0;
  while (!car->RestartPlaced && frames < 200) {
    Drive(1);
    ++frames;
  }
  EXPECT_NEAR(frames, 91, 2);
  EXPECT_EQ(MapColumnOffset, 324 - 6);
  EXPECT_EQ(MapRowOffset, 1493 - 4);
  EXPECT_EQ(car->Heading, 0);
  EXPECT_EQ(car->Picture->Name(), "Car1");
  EXPECT_TRUE(car->Crashed);
  // 2000 ms after the crash it drives again.
  Drive(200 - frames);
  EXPECT_TRUE(car->Crashed);
  Drive(1);
  EXPECT_FALSE(car->Crashed);
  EXPECT_FALSE(car->RestartPlaced);
  EXPECT_TRUE(car->Visible);
  EXPECT_TRUE(world.overlays.empty());
}

TEST_F(WeaponsTest, ACrashWithNoLifeLeftEndsTheGame) {
  GameState.Lives = 1;
  car->HitsLeft = 1;
  car->TakeHit();
  EXPECT_EQ(GameState.Lives, 0);
  Drive(100);
  // The explosion has ended: the car is gone and stays where it crashed.
  EXPECT_FALSE(car->Visible);
  EXPECT_FALSE(car->RestartPlaced);
  EXPECT_EQ(MapRowOffset, 1488);
  Drive(100);
  EXPECT_TRUE(world.overlays.empty());
  Drive(1);
  ASSERT_FALSE(world.overlays.empty());
  EXPECT_EQ(world.overlays.front(), OverlayGameOver);
  EXPECT_TRUE(car->Crashed);
}

// The restart point follows the edge piece found: a straight edge, or the edge of a shift right
// (12) or left (17), where the car is turned along the road.
TEST_F(WeaponsTest, RestartPointsOnEachKindOfEdge) {
  struct Case {
    int code, steer, columnOffset;
  };
  for (const Case c : {Case{4, 0, 330 - 6}, Case{12, 38, 330 - 7}, Case{17, -38, 330 - 4}}) {
    SCOPED_TRACE(c.code);
    RoadMap.Fill(0);
    RoadMap.Set(1400, 330, c.code);
    MapRowOffset = 1300;
    car->PlaceAtRestart();
    EXPECT_EQ(MapRowOffset, 1396);
    EXPECT_EQ(MapColumnOffset, c.columnOffset);
    EXPECT_EQ(car->SteerAngle, c.steer);
    EXPECT_EQ(car->Heading, c.steer / 2);
    EXPECT_TRUE(car->RestartPlaced);
    EXPECT_TRUE(car->JustRestarted);
  }
  // Near the bottom of the map no row that the window could show has an edge piece: the car
  // restarts where it is.
  RoadMap.Fill(0);
  RoadMap.Set(1499, 330, 4);
  MapRowOffset = 1489;
  MapColumnOffset = 300;
  car->PlaceAtRestart();
  EXPECT_EQ(MapRowOffset, 1489);
  EXPECT_EQ(MapColumnOffset, 300);
  EXPECT_TRUE(car->RestartPlaced);
}

TEST_F(WeaponsTest, NextLevelResetsTheCarAndTheTraffic) {
  Deploy(4);
  car->HasNitro = true;
  car->Nitro = 40;
  BloodCounter = 12;
  car->TimeOver = true;
  car->EndingStarted = true;
  car->SteerAngle = 30;
  car->Heading = 15;
  car->Speed = 40;
  car->StartAnimation("ExplosionBig", 15);
  car->Crashed = true;
  car->NextLevel(true);
  EXPECT_EQ(GameState.Level, 2);
  EXPECT_EQ(GameState.TrafficLevelValue, 40);
  // Placed anew over the level's 500 rows (a row drawn in a shift has no lane to put a car on).
  EXPECT_GT(traffic->CarsAlive(), 20);
  for (int slot = 1; slot <= 40; ++slot)
    if (traffic->CarDir[static_cast<std::size_t>(slot)] != 0) {
      EXPECT_GE(traffic->CarY[static_cast<std::size_t>(slot)], (1536 - 500) * kCell);
    }
  EXPECT_EQ(car->Weapon, 0);
  EXPECT_FALSE(car->HasNitro);
  EXPECT_EQ(BloodCounter, 0);
  EXPECT_FALSE(car->TimeOver || car->EndingStarted || car->Crashed);
  EXPECT_EQ(car->SteerAngle, 0);
  EXPECT_EQ(car->Heading, 0);
  EXPECT_EQ(car->Speed, 0);
  EXPECT_EQ(car->Picture->Name(), "Car1");
  EXPECT_TRUE(car->EngineSound.Neutral);
  EXPECT_EQ(world.overlays, std::vector<int>{OverlayLevel});
  car->NextLevel(false);
  EXPECT_EQ(GameState.Level, 2);
}

}  // namespace
}  // namespace kestrune
