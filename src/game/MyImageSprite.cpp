#include "game/MyImageSprite.h"

#include <algorithm>

#include "framework/PictureCollection.h"
#include "framework/Rounding.h"

namespace kestrune {

TGameSpriteWorld& GameSpriteWorld() {
  static TGameSpriteWorld world;
  return world;
}

TMyImageSprite::TMyImageSprite(std::uint8_t imageLibrary) : TImageSprite(GameSpriteWorld().Root) {
  ImageLibrary = imageLibrary;
  AnimPos = 0;
  AnimSpeed = 0;
  AnimLooped = true;
  if (Picture) AnimCount = Picture->PatternCount();
}

void TMyImageSprite::SetPictureByName(const std::string& name) {
  TPictureCollection* library = ImageLibrary == 1   ? GameSpriteWorld().ImageList1
                                : ImageLibrary == 2 ? GameSpriteWorld().ImageList2
                                                    : nullptr;
  if (!library) return;
  TPictureCollectionItem& item = library->FindPicture(name);
  SetPicture(&item);
  Width = item.GetWidth();
  Height = item.GetHeight();
  AnimPos = LastAnimPos = PrevAnimPos = 0;
  AnimCount = item.PatternCount();
}

void TMyImageSprite::StartAnimation(const std::string& name, std::int32_t animRate) {
  SetPictureByName(name);
  AnimPos = LastAnimPos = PrevAnimPos = 0;
  AnimLooped = true;
  AnimCount = Picture ? Picture->PatternCount() : 0;
  AnimRate = animRate;
}

void TMyImageSprite::SetPictureCentred(const std::string& name, double centreX, double centreY) {
  SetPictureByName(name);
  X = centreX - Width / 2.0;
  Y = centreY - Height / 2.0;
}

void TMyImageSprite::Kill() {
  if (KillMarked) return;
  MarkDead();
  KillMarked = true;
}

void TMyImageSprite::MoveSelf(std::int32_t moveCount) {
  PrevAnimPos = AnimPos;
  TImageSprite::MoveSelf(moveCount);
  // A position that would round to one past the last pattern starts the animation again.
  if (AnimPos > AnimCount - 0.5) AnimPos = 0;
  CentreX = Trunc(X + Width / 2.0);
  CentreY = Trunc(Y + Height / 2.0);
  const bool wrapped = AnimPos < LastAnimPos;
  if (DieAtAnimEnd && wrapped) Kill();
  if (HideAtAnimEnd && wrapped) Visible = false;
  LastAnimPos = AnimPos;
  if (AnimRate > 0) {
    const std::int32_t* frameTime = GameSpriteWorld().FrameTimeMs;
    // A frame period below 1 ms (above 1000 frames per second) counts as 1 ms.
    const std::int32_t ms = std::max<std::int32_t>(frameTime ? *frameTime : 15, 1);
    AnimSpeed = (1.0 / ms) * AnimRate / 100.0;
  }
}

void TMyImageSprite::DrawSelf() {
  if (!Visible) return;
  if (AlphaDraw && Alpha != 255) {
    if (!Picture || !Engine || !Engine->Surface()) return;
    const TRect r{Trunc(X), Trunc(Y), Trunc(X + Width), Trunc(Y + Height)};
    Picture->DrawAlpha(*Engine->Surface(), r, Trunc(AnimPos), Alpha);
    return;
  }
  TImageSprite::DrawSelf();
}

}  // namespace kestrune
