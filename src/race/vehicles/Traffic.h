#pragma once
// The traffic: one sprite that drives up to 200 cars in two lanes of the road, the up lane (left
// of the right edge, the player's direction) and the down lane (right of the left edge,
// oncoming). The cars follow the road's shifts by its tile codes, come back at the far end of the
// map in the other lane, collide with the player and explode when shot, hit by a rocket or struck
// head-on. The sprite draws nothing itself: the player's car draws the traffic under itself.

#include <array>
#include <cstdint>

#include "game/MyImageSprite.h"
#include "race/Collision.h"

namespace kestrune {

class TCar : public TMyImageSprite {
 public:
  static constexpr int Slots = 200;
  // Map rows 1..1500 for the rows drawn in ResetTraffic.
  static constexpr int MapRows = 1500;
  // CarDir values: 0 empty, then the six directions, each a pattern of the car picture.
  enum : std::uint8_t {
    DirNone = 0,
    DirUpLeft = 1,
    DirUpRight = 2,
    DirUp = 3,
    DirDown = 4,
    DirDownLeft = 5,
    DirDownRight = 6
  };
  enum class Lane { Up, Down };
  // Some corner tables run round the car crosswise, and the angle-sum test then also accepts points
  // a few pixels outside the car's box (never more than 7). Shapes whose boxes, widened by this
  // margin, do not meet cannot overlap, which spares the full test for cars far from the player.
  static constexpr double BoxMargin = 16;

  explicit TCar(std::uint8_t imageLibrary);
  // Freed with the sprite tree: the race forgets its traffic.
  ~TCar() override;
  // The race's traffic, with the cars of the current level placed.
  static TCar* Create();

  void MoveSelf(std::int32_t moveCount) override;
  // Traffic cars are drawn by the player's car (DrawCars), under it.
  void DrawSelf() override {}
  // Draws every car in view onto the engine's surface.
  void DrawCars();

  // Empties every slot and places TrafficLevelValue cars on distinct rows of the level.
  void ResetTraffic();
  void ExplodeCar(int slot);
  void RemoveCar(int slot);
  void RespawnCar(int slot, Lane lane);
  // Removes every other car that overlaps the car in this slot.
  void ClearOverlaps(int slot);
  static int RandomKind();

  // Where a slot's car is on the screen (its picture's top-left corner) and its collision corners
  // there or on the map.
  double ScreenX(int slot) const;
  double ScreenY(int slot) const;
  TQuad ScreenCorners(int slot) const;
  TQuad MapCorners(int slot) const;
  // A car slot that the gun ray may hit: in view, driving and not yet exploding.
  bool Shootable(int slot) const;
  // The first shootable car whose shape holds the screen point, or 0.
  int ShotCarAt(TPointD screenPoint) const;
  // Cars in slots 1..TrafficLevelValue that are not empty.
  int CarsAlive() const;
  // The slots in use this level: 1..UsedSlots().
  static int UsedSlots();

  // Per kind 1..5: picture, half size and the lane offsets added to the lane column's x.
  static int HalfWidth(int kind);
  static int HalfHeight(int kind);
  static int DownLaneOffset(int kind);
  static int UpLaneOffset(int kind);
  // Collision corners of a kind (1..5) and direction (1..6), relative to the picture's top-left.
  static const std::array<TPointD, 4>& CornerOffsets(int kind, int dir);

  // Slots 1..200 (index 0 unused).
  std::array<double, Slots + 1> CarX{}, CarY{};
  std::array<std::uint8_t, Slots + 1> CarKind{}, CarDir{};
  std::array<std::int32_t, Slots + 1> CarSpeed{};
  std::array<bool, Slots + 1> CarOnScreen{}, CarExploding{}, CarContact{};
  std::array<double, Slots + 1> CarBlast{};
  std::int32_t LaneColumnDown = 0, LaneColumnUp = 0;

 private:
  void MoveCar(int slot);
  void TouchPlayer(int slot);
  void TestRockets(int slot);
  void FollowRoad(int slot);
};

}  // namespace kestrune
