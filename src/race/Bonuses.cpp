#include "race/Bonuses.h"

#include <algorithm>

#include "framework/PictureCollection.h"
#include "framework/Random.h"
#include "framework/Rounding.h"
#include "game/GameState.h"
#include "game/RaceServices.h"
#include "race/Race.h"
#include "race/RoadMap.h"
#include "race/vehicles/Player.h"

namespace kestrune {

namespace {

constexpr TBonusKind kKinds[] = {
    {"Bonus10", 10, 0, "Score"},   {"Bonus20", 20, 0, "Score"},  {"Bonus50", 50, 0, "Score"},
    {"Bonus100", 100, 0, "Score"}, {"BonusL", 50, 1, "Bonus"},   {"BonusN", 30, 2, "Bonus"},
    {"BonusMGnp", 20, 3, "Bonus"}, {"BonusRnp", 20, 4, "Bonus"},
};
constexpr int kExtraLife = 5;
// The picture sits 19 pixels into its cell; these are its corners that touch the car.
constexpr int kInset = 19, kFarX = 54, kFarY = 53;

}  // namespace

const TBonusKind* BonusKind(int kind) { return kind >= 1 && kind <= 8 ? &kKinds[kind - 1] : nullptr; }

TBonus::TBonus(std::uint8_t imageLibrary) : TMyImageSprite(imageLibrary) {}

TBonus::~TBonus() {
  if (RaceBonuses == this) RaceBonuses = nullptr;
}

TBonus* TBonus::Create() {
  TBonus* bonuses = CreateAt<TBonus>(2, "Bonus10", 0, 0, 5);
  if (TPictureCollection* library = GameSpriteWorld().ImageList2)
    for (int kind = 1; kind <= 8; ++kind)
      bonuses->pictures_[static_cast<std::size_t>(kind)] = &library->FindPicture(BonusKind(kind)->Picture);
  bonuses->Reset();
  return bonuses;
}

int TBonus::UsedSlots() const { return std::clamp(GameState.BonusLevelValue, 0, Slots); }

void TBonus::Reset() {
  for (TBonusSlot& slot : slots_) slot.Active = false;
  const int length = GameState.RoadLength;
  int extraLives = 0;
  for (int n = 1; n <= UsedSlots(); ++n) {
    TBonusSlot& slot = Slot(n);
    // A row from the first row beyond the finish's fifty down to six rows above the start.
    const int row = (1549 - length) + Random(length - 54);
    const std::uint8_t* cells = RoadMap.RowData(std::clamp(row, 1, TRoadMap::Rows));
    for (int k = 1; k <= TRoadMap::Columns; ++k) {
      if (cells[k - 1] != 1) continue;
      // On one of the two middle lanes of the road whose left edge this is; a road further right
      // in the same row takes the slot over.
      slot.Active = true;
      slot.Row = row;
      slot.Column = k + 1 + Random(2);
      int kind = 1 + Random(8);
      while (extraLives >= ExtraLivesPerLevel && kind == kExtraLife) kind = 1 + Random(8);
      if (kind == kExtraLife) ++extraLives;
      slot.Kind = static_cast<std::uint8_t>(kind);
    }
  }
}

void TBonus::MoveSelf(std::int32_t) {
  TPlayer* player = RacePlayer;
  if (!player || !Engine) return;
  const double roadX = RaceRoadX(), roadY = RaceRoadY();
  for (int n = 1; n <= UsedSlots(); ++n) {
    TBonusSlot& slot = Slot(n);
    if (!slot.Active) continue;
    const int x = Round(roadX + TRoadMap::CellSize * (slot.Column - MapColumnOffset));
    const int y = Round(roadY + TRoadMap::CellSize * (slot.Row - MapRowOffset));
    if (x + kInset < -20 || x + kInset > 720 || y + kInset < -20 || y + kInset > 620) continue;
    const bool touched = Engine->SpriteAt(x + kInset, y + kInset) == player ||
                         Engine->SpriteAt(x + kFarX, y + kInset) == player ||
                         Engine->SpriteAt(x + kInset, y + kFarY) == player ||
                         Engine->SpriteAt(x + kFarX, y + kFarY) == player;
    if (!touched) continue;
    slot.Active = false;
    const TBonusKind* kind = BonusKind(slot.Kind);
    if (!kind) continue;
    player->AddScore(kind->Points);
    if (kind->Gift) player->GiveBonus(kind->Gift);
    RacePlaySound(kind->Sound);
  }
}

void TBonus::DrawSelf() {
  if (!Visible || !Engine || !Engine->Surface()) return;
  TDirectDrawSurface& surface = *Engine->Surface();
  const double roadX = RaceRoadX(), roadY = RaceRoadY();
  for (int n = 1; n <= UsedSlots(); ++n) {
    const TBonusSlot& slot = Slot(n);
    if (!slot.Active || slot.Kind < 1 || slot.Kind > 8) continue;
    if (slot.Column < MapColumnOffset || slot.Column > MapColumnOffset + TRoadMap::WindowColumns) continue;
    if (slot.Row < MapRowOffset || slot.Row > MapRowOffset + TRoadMap::WindowRows) continue;
    TPictureCollectionItem* picture = pictures_[slot.Kind];
    if (!picture) continue;
    picture->Draw(surface, Round(roadX + TRoadMap::CellSize * (slot.Column - MapColumnOffset)) + kInset,
                  Round(roadY + TRoadMap::CellSize * (slot.Row - MapRowOffset)) + kInset, 0);
  }
}

}  // namespace kestrune
