#include "shell/MenuButton.h"

#include "framework/PictureCollection.h"
#include "game/GameState.h"

namespace kestrune {

TMenuButton::TMenuButton(std::uint8_t imageLibrary, const std::string& highlightPicture,
                         const std::string& normalPicture, std::int32_t highlightPattern,
                         std::int32_t normalPattern, double x, double y)
    : TMyImageSprite(imageLibrary),
      HighlightPicture(highlightPicture),
      NormalPicture(normalPicture),
      HighlightPattern(highlightPattern),
      NormalPattern(normalPattern) {
  SetPictureByName(NormalPicture);
  AnimPos = NormalPattern;
  X = x;
  Y = y;
  SetZ(4);
}

void TMenuButton::ApplyLook(const std::string& picture, std::int32_t pattern) {
  // Attaching the picture again every frame would restart nothing visible but costs a lookup;
  // only a different picture is looked up.
  if (Picture == nullptr || Picture->Name() != picture) SetPictureByName(picture);
  AnimPos = pattern;
}

void TMenuButton::ApplyNormalLook() {
  if (RaiseWhenHighlighted) SetZ(15);
  ApplyLook(NormalPicture, NormalPattern);
}

void TMenuButton::ApplyHighlightLook() {
  if (RaiseWhenHighlighted) SetZ(17);
  ApplyLook(HighlightPicture, HighlightPattern);
}

bool TMenuButton::Contains(std::int32_t x, std::int32_t y) const {
  const std::int32_t w = HitWidth == -1 ? Width : HitWidth;
  const std::int32_t h = HitHeight == -1 ? Height : HitHeight;
  // Both edges belong to the box.
  return X <= x && x <= X + w && Y <= y && y <= Y + h;
}

TMyCursor::TMyCursor(std::uint8_t imageLibrary, const std::string& pictureName, double x, double y,
                     std::int32_t z, std::int32_t blinkPeriod)
    : TMyImageSprite(imageLibrary), BlinkPeriod(blinkPeriod) {
  SetPictureByName(pictureName);
  X = x;
  Y = y;
  SetZ(z);
  Visible = false;
}

void TMyCursor::MoveSelf(std::int32_t moveCount) {
  TMyImageSprite::MoveSelf(moveCount);
  if (!Blinking) {
    Visible = false;
    return;
  }
  if (BlinkCountdown - GameState.FrameTimeMs >= 0) {
    BlinkCountdown -= GameState.FrameTimeMs;
  } else {
    BlinkCountdown = BlinkPeriod;
    Visible = !Visible;
  }
}

}  // namespace kestrune
