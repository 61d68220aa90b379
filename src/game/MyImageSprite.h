#pragma once
// The base of every game object: an image sprite that takes its pictures by name from one of the
// two image libraries, can draw itself alpha-blended, animates at a rate independent of the frame
// rate, and can kill or hide itself when its animation wraps.

#include <cstdint>
#include <string>

#include "framework/Sprite.h"

namespace kestrune {

class TPictureCollection;

// Where game sprites are created and where they find their pictures and the frame period. The main
// window fills this in when it creates its components and clears it when it frees them.
struct TGameSpriteWorld {
  TSpriteEngine* Root = nullptr;             // parent of every game sprite
  TPictureCollection* ImageList1 = nullptr;  // pictures of library 1
  TPictureCollection* ImageList2 = nullptr;  // pictures of library 2
  const std::int32_t* FrameTimeMs = nullptr;  // the frame period in whole ms; null: 15 (before the first frame)
};
TGameSpriteWorld& GameSpriteWorld();

class TMyImageSprite : public TImageSprite {
 public:
  // Creates the sprite under the world's root (without engine when there is none yet).
  explicit TMyImageSprite(std::uint8_t imageLibrary);

  // A new sprite showing the named picture with its top-left corner at (x, y).
  template <typename T = TMyImageSprite>
  static T* CreateAt(std::uint8_t imageLibrary, const std::string& pictureName, double x, double y, std::int32_t z) {
    T* sprite = new T(imageLibrary);
    sprite->SetPictureByName(pictureName);
    sprite->X = x;
    sprite->Y = y;
    sprite->SetZ(z);
    return sprite;
  }
  // A new sprite showing the named picture centred on (centreX, centreY).
  template <typename T = TMyImageSprite>
  static T* CreateCentred(std::uint8_t imageLibrary, const std::string& pictureName, double centreX, double centreY,
                          std::int32_t z) {
    T* sprite = new T(imageLibrary);
    sprite->SetPictureByName(pictureName);
    sprite->X = centreX - sprite->Width / 2.0;
    sprite->Y = centreY - sprite->Height / 2.0;
    sprite->SetZ(z);
    return sprite;
  }

  void MoveSelf(std::int32_t moveCount) override;
  void DrawSelf() override;

  // Finds the picture in the chosen library (EPictureCollectionError when it is missing) and shows
  // it from its first pattern. Nothing happens when ImageLibrary is neither 1 nor 2.
  void SetPictureByName(const std::string& name);
  // Shows the picture and runs its patterns as a looped animation at the given rate.
  void StartAnimation(const std::string& name, std::int32_t animRate);
  // Shows the picture centred on (centreX, centreY).
  void SetPictureCentred(const std::string& name, double centreX, double centreY);
  // Puts the sprite on the engine's dead list; further calls do nothing.
  void Kill();

  bool AlphaDraw = false;
  // Blend level 0..255 used when AlphaDraw is set; 255 draws plainly. Passed on unclamped.
  std::int32_t Alpha = 255;
  // Patterns per frame period in percent; 0 leaves AnimSpeed to the owner.
  std::int32_t AnimRate = 0;
  std::uint8_t ImageLibrary = 0;
  bool DieAtAnimEnd = false;
  bool HideAtAnimEnd = false;
  double LastAnimPos = 0;
  double PrevAnimPos = 0;  // AnimPos before the current move's animation step
  std::int32_t CentreX = 0, CentreY = 0;
  bool KillMarked = false;
};

}  // namespace kestrune
