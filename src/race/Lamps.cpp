#include "race/Lamps.h"

#include "framework/PictureCollection.h"
#include "framework/Rounding.h"
#include "race/Collision.h"
#include "race/Race.h"
#include "race/RoadMap.h"
#include "race/vehicles/Player.h"

namespace kestrune {

namespace {

constexpr TLampPlace kPlaces[] = {
    {1, "Lamp_L", 12, 12, 9},    {4, "Lamp_R", -28, 56, 9},   {5, "Lamp_RL", 42, 43, 1},
    {8, "Lamp_RR", 0, 73, 41},   {9, "Lamp_RL", 8, 9, 1},     {12, "Lamp_RR", -36, 37, 41},
    {13, "Lamp_LR", -48, 26, 1}, {16, "Lamp_LL", -6, -8, 41}, {17, "Lamp_LR", -12, 62, 1},
    {20, "Lamp_LL", 30, 31, 40},
};

// Tile code -> index into kPlaces + 1 (0: no lamp).
constexpr std::array<std::uint8_t, 256> kPlaceIndex = [] {
  std::array<std::uint8_t, 256> index{};
  for (std::size_t i = 0; i < std::size(kPlaces); ++i)
    index[kPlaces[i].Tile] = static_cast<std::uint8_t>(i + 1);
  return index;
}();

}  // namespace

const TLampPlace* LampPlaceFor(int tile) {
  if (tile < 0 || tile > 255) return nullptr;
  const std::uint8_t i = kPlaceIndex[static_cast<std::size_t>(tile)];
  return i ? &kPlaces[i - 1] : nullptr;
}

TLamp::TLamp(std::uint8_t imageLibrary) : TMyImageSprite(imageLibrary) {}

TLamp::~TLamp() {
  if (RaceLamps == this) RaceLamps = nullptr;
}

TLamp* TLamp::Create() {
  TLamp* lamps = CreateAt<TLamp>(2, "Lamp_L", 0, 0, 9);
  // The pictures are fixed names of the archive: find them once.
  if (TPictureCollection* library = GameSpriteWorld().ImageList2)
    for (std::size_t i = 0; i < std::size(kPlaces); ++i)
      lamps->pictures_[i] = &library->FindPicture(kPlaces[i].Picture);
  return lamps;
}

template <typename F>
void TLamp::ForEachVisibleLamp(F&& f) const {
  const int roadX = Round(RaceRoadX()), roadY = Round(RaceRoadY());
  for (int i = 0; i < TRoadMap::WindowRows; ++i) {
    const int row = MapRowOffset + i;
    if (!IsLampRow(row)) continue;
    for (int j = 0; j < TRoadMap::WindowColumns; ++j) {
      const TLampPlace* place = LampPlaceFor(RoadMap.Get(row, MapColumnOffset + j));
      if (place) f(*place, roadX + TRoadMap::CellSize * j, roadY + TRoadMap::CellSize * i);
    }
  }
}

void TLamp::MoveSelf(std::int32_t) {
  TPlayer* player = RacePlayer;
  if (!player) return;
  ForEachVisibleLamp([&](const TLampPlace& place, int cellX, int cellY) {
    const TPointD post{static_cast<double>(cellX + place.ContactX),
                       static_cast<double>(cellY + place.ContactY)};
    if (PointInQuad(post, player->Corners)) player->HitObstacle();
  });
}

void TLamp::DrawSelf() {
  if (!Visible || !Engine || !Engine->Surface()) return;
  TDirectDrawSurface& surface = *Engine->Surface();
  ForEachVisibleLamp([&](const TLampPlace& place, int cellX, int cellY) {
    if (TPictureCollectionItem* picture = pictures_[static_cast<std::size_t>(&place - kPlaces)])
      picture->Draw(surface, cellX + place.DrawX, cellY, 0);
  });
}

}  // namespace kestrune
