#pragma once
// The finish line, drawn across the road fifty rows below the top of the level's road. Its
// reached flag, set once the car has driven past it, ends the level as won: the countdown stops
// and the car rolls out and is paid for the time left.

#include <cstdint>

#include "game/MyImageSprite.h"

namespace kestrune {

class TFinish : public TMyImageSprite {
 public:
  explicit TFinish(std::uint8_t imageLibrary);
  ~TFinish() override;
  // The race's finish line ("FinishLine", library 2, Z 5), placed for the current level.
  static TFinish* Create();

  // Puts the line on the current level's road and clears the reached flag.
  void Reset();
  // Follows the road and sets the reached flag once the line lies below the car.
  void MoveSelf(std::int32_t moveCount) override;
  // One picture per lane strictly between the left edge and the right edge of the line's row.
  void DrawSelf() override;

  // The line's map row times 72: 111600 - 72 L, fifty rows below the top of the road.
  static std::int32_t LinePositionFor(std::int32_t roadLength) { return 111600 - 72 * roadLength; }

  // How much of the way from the level's start to the line the car has driven, 0..100 percent:
  // carMapY is the map y of the car's top edge.
  double Progress(double carMapY) const;

  bool Reached = false;
  std::int32_t LinePosition = 0;  // map pixels
};

}  // namespace kestrune
