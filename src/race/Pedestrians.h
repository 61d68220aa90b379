#pragma once
// Men and women on the pavements beside the road. One manager sprite holds them all in a fixed
// table, places them along the whole road at every level start, walks them from cell to cell
// choosing their way by the paving tile under their feet, scatters them at the horn, and lets
// the player's car or a rocket knock them down.

#include <array>
#include <cstdint>

#include "game/MyImageSprite.h"

namespace kestrune {

class TPictureCollectionItem;

// Where a pedestrian is heading; Lying after being run over, Gone after a rocket hit.
enum TWalk : std::uint8_t {
  WalkLying = 0,
  WalkLeft = 1,
  WalkRight = 2,
  WalkUp = 3,
  WalkDown = 4,
  WalkGone = 255
};

struct TPedestrian {
  bool Active = false;
  bool Girl = false;
  double X = 0, Y = 0;  // map pixels; the cell is (X div 72, Y div 72)
  std::uint8_t Direction = WalkLying;
  std::uint8_t NextDirection = WalkLying;  // taken over on reaching the next cell
  bool Visible = true;                     // on or near the screen this frame
  std::uint8_t Pace = 0;                   // 3..5 walking, 8 in panic, 0 lying
  double AnimPos = 0;                      // 0 up to 4; its whole part is the pattern drawn
  double PanicTime = 0;                    // ms of running left
  std::int32_t CellColumn = 0, CellRow = 0;
  std::int32_t TargetColumn = 0, TargetRow = 0;

  bool Walking() const { return Direction >= WalkLeft && Direction <= WalkDown; }
};

class TMan : public TMyImageSprite {
 public:
  static constexpr int Slots = 600;
  static constexpr double PanicMs = 1000;
  static constexpr std::uint8_t PanicPace = 8;

  explicit TMan(std::uint8_t imageLibrary);
  ~TMan() override;
  // The race's pedestrian manager ("Man_Up", library 2, Z 6, at (0, 0)), placed for the level.
  static TMan* Create();

  // Places the level's pedestrians: one slot per pass (left pavement, then right) and per map
  // row that is a multiple of 5, from the top of the road down to row 1490.
  void Reset();
  // The horn: every walking pedestrian on or near the screen runs at pace 8 for a second.
  void Panic();
  // Ends the panic at once for everyone.
  void EndPanic();
  bool Panicking() const { return panic_; }
  // A gun shot passing the map point kills every walking pedestrian within 50 pixels of it in
  // both directions; true when anyone died.
  bool ShootAt(double mapX, double mapY);

  void MoveSelf(std::int32_t moveCount) override;
  void DrawSelf() override;

  // Way choice code by direction (1..4) and the tile under the pedestrian: 0 back, 1 ahead,
  // 2 side A, 3 side B, 4 side A or ahead, 5 ahead or side B, 6 side B or side A, 7 any but back.
  static int WayChoice(int direction, int tile);

  // Slot n = 1..600.
  TPedestrian& Slot(int n) { return slots_.at(static_cast<std::size_t>(n - 1)); }
  const TPedestrian& Slot(int n) const { return slots_.at(static_cast<std::size_t>(n - 1)); }
  // Slots the last reset filled or marked (two per scanned row).
  int SlotsUsed() const { return slotsUsed_; }
  int CountWalking() const;
  int CountLying() const;

 private:
  void Walk(TPedestrian& p, double oldAnimPos);
  // The first flying rocket whose nose lies in the pedestrian's square explodes on it.
  void HitByRocket(TPedestrian& p);
  void KnockDown(TPedestrian& p, std::uint8_t direction);
  TPictureCollectionItem* PictureFor(const TPedestrian& p) const;

  std::array<TPedestrian, Slots> slots_{};
  int slotsUsed_ = 0;
  bool panic_ = false;
  // "Man_" then "Girl_" pictures, each Laying, Left, Right, Up, Down.
  std::array<TPictureCollectionItem*, 10> pictures_{};
};

}  // namespace kestrune
