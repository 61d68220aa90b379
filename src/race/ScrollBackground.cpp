#include "race/ScrollBackground.h"

#include "framework/PictureCollection.h"
#include "game/GameState.h"
#include "game/MyImageSprite.h"
#include "race/Race.h"
#include "race/RoadMap.h"
#include "race/vehicles/Player.h"

namespace kestrune {

TScrollBackground::TScrollBackground(std::uint8_t librarySelector, std::int32_t mapWidth,
                                     std::int32_t mapHeight, const std::string& pictureName)
    : TBackgroundSprite(GameSpriteWorld().Root) {
  SetMapSize(mapWidth, mapHeight);
  SetZ(2);
  X = Y = 0;
  VelocityX = VelocityY = 0;
  ScrollVelocityX = ScrollVelocityY = 0;
  SetPicture(pictureName, librarySelector);
}

TScrollBackground::~TScrollBackground() {
  if (RaceRoad == this) RaceRoad = nullptr;
}

void TScrollBackground::SetPicture(const std::string& name, std::uint8_t librarySelector) {
  LibrarySelector = librarySelector;
  TPictureCollection* library = librarySelector == 1   ? GameSpriteWorld().ImageList1
                                : librarySelector == 2 ? GameSpriteWorld().ImageList2
                                                       : nullptr;
  if (!library) return;
  // The sprite takes the size of the whole chip window rather than of one tile: the engine skips
  // sprites whose box misses the screen, and a one-tile box would vanish the frame the road
  // stands exactly one tile to the left.
  SetMapPicture(&library->FindPicture(name));
}

void TScrollBackground::Kill() {
  if (Killed) return;
  MarkDead();
  Killed = true;
}

int TScrollBackground::TileWidth() const {
  const int w = Picture ? Picture->GetWidth() : 0;
  return w > 0 ? w : TRoadMap::CellSize;
}

int TScrollBackground::TileHeight() const {
  const int h = Picture ? Picture->GetHeight() : 0;
  return h > 0 ? h : TRoadMap::CellSize;
}

void TScrollBackground::MoveSelf(std::int32_t moveCount) {
  TBackgroundSprite::MoveSelf(moveCount);
  VelocityX = ScrollVelocityX;
  VelocityY = ScrollVelocityY;
  X += 0.5 * VelocityX * GameState.SpeedScale;
  Y += 0.5 * VelocityY * GameState.SpeedScale;
  WrapAndShift();
  if (GameState.Screen == ScreenRace) TestObstacles();
}

// Keeps the sprite within one tile left of and above the screen's corner. Each time it wraps,
// the window moves one tile the way the road is travelling (by the velocity's sign, not by the
// side that overflowed), as far as the map allows; at the map's edge the picture just wraps.
void TScrollBackground::WrapAndShift() {
  const int w = TileWidth(), h = TileHeight();
  auto shiftColumns = [&] {
    if (VelocityX > 0 && MapColumnOffset > 0) --MapColumnOffset;
    if (VelocityX < 0 && MapColumnOffset + TRoadMap::WindowColumns < TRoadMap::Columns) ++MapColumnOffset;
  };
  auto shiftRows = [&] {
    if (VelocityY > 0 && MapRowOffset > 0) --MapRowOffset;
    if (VelocityY < 0 && MapRowOffset + TRoadMap::WindowRows < TRoadMap::Rows) ++MapRowOffset;
  };
  if (X > 0) {
    X -= w;
    shiftColumns();
  }
  if (X < -w) {
    X += w;
    shiftColumns();
  }
  if (Y > 0) {
    Y -= h;
    shiftRows();
  }
  if (Y < -h) {
    Y += h;
    shiftRows();
  }
}

bool TScrollBackground::SolidQuad(int code, double cellX, double cellY, TQuad& quad) {
  double left, right, top, bottom;
  switch (code) {
    case 59:
      left = 0, right = 35, top = 0, bottom = 72;
      break;
    case 39:
      left = 37, right = 72, top = 0, bottom = 72;
      break;
    case 40:
      left = 0, right = 72, top = 58, bottom = 72;
      break;
    case 41:
      left = 65, right = 72, top = 0, bottom = 68;
      break;
    case 42:
    case 43:
    case 44:
      left = 0, right = 64, top = 0, bottom = 64;
      break;
    default:
      return false;
  }
  quad = {{{cellX + left, cellY + top},
           {cellX + right, cellY + top},
           {cellX + right, cellY + bottom},
           {cellX + left, cellY + bottom}}};
  return true;
}

void TScrollBackground::TestObstacles() {
  TPlayer* player = RacePlayer;
  if (!player) return;
  const int cell = TRoadMap::CellSize;
  for (int m = 1; m <= TRoadMap::WindowRows; ++m) {
    for (int k = 1; k <= TRoadMap::WindowColumns; ++k) {
      TQuad wall;
      if (!SolidQuad(RoadMap.Get(MapRowOffset + m, MapColumnOffset + k), X + cell * k, Y + cell * m, wall))
        continue;
      if (!QuadsOverlap(wall, player->Corners)) continue;
      // The wall-hit reaction, once per move even when the car touches several solid cells
      // (the corner of a block is two).
      player->HitObstacle();
      return;
    }
  }
}

}  // namespace kestrune
