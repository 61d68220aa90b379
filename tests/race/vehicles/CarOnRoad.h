#pragma once
// The player's car at its place on a straight road (map columns 321..324, codes 1..4; the window
// at column 318 and row 1488, so column 321 is at screen x 216) on a level of 300 rows with 10
// traffic cars, for tests of the car's weapons and damage and of the traffic.

#include <gtest/gtest.h>

#include "fixtures/RaceWorld.h"
#include "framework/Random.h"
#include "race/vehicles/Player.h"
#include "race/vehicles/Rocket.h"
#include "race/vehicles/Traffic.h"

namespace kestrune::testing_support {

struct CarOnRoad : ::testing::Test {
  static constexpr int kCell = TRoadMap::CellSize;

  explicit CarOnRoad(std::uint32_t seed) {
    RandomSeed(seed);
    RaceWorld::FlatMap(0, true);
    GameState.Level = 1;
    GameState.RoadLength = 300;
    GameState.TrafficLevelValue = 10;
    GameState.Lives = 3;
    car = TPlayer::Create(365, 400);
    RacePlayer = car;
    traffic = TCar::Create();
    RaceTraffic = traffic;
  }
  void EmptyTraffic() {
    for (int slot = 1; slot <= TCar::Slots; ++slot) traffic->RemoveCar(slot);
    traffic->CarContact.fill(false);
  }
  // Puts a traffic car of the kind and direction with its top-left corner at a screen point.
  void Place(int slot, int kind, int dir, int speed, double screenX, double screenY) {
    const auto s = static_cast<std::size_t>(slot);
    traffic->CarKind[s] = static_cast<std::uint8_t>(kind);
    traffic->CarDir[s] = static_cast<std::uint8_t>(dir);
    traffic->CarSpeed[s] = speed;
    traffic->CarX[s] = screenX + MapColumnOffset * kCell;
    traffic->CarY[s] = screenY + MapRowOffset * kCell;
    traffic->CarOnScreen[s] = true;
    traffic->CarExploding[s] = false;
  }
  // The up lane's screen x for a kind: left of the right edge piece (column 324).
  static double UpLaneX(int kind) { return TCar::UpLaneOffset(kind) + (324 - 1 - 318) * kCell; }
  static double DownLaneX(int kind) { return TCar::DownLaneOffset(kind) + (321 + 1 - 318) * kCell; }

  RaceWorld world;
  TPlayer* car = nullptr;
  TCar* traffic = nullptr;
};

}  // namespace kestrune::testing_support
