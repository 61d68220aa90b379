#pragma once
// The sprites of the menus: a button with a normal and a highlighted look, and the blinking
// text cursor of the typed fields.

#include <cstdint>
#include <string>

#include "game/MyImageSprite.h"

namespace kestrune {

class TMenuButton : public TMyImageSprite {
 public:
  // Shows the normal picture at its normal pattern with the top-left corner at (x, y), Z 4.
  TMenuButton(std::uint8_t imageLibrary, const std::string& highlightPicture,
              const std::string& normalPicture, std::int32_t highlightPattern, std::int32_t normalPattern,
              double x, double y);

  void ApplyNormalLook();
  void ApplyHighlightLook();
  // The mouse hit box from the top-left corner: HitWidth x HitHeight, or the picture's size where
  // they are -1.
  bool Contains(std::int32_t x, std::int32_t y) const;

  std::string HighlightPicture;
  std::string NormalPicture;
  std::int32_t HighlightPattern = 0;
  std::int32_t NormalPattern = 0;
  std::int32_t HitWidth = -1, HitHeight = -1;
  bool Highlighted = false;
  // While set, the normal look puts the button at Z 15 and the highlighted one at Z 17.
  bool RaiseWhenHighlighted = false;

 private:
  void ApplyLook(const std::string& picture, std::int32_t pattern);
};

// A text cursor that blinks while Blinking is set and hides otherwise: it turns visible at its
// first move after blinking starts and toggles every BlinkPeriod milliseconds.
class TMyCursor : public TMyImageSprite {
 public:
  TMyCursor(std::uint8_t imageLibrary, const std::string& pictureName, double x, double y, std::int32_t z,
            std::int32_t blinkPeriod);

  void MoveSelf(std::int32_t moveCount) override;

  std::int32_t BlinkPeriod = 0;
  std::int32_t BlinkCountdown = 0;
  bool Blinking = false;
};

}  // namespace kestrune
