#include "race/Pedestrians.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "framework/PictureCollection.h"
#include "framework/Random.h"
#include "framework/Rounding.h"
#include "game/GameState.h"
#include "game/RaceServices.h"
#include "race/Collision.h"
#include "race/Race.h"
#include "race/RoadMap.h"
#include "race/vehicles/Player.h"
#include "race/vehicles/Rocket.h"

namespace kestrune {

namespace {

constexpr int kCell = TRoadMap::CellSize;
// The picture's top-left corner lies 27 pixels left of and above the pedestrian's point.
constexpr int kDrawOffset = 27;

// What ahead, back and the two turns mean for each direction, and the step to the next cell.
struct TDirectionSet {
  std::uint8_t Ahead, Back, SideA, SideB;
  int StepX, StepY;
};
constexpr TDirectionSet kSets[5] = {
    {0, 0, 0, 0, 0, 0},  // lying: never consulted
    {WalkLeft, WalkRight, WalkDown, WalkUp, -kCell, 0},
    {WalkRight, WalkLeft, WalkUp, WalkDown, kCell, 0},
    {WalkUp, WalkDown, WalkLeft, WalkRight, 0, -kCell},
    {WalkDown, WalkUp, WalkRight, WalkLeft, 0, kCell},
};

bool IsPaving(int tile) { return (tile >= 23 && tile <= 29) || tile == 58 || tile == 60; }

std::uint8_t Choose(int code, const TDirectionSet& set) {
  switch (code) {
    case 1:
      return set.Ahead;
    case 2:
      return set.SideA;
    case 3:
      return set.SideB;
    case 4:
      return Random(2) == 0 ? set.SideA : set.Ahead;
    case 5:
      return Random(2) == 0 ? set.Ahead : set.SideB;
    case 6:
      return Random(2) == 0 ? set.SideB : set.SideA;
    case 7: {
      const int pick = Random(3);
      return pick == 0 ? set.SideA : pick == 1 ? set.Ahead : set.SideB;
    }
    default:
      return set.Back;
  }
}

// The first direction of a pedestrian placed on a paving tile.
std::uint8_t StartDirection(int tile) {
  switch (tile) {
    case 23:
      return static_cast<std::uint8_t>(WalkUp + Random(2));
    case 24:
      return static_cast<std::uint8_t>(WalkLeft + Random(2));
    case 25:
      return static_cast<std::uint8_t>(WalkLeft + Random(4));
    case 26:
      return WalkRight;
    case 27:
      return WalkLeft;
    default:
      return WalkUp;
  }
}

// Map pixel to cell; pedestrians stay far from the map's edges, but never divide a negative
// position towards zero.
std::int32_t CellOf(std::int32_t pixel) {
  return pixel >= 0 ? pixel / kCell : -((-pixel + kCell - 1) / kCell);
}

}  // namespace

int TMan::WayChoice(int direction, int tile) {
  switch (direction) {
    case WalkLeft:
      return tile == 24 ? 1 : tile == 25 ? 7 : tile == 26 ? 2 : tile == 29 ? 3 : tile == 60 ? 6 : 0;
    case WalkRight:
      return tile == 24 ? 1 : tile == 25 ? 7 : tile == 27 ? 3 : tile == 28 ? 2 : tile == 58 ? 6 : 0;
    case WalkUp:
      return tile == 23   ? 1
             : tile == 25 ? 7
             : tile == 26 ? 3
             : tile == 27 ? 2
             : tile == 58 ? 4
             : tile == 60 ? 5
                          : 0;
    case WalkDown:
      return tile == 23   ? 1
             : tile == 25 ? 7
             : tile == 28 ? 3
             : tile == 29 ? 2
             : tile == 58 ? 5
             : tile == 60 ? 4
                          : 0;
    default:
      return 0;
  }
}

TMan::TMan(std::uint8_t imageLibrary) : TMyImageSprite(imageLibrary) {}

TMan::~TMan() {
  if (RaceMen == this) RaceMen = nullptr;
}

TMan* TMan::Create() {
  TMan* men = CreateAt<TMan>(2, "Man_Up", 0, 0, 6);
  if (TPictureCollection* library = GameSpriteWorld().ImageList2) {
    static const char* const kWays[] = {"_Laying", "_Left", "_Right", "_Up", "_Down"};
    for (int girl = 0; girl < 2; ++girl)
      for (int way = 0; way < 5; ++way)
        men->pictures_[static_cast<std::size_t>(girl * 5 + way)] =
            &library->FindPicture(std::string(girl ? "Girl" : "Man") + kWays[way]);
  }
  men->Reset();
  return men;
}

void TMan::Reset() {
  slots_.fill(TPedestrian{});
  panic_ = false;
  const int firstRow = std::max(TRoadMap::Rows - GameState.RoadLength, 1);
  int n = 1;
  for (int pass = 1; pass <= 2; ++pass) {
    // The pavement beside the left edge of the left-most road (pass 1) or beside the right edge
    // of a road that has no second road right next to it (pass 2). A row without such an edge
    // reuses the range of the row before; a pass's first row without one places no one.
    bool haveRange = false;
    int from = 0, to = -1;
    for (int row = firstRow; row <= 1490; ++row) {
      if (row % 5 != 0) continue;
      if (n > Slots) break;
      const std::uint8_t* cells = RoadMap.RowData(row);
      auto tile = [&](int column) { return TRoadMap::Contains(row, column) ? cells[column - 1] : 0; };
      for (int c = 50; c <= 600; ++c) {
        if (pass == 1 && tile(c) == 1) {
          from = c - Random(20);
          to = c - 1;
          haveRange = true;
          break;
        }
        if (pass == 2 && tile(c) == 4 && tile(c + 1) != 1) {
          from = c + 1;
          to = c + Random(20);
          haveRange = true;
          break;
        }
      }
      TPedestrian& p = Slot(n++);
      if (!haveRange) continue;
      for (int c = from; c <= to; ++c) {
        const int code = tile(c);
        if (!IsPaving(code)) continue;
        p.Active = true;
        p.Girl = Random(2) == 1;
        p.X = kCell * c + 36;
        p.Y = kCell * row;
        p.Direction = StartDirection(code);
        p.NextDirection = p.Direction;
        p.Pace = static_cast<std::uint8_t>(3 + Random(3));
        p.AnimPos = Random(4);
        break;
      }
    }
  }
  slotsUsed_ = n - 1;
}

void TMan::Panic() {
  panic_ = true;
  for (TPedestrian& p : slots_) {
    if (!p.Active || !p.Visible || !p.Walking()) continue;
    p.PanicTime = PanicMs;
    p.Pace = PanicPace;
  }
}

void TMan::EndPanic() {
  panic_ = false;
  for (TPedestrian& p : slots_) {
    if (!p.Active || !p.Visible || !p.Walking()) continue;
    p.PanicTime = 0;
    p.Pace = static_cast<std::uint8_t>(3 + Random(3));
  }
}

void TMan::KnockDown(TPedestrian& p, std::uint8_t direction) {
  p.X -= 10;
  p.Y -= 10;
  p.Pace = 0;
  p.Direction = direction;
  p.AnimPos = 0;
  p.PanicTime = 0;
  if (TPlayer* player = RacePlayer) player->AddScore(5);
}

bool TMan::ShootAt(double mapX, double mapY) {
  bool hit = false;
  for (TPedestrian& p : slots_) {
    if (!p.Active || !p.Walking() || std::abs(p.X - mapX) > 50 || std::abs(p.Y - mapY) > 50) continue;
    KnockDown(p, WalkLying);
    RacePlaySound(p.Girl ? "KillW" : "Kill");
    hit = true;
  }
  return hit;
}

void TMan::HitByRocket(TPedestrian& p) {
  const TQuad square{{{p.X - 4, p.Y - 4}, {p.X + 30, p.Y - 4}, {p.X + 30, p.Y + 30}, {p.X - 4, p.Y + 30}}};
  for (TRocket* rocket : RaceRockets) {
    // A rocket already exploding has hit: its blast does not go off again at every pedestrian
    // it lies near, which would restart it and shift it further up and left each time.
    if (!rocket || !rocket->RocketFlying || rocket->RocketExploding) continue;
    if (!PointInQuad({rocket->RocketMapX, rocket->RocketMapY}, square)) continue;
    rocket->ExplodeRocket();
    KnockDown(p, WalkGone);
    return;
  }
}

void TMan::Walk(TPedestrian& p, double oldAnimPos) {
  const TDirectionSet* set = &kSets[p.Direction];
  p.CellColumn = CellOf(Round(p.X));
  p.CellRow = CellOf(Round(p.Y));
  if (p.CellColumn == p.TargetColumn && p.CellRow == p.TargetRow) {
    // Arrived at the cell ahead: the paving there decides the way on.
    p.Direction = p.NextDirection;
    const int code = WayChoice(p.Direction, RoadMap.Get(p.CellRow, p.CellColumn));
    p.NextDirection = Choose(code, *set);
    p.Direction = p.NextDirection;
    set = &kSets[p.Direction];
  }
  p.TargetColumn = CellOf(Round(p.X + set->StepX));
  p.TargetRow = CellOf(Round(p.Y + set->StepY));
  if (std::trunc(p.AnimPos) == std::trunc(oldAnimPos)) return;
  const double stride = 2.0 * p.Pace;
  switch (p.Direction) {
    case WalkLeft:
      p.X -= stride;
      break;
    case WalkRight:
      p.X += stride;
      break;
    case WalkUp:
      p.Y -= stride;
      break;
    case WalkDown:
      p.Y += stride;
      break;
    default:
      break;
  }
}

void TMan::MoveSelf(std::int32_t) {
  const std::int32_t frameMs = GameState.FrameTimeMs;
  const double roadX = RaceRoadX(), roadY = RaceRoadY();
  TPlayer* player = RacePlayer;
  bool stillRunning = false;
  for (TPedestrian& p : slots_) {
    if (!p.Active || p.Direction == WalkGone) continue;
    const double oldAnimPos = p.AnimPos;
    p.AnimPos += p.Pace / (1000.0 / frameMs);
    if (p.AnimPos > 4) p.AnimPos = 0;
    // Walking off the band of cells 5..647 x 5..1497 takes a pedestrian out of the level; this
    // frame still runs to its end.
    if (p.X <= 360 || p.X >= 46656 || p.Y <= 360 || p.Y >= 107856) p.Active = false;
    // Each scared pedestrian runs for its own second, then walks on at a new pace.
    if (p.PanicTime > 0) {
      p.PanicTime -= frameMs;
      if (p.PanicTime > 0) {
        stillRunning = true;
      } else {
        p.PanicTime = 0;
        if (p.Walking()) p.Pace = static_cast<std::uint8_t>(3 + Random(3));
      }
    }

    const int sx = Round(p.X - (kCell * MapColumnOffset - roadX));
    const int sy = Round(p.Y - (kCell * MapRowOffset - roadY));
    const int left = sx - kDrawOffset, top = sy - kDrawOffset;
    p.Visible = left >= -20 && left <= 700 && top >= -20 && top <= 600;
    if (p.Visible && player && Engine && p.Walking()) {
      const bool runOver = Engine->SpriteAt(left, top) == player || Engine->SpriteAt(sx - 4, top) == player ||
                           Engine->SpriteAt(left, sy - 4) == player ||
                           Engine->SpriteAt(sx - 4, sy - 4) == player;
      if (runOver) {
        KnockDown(p, WalkLying);
        RacePlaySound(p.Girl ? "KillW" : "Kill");
        player->Bump(0.9);
        if (BloodCounter < 1)
          BloodCounter = 50;
        else if (BloodCounter < 30)
          BloodCounter = 30;
      }
    }
    if (p.Visible) HitByRocket(p);

    // The fallen stay where they fell.
    if (p.Walking()) Walk(p, oldAnimPos);
  }
  if (panic_ && !stillRunning) panic_ = false;
}

TPictureCollectionItem* TMan::PictureFor(const TPedestrian& p) const {
  const int way = p.Direction <= WalkDown ? static_cast<int>(p.Direction) : 0;
  return pictures_[static_cast<std::size_t>((p.Girl ? 5 : 0) + way)];
}

void TMan::DrawSelf() {
  if (!Visible || !Engine || !Engine->Surface()) return;
  TDirectDrawSurface& surface = *Engine->Surface();
  const double roadX = RaceRoadX(), roadY = RaceRoadY();
  for (const TPedestrian& p : slots_) {
    if (!p.Active || !p.Visible || p.Direction == WalkGone) continue;
    TPictureCollectionItem* picture = PictureFor(p);
    if (!picture || picture->PatternCount() == 0) continue;
    // An animation position of exactly 4 shows the last pattern rather than one past it.
    const int pattern = std::min(static_cast<int>(p.AnimPos), picture->PatternCount() - 1);
    const int sx = Round(p.X - (kCell * MapColumnOffset - roadX));
    const int sy = Round(p.Y - (kCell * MapRowOffset - roadY));
    picture->Draw(surface, sx - kDrawOffset, sy - kDrawOffset, pattern);
  }
}

int TMan::CountWalking() const {
  return static_cast<int>(std::count_if(slots_.begin(), slots_.end(),
                                        [](const TPedestrian& p) { return p.Active && p.Walking(); }));
}

int TMan::CountLying() const {
  return static_cast<int>(std::count_if(slots_.begin(), slots_.end(), [](const TPedestrian& p) {
    return p.Active && p.Direction == WalkLying;
  }));
}

}  // namespace kestrune
