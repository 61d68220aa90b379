#include "race/vehicles/Traffic.h"

#include <algorithm>
#include <vector>

#include "framework/PictureCollection.h"
#include "framework/Random.h"
#include "framework/Rounding.h"
#include "game/GameState.h"
#include "game/RaceServices.h"
#include "race/Race.h"
#include "race/RoadMap.h"
#include "race/vehicles/Player.h"
#include "race/vehicles/Rocket.h"

namespace kestrune {

namespace {

constexpr int kCell = TRoadMap::CellSize;
constexpr int kUpLaneSpeed = 6, kDownLaneSpeed = -5;
// The sine and cosine of 19/256 of a turn: the slant of a car following a shift.
constexpr double kSlantX = 0.44961132, kSlantY = 0.8932243;
// Map y of a car re-entering at the bottom (row 1498).
constexpr double kBottomEntryY = 1498.0 * kCell;

struct TKindConstants {
  const char* Picture;
  int HalfWidth, HalfHeight, DownLaneOffset, UpLaneOffset;
};
constexpr TKindConstants kKinds[5] = {
    {"Car7", 49, 67, -14, -14}, {"Car8", 60, 85, -24, -24},   {"Car9", 17, 29, 4, 36},
    {"Car10", 46, 76, -18, -6}, {"Car11", 84, 120, -55, -40},
};
const TKindConstants& Kind(int kind) { return kKinds[std::clamp(kind, 1, 5) - 1]; }

using TCorners = std::array<TPointD, 4>;
// Per kind, per direction (up-left, up-right, up, down, down-left, down-right); the order of the
// corners is the order the collision test walks them.
constexpr TCorners kCorners[5][6] = {
    {{{{0, 23}, {38, 0}, {55, 133}, {94, 113}}},
     {{{58, 0}, {95, 18}, {1, 113}, {40, 132}}},
     {{{28, 2}, {67, 2}, {27, 130}, {69, 130}}},
     {{{30, 131}, {67, 131}, {70, 3}, {27, 3}}},
     {{{1, 115}, {37, 133}, {95, 20}, {57, 1}}},
     {{{95, 115}, {60, 133}, {41, 0}, {2, 19}}}},
    {{{{0, 25}, {41, 0}, {67, 164}, {119, 137}}},
     {{{78, 0}, {119, 24}, {1, 136}, {53, 165}}},
     {{{33, 2}, {89, 2}, {29, 163}, {89, 163}}},
     {{{89, 161}, {31, 161}, {89, 2}, {27, 2}}},
     {{{40, 165}, {0, 140}, {118, 28}, {67, 1}}},
     {{{119, 140}, {79, 165}, {53, 1}, {0, 28}}}},
    {{{{1, 13}, {13, 6}, {24, 54}, {33, 48}}},
     {{{20, 6}, {32, 13}, {1, 48}, {9, 53}}},
     {{{9, 7}, {24, 7}, {10, 54}, {22, 54}}},
     {{{9, 50}, {24, 50}, {23, 0}, {10, 0}}},
     {{{14, 52}, {1, 45}, {33, 7}, {24, 4}}},
     {{{33, 45}, {19, 52}, {9, 2}, {0, 12}}}},
    {{{{0, 23}, {34, 0}, {58, 131}, {92, 109}}},
     {{{60, 0}, {92, 23}, {0, 110}, {34, 131}}},
     {{{26, 1}, {70, 1}, {23, 131}, {68, 131}}},
     {{{69, 129}, {25, 129}, {70, 1}, {24, 1}}},
     {{{33, 132}, {0, 108}, {92, 22}, {58, 1}}},
     {{{92, 108}, {59, 132}, {34, 1}, {-1, 22}}}},
    {{{{0, 28}, {60, 0}, {90, 231}, {167, 192}}},
     {{{108, 0}, {167, 30}, {2, 192}, {78, 230}}},
     {{{48, 4}, {120, 4}, {38, 227}, {126, 227}}},
     {{{120, 228}, {47, 228}, {126, 6}, {40, 6}}},
     {{{62, 232}, {0, 201}, {166, 40}, {87, 1}}},
     {{{167, 201}, {104, 232}, {79, 1}, {1, 40}}}},
};

TQuad Offset(const TCorners& corners, double x, double y) {
  TQuad q;
  for (std::size_t k = 0; k < 4; ++k) q[k] = {x + corners[k].x, y + corners[k].y};
  return q;
}

constexpr double kBoxMargin = TCar::BoxMargin;

bool BoxesMeet(const TQuad& a, const TQuad& b) {
  auto lo = [](const TQuad& q, double TPointD::*axis) {
    return std::min({q[0].*axis, q[1].*axis, q[2].*axis, q[3].*axis});
  };
  auto hi = [](const TQuad& q, double TPointD::*axis) {
    return std::max({q[0].*axis, q[1].*axis, q[2].*axis, q[3].*axis});
  };
  return lo(a, &TPointD::x) - kBoxMargin <= hi(b, &TPointD::x) &&
         lo(b, &TPointD::x) - kBoxMargin <= hi(a, &TPointD::x) &&
         lo(a, &TPointD::y) - kBoxMargin <= hi(b, &TPointD::y) &&
         lo(b, &TPointD::y) - kBoxMargin <= hi(a, &TPointD::y);
}

// The tile code under a map pixel.
int TileAt(double x, double y) { return RoadMap.Get(Round(y) / kCell, Round(x) / kCell); }

}  // namespace

TCar::TCar(std::uint8_t imageLibrary) : TMyImageSprite(imageLibrary) {}

TCar::~TCar() {
  if (RaceTraffic == this) RaceTraffic = nullptr;
}

TCar* TCar::Create() {
  TCar* traffic = CreateAt<TCar>(2, "Car7", 0, 0, 9);
  traffic->ResetTraffic();
  return traffic;
}

int TCar::HalfWidth(int kind) { return Kind(kind).HalfWidth; }
int TCar::HalfHeight(int kind) { return Kind(kind).HalfHeight; }
int TCar::DownLaneOffset(int kind) { return Kind(kind).DownLaneOffset; }
int TCar::UpLaneOffset(int kind) { return Kind(kind).UpLaneOffset; }

const std::array<TPointD, 4>& TCar::CornerOffsets(int kind, int dir) {
  return kCorners[std::clamp(kind, 1, 5) - 1][std::clamp(dir, 1, 6) - 1];
}

int TCar::UsedSlots() { return std::clamp(GameState.TrafficLevelValue, 0, Slots); }

int TCar::RandomKind() {
  const int kind = Random(5) + 1;
  if (kind != 5) return kind;
  // Half of the fifth draws are motorbikes: the long trucks are the rarest kind.
  return Random(2) == 0 ? 3 : 5;
}

double TCar::ScreenX(int slot) const {
  return CarX[static_cast<std::size_t>(slot)] - MapColumnOffset * kCell + RaceRoadX();
}

double TCar::ScreenY(int slot) const {
  return CarY[static_cast<std::size_t>(slot)] - MapRowOffset * kCell + RaceRoadY();
}

TQuad TCar::ScreenCorners(int slot) const {
  const auto s = static_cast<std::size_t>(slot);
  return Offset(CornerOffsets(CarKind[s], CarDir[s]), ScreenX(slot), ScreenY(slot));
}

TQuad TCar::MapCorners(int slot) const {
  const auto s = static_cast<std::size_t>(slot);
  return Offset(CornerOffsets(CarKind[s], CarDir[s]), CarX[s], CarY[s]);
}

bool TCar::Shootable(int slot) const {
  const auto s = static_cast<std::size_t>(slot);
  return CarOnScreen[s] && CarDir[s] != DirNone && CarSpeed[s] != 0 && !CarExploding[s];
}

int TCar::ShotCarAt(TPointD p) const {
  const TQuad point{{p, p, p, p}};
  for (int slot = 1; slot <= UsedSlots(); ++slot) {
    if (!Shootable(slot)) continue;
    const TQuad car = ScreenCorners(slot);
    if (BoxesMeet(car, point) && PointInQuad(p, car)) return slot;
  }
  return 0;
}

int TCar::CarsAlive() const {
  int alive = 0;
  for (int slot = 1; slot <= UsedSlots(); ++slot) alive += CarDir[static_cast<std::size_t>(slot)] != DirNone;
  return alive;
}

void TCar::ExplodeCar(int slot) {
  CarExploding[static_cast<std::size_t>(slot)] = true;
  CarSpeed[static_cast<std::size_t>(slot)] = 0;
}

void TCar::RemoveCar(int slot) {
  CarSpeed[static_cast<std::size_t>(slot)] = 0;
  CarDir[static_cast<std::size_t>(slot)] = DirNone;
}

void TCar::ResetTraffic() {
  const int length = GameState.RoadLength;
  const int top = 1536 - length;
  // The lanes' entry columns; a row without its edge piece keeps the previous column.
  const std::uint8_t* topRow = RoadMap.RowData(std::clamp(top, 1, TRoadMap::Rows));
  for (int c = 1; c <= TRoadMap::Columns; ++c)
    if (topRow[c - 1] == 1) {
      LaneColumnDown = c;
      break;
    }
  const std::uint8_t* bottomRow = RoadMap.RowData(1495);
  for (int c = TRoadMap::Columns; c >= 1; --c)
    if (bottomRow[c - 1] == 4) {
      LaneColumnUp = c;
      break;
    }

  CarX.fill(0);
  CarY.fill(0);
  CarKind.fill(0);
  CarDir.fill(DirNone);
  CarSpeed.fill(0);
  CarOnScreen.fill(false);
  CarExploding.fill(false);
  CarContact.fill(false);
  CarBlast.fill(0);

  // Each car gets its own row, a multiple of 4 between the top of the level and row 1489.
  const int lo = top, hi = 1490;
  std::vector<bool> taken(MapRows + 1, false);
  int free = 0;
  for (int r = std::max(lo, 1); r < hi; ++r) free += r % 4 == 0;
  const int cars = UsedSlots();
  const int downCars = Round(cars / 2.0);
  for (int slot = 1; slot <= cars; ++slot) {
    // A level too short for all its cars leaves the rest of the slots empty.
    if (free <= 0 || hi <= lo) break;
    int r = 1;
    while (r % 4 != 0 || taken[static_cast<std::size_t>(r)]) r = lo + Random(hi - lo);
    taken[static_cast<std::size_t>(r)] = true;
    --free;
    const std::uint8_t* row = RoadMap.RowData(r);
    const auto s = static_cast<std::size_t>(slot);
    int column = 0;
    if (slot <= downCars) {
      for (int c = 1; c <= TRoadMap::Columns && column == 0; ++c)
        if (row[c - 1] == 1) column = c;
      if (column == 0) continue;
      CarKind[s] = static_cast<std::uint8_t>(RandomKind());
      CarDir[s] = DirDown;
      CarX[s] = DownLaneOffset(CarKind[s]) + (column + 1) * kCell;
      CarSpeed[s] = kDownLaneSpeed;
    } else {
      for (int c = TRoadMap::Columns; c >= 1 && column == 0; --c)
        if (row[c - 1] == 4) column = c;
      if (column == 0) continue;
      CarKind[s] = static_cast<std::uint8_t>(RandomKind());
      CarDir[s] = DirUp;
      CarX[s] = UpLaneOffset(CarKind[s]) + (column - 1) * kCell;
      CarSpeed[s] = kUpLaneSpeed;
    }
    CarY[s] = static_cast<double>(r) * kCell;
    CarOnScreen[s] = true;
    CarExploding[s] = false;
  }
}

void TCar::RespawnCar(int slot, Lane lane) {
  const auto s = static_cast<std::size_t>(slot);
  CarKind[s] = static_cast<std::uint8_t>(RandomKind());
  if (lane == Lane::Up) {
    CarDir[s] = DirUp;
    CarX[s] = UpLaneOffset(CarKind[s]) + (LaneColumnUp - 1) * kCell;
    CarY[s] = kBottomEntryY;
    CarSpeed[s] = kUpLaneSpeed;
  } else {
    CarDir[s] = DirDown;
    CarX[s] = DownLaneOffset(CarKind[s]) + (LaneColumnDown + 1) * kCell;
    CarY[s] = static_cast<double>(1536 - GameState.RoadLength) * kCell;
    CarSpeed[s] = kDownLaneSpeed;
  }
  CarOnScreen[s] = true;
  CarExploding[s] = false;
  ClearOverlaps(slot);
}

void TCar::ClearOverlaps(int slot) {
  const TQuad mine = ScreenCorners(slot);
  for (int other = 1; other <= Slots; ++other) {
    if (other == slot || CarDir[static_cast<std::size_t>(other)] == DirNone) continue;
    const TQuad theirs = ScreenCorners(other);
    if (BoxesMeet(theirs, mine) && QuadsOverlap(theirs, mine)) RemoveCar(other);
  }
}

void TCar::MoveSelf(std::int32_t moveCount) {
  TMyImageSprite::MoveSelf(moveCount);
  const int cars = UsedSlots();
  for (int slot = 1; slot <= cars; ++slot)
    if (CarDir[static_cast<std::size_t>(slot)] != DirNone) MoveCar(slot);
}

void TCar::MoveCar(int slot) {
  const auto s = static_cast<std::size_t>(slot);
  const double speed = CarSpeed[s];
  const double f = 0.5 * GameState.SpeedScale;
  switch (CarDir[s]) {
    case DirUpLeft:
      CarX[s] -= speed * kSlantX * f;
      CarY[s] -= speed * kSlantY * f;
      break;
    case DirUpRight:
    case DirDownLeft:
      CarX[s] += speed * kSlantX * f;
      CarY[s] -= speed * kSlantY * f;
      break;
    case DirDownRight:
      CarX[s] -= speed * kSlantX * f;
      CarY[s] -= speed * kSlantY * f;
      break;
    default:
      CarY[s] -= speed * f;
      break;
  }

  const int sx = Round(ScreenX(slot)), sy = Round(ScreenY(slot));
  CarOnScreen[s] = sx >= -170 && sx <= 870 && sy >= -240 && sy <= 601;

  if (CarOnScreen[s] && RacePlayer && !RacePlayer->Crashed) TouchPlayer(slot);
  if (CarOnScreen[s] && !CarExploding[s]) TestRockets(slot);

  if (CarExploding[s]) {
    // 20 patterns of the explosion a second.
    CarBlast[s] += 20.0 / (1000.0 / GameState.FrameTimeMs);
    if (CarBlast[s] > 13) {
      CarExploding[s] = false;
      CarDir[s] = DirNone;
    }
  }

  FollowRoad(slot);

  if (CarY[s] > kBottomEntryY)
    RespawnCar(slot, Lane::Up);
  else if (CarY[s] < static_cast<double>(1535 - GameState.RoadLength) * kCell)
    RespawnCar(slot, Lane::Down);
}

// A collision counts once per touch: the car must leave the player for a frame before it can hit
// again.
void TCar::TouchPlayer(int slot) {
  const auto s = static_cast<std::size_t>(slot);
  TPlayer& player = *RacePlayer;
  const TQuad car = ScreenCorners(slot);
  if (!(BoxesMeet(car, player.Corners) && QuadsOverlap(car, player.Corners))) {
    CarContact[s] = false;
    return;
  }
  if (CarContact[s]) return;
  CarContact[s] = true;

  if (player.JustRestarted) {
    // A car standing on the restart point vanishes without harm.
    RemoveCar(slot);
    player.JustRestarted = false;
  }
  if (player.Velocity > 0) player.JustRestarted = false;

  const bool hurts = !RaceFinishReached() && !player.TimeOver;
  const int speed = CarSpeed[s];
  if (Round(ScreenY(slot)) > player.Y && speed > 0) {
    // An up-lane car running into the car from behind shoves it forward.
    if (hurts) player.TakeHit();
    // A shove that was the car's third hit leaves a standing wreck.
    if (!player.Crashed) player.Speed = speed * 1.5 * 10;
  } else if (speed < 0) {
    // Head-on.
    if (hurts) player.TakeHit();
    player.Bump(-0.2);
    ExplodeCar(slot);
    RacePlaySound("Explosion");
  } else if (speed > 0) {
    // The player runs into a car ahead.
    if (hurts) player.TakeHit();
    player.Bump(0.2);
  }
}

void TCar::TestRockets(int slot) {
  const TQuad car = MapCorners(slot);
  for (TRocket* rocket : RaceRockets) {
    if (!rocket || !rocket->RocketFlying || rocket->RocketExploding) continue;
    if (!PointInQuad({rocket->RocketMapX, rocket->RocketMapY}, car)) continue;
    RacePlaySound("Explosion");
    ExplodeCar(slot);
    if (RacePlayer) RacePlayer->AddScore(10);
    // A rocket that hits a car vanishes without an explosion of its own.
    rocket->StopRocket();
    break;
  }
}

// The road's shifts by their tile codes (lower and upper rows of a shift to the right: 5..8 and
// 9..12; to the left: 13..16 and 17..20, both written right to left): a car turns into a slant
// where its lane starts to shift and straightens where the plain lane comes back.
void TCar::FollowRoad(int slot) {
  const auto s = static_cast<std::size_t>(slot);
  const double cx = CarX[s] + HalfWidth(CarKind[s]);
  const double cy = CarY[s] + HalfHeight(CarKind[s]);
  const int left = TileAt(cx - kCell, cy), here = TileAt(cx, cy), right = TileAt(cx + kCell, cy);
  std::uint8_t& dir = CarDir[s];
  if (dir >= DirUpLeft && dir <= DirUp) {
    if (left == 15 && here == 14) dir = DirUpLeft;
    if (here == 7 && right == 8) dir = DirUpRight;
    if (here == 3 && right == 4) dir = DirUp;
  } else if (dir >= DirDown && dir <= DirDownRight) {
    if (left == 9 && here == 10) dir = DirDownLeft;
    if (here == 19 && right == 18) dir = DirDownRight;
    if (here == 2 && left == 1) dir = DirDown;
  }
}

void TCar::DrawCars() {
  if (!Engine || !Engine->Surface()) return;
  TDirectDrawSurface& surface = *Engine->Surface();
  TPictureCollection* library = GameSpriteWorld().ImageList2;
  if (!library) return;
  // The pictures are looked up once per frame, not once per car.
  TPictureCollectionItem* pictures[5] = {};
  TPictureCollectionItem* explosion = nullptr;
  const int cars = UsedSlots();
  for (int slot = 1; slot <= cars; ++slot) {
    const auto s = static_cast<std::size_t>(slot);
    if (!CarOnScreen[s] || CarDir[s] == DirNone) continue;
    const int kind = std::clamp<int>(CarKind[s], 1, 5);
    const int sx = Round(ScreenX(slot)), sy = Round(ScreenY(slot));
    if (CarExploding[s]) {
      if (!explosion) explosion = &library->FindPicture("ExplosionBig");
      explosion->Draw(surface, sx + HalfWidth(kind) - 32, sy + HalfHeight(kind) - 32, Trunc(CarBlast[s]));
    } else {
      TPictureCollectionItem*& picture = pictures[kind - 1];
      if (!picture) picture = &library->FindPicture(Kind(kind).Picture);
      picture->Draw(surface, sx, sy, CarDir[s] - 1);
    }
  }
}

}  // namespace kestrune
