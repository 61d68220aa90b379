#include "race/Finish.h"

#include <algorithm>

#include "framework/PictureCollection.h"
#include "framework/Rounding.h"
#include "game/GameState.h"
#include "race/Race.h"
#include "race/RoadMap.h"
#include "race/vehicles/Player.h"

namespace kestrune {

TFinish::TFinish(std::uint8_t imageLibrary) : TMyImageSprite(imageLibrary) {}

TFinish::~TFinish() {
  if (RaceFinish == this) RaceFinish = nullptr;
}

TFinish* TFinish::Create() {
  TFinish* finish = CreateAt<TFinish>(2, "FinishLine", 0, 0, 5);
  finish->Reset();
  return finish;
}

void TFinish::Reset() {
  LinePosition = LinePositionFor(GameState.RoadLength);
  Y = LinePosition;
  Reached = false;
}

void TFinish::MoveSelf(std::int32_t moveCount) {
  TMyImageSprite::MoveSelf(moveCount);
  Y = LinePosition - TRoadMap::CellSize * MapRowOffset + RaceRoadY();
  // The line is below the car's top edge: the car has crossed it going up. It stays crossed
  // for the rest of the level.
  if (RacePlayer && Y > RacePlayer->Y) Reached = true;
}

double TFinish::Progress(double carMapY) const {
  // Where the car's top edge starts on the map: window row 1488, road at 0, car at y 400.
  constexpr double kStart = 1488.0 * TRoadMap::CellSize + 400;
  if (Reached || LinePosition >= kStart) return 100;
  return std::clamp((kStart - carMapY) / (kStart - LinePosition) * 100, 0.0, 100.0);
}

void TFinish::DrawSelf() {
  if (!Visible || !Picture || !Engine || !Engine->Surface()) return;
  const int row = LinePosition / TRoadMap::CellSize;
  if (!TRoadMap::Contains(row, 1)) return;
  const int y = Round(RaceRoadY() + LinePosition - TRoadMap::CellSize * MapRowOffset);
  if (y < -Height || y > Engine->Surface()->Height()) return;
  const std::uint8_t* cells = RoadMap.RowData(row);
  int first = 0, last = 0;
  for (int c = 1; c <= TRoadMap::Columns && !first; ++c)
    if (cells[c - 1] == 1) first = c;
  for (int c = TRoadMap::Columns; c >= 1 && !last; --c)
    if (cells[c - 1] == 4) last = c;
  if (!first || !last) return;
  const int roadX = Round(RaceRoadX());
  for (int c = first + 1; c <= last - 1; ++c)
    Picture->Draw(*Engine->Surface(), roadX + TRoadMap::CellSize * (c - MapColumnOffset), y, 0);
}

}  // namespace kestrune
