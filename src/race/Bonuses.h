#pragma once
// Pick-up bonuses on the lanes: points, an extra life, nitro, a machine gun or a rocket
// projector. One manager sprite holds the level's table; the bonuses are placed at random on
// the two middle lanes at every level start and collected by driving over them.

#include <array>
#include <cstdint>

#include "game/MyImageSprite.h"

namespace kestrune {

class TPictureCollectionItem;

struct TBonusKind {
  const char* Picture;
  std::int32_t Points;
  int Gift;  // what the player is given (1 life, 2 nitro, 3 machine gun, 4 rockets); 0 nothing
  const char* Sound;
};
// Kinds 1..8; null for any other.
const TBonusKind* BonusKind(int kind);

struct TBonusSlot {
  bool Active = false;
  std::int32_t Column = 0, Row = 0;  // map cell
  std::uint8_t Kind = 0;             // 1..8; 0 none
};

class TBonus : public TMyImageSprite {
 public:
  static constexpr int Slots = 400;
  static constexpr int ExtraLivesPerLevel = 2;

  explicit TBonus(std::uint8_t imageLibrary);
  ~TBonus() override;
  // The race's bonus manager (library 2, Z 5, at (0, 0)), placed for the current level.
  static TBonus* Create();

  // Places the level's bonuses on the current road map.
  void Reset();
  // Collects the bonuses the player's car touches.
  void MoveSelf(std::int32_t moveCount) override;
  void DrawSelf() override;

  // Slots in use this level: the first BonusLevelValue ones.
  int UsedSlots() const;
  // Slot n = 1..400.
  const TBonusSlot& Slot(int n) const { return slots_.at(static_cast<std::size_t>(n - 1)); }
  TBonusSlot& Slot(int n) { return slots_.at(static_cast<std::size_t>(n - 1)); }

 private:
  std::array<TBonusSlot, Slots> slots_{};
  std::array<TPictureCollectionItem*, 9> pictures_{};  // by kind
};

}  // namespace kestrune
