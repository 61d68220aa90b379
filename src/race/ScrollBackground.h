#pragma once
// The road sprite: draws a 13 x 10 tile window of the road map and scrolls it under the player's
// car, shifting the window one tile whenever the sprite has moved a whole tile, and tests the car
// against the solid roadside tiles (block walls and kiosks) in view.

#include <cstdint>
#include <string>

#include "framework/Sprite.h"
#include "race/Collision.h"

namespace kestrune {

class TScrollBackground : public TBackgroundSprite {
 public:
  // A road of mapWidth x mapHeight chips showing the named picture from image library 1 or 2,
  // under the game's sprite root, at X = Y = 0 with zero velocity. The race uses (2, 13, 10, "Tiles").
  TScrollBackground(std::uint8_t librarySelector, std::int32_t mapWidth, std::int32_t mapHeight,
                    const std::string& pictureName);
  // Freed with the sprite tree: the race forgets its road.
  ~TScrollBackground() override;

  void MoveSelf(std::int32_t moveCount) override;

  // Looks the picture up in the chosen library (EPictureCollectionError when missing).
  void SetPicture(const std::string& name, std::uint8_t librarySelector);
  // Puts the sprite on the dead list once.
  void Kill();

  // Size of one tile: the picture's pattern size, 72 before a picture is attached.
  int TileWidth() const;
  int TileHeight() const;

  // The solid part of a tile code as a quad at the cell's screen position; false for tiles that
  // are not solid.
  static bool SolidQuad(int code, double cellX, double cellY, TQuad& quad);

  std::uint8_t LibrarySelector = 0;
  double VelocityX = 0, VelocityY = 0;  // the road velocity as of this move
  bool Killed = false;

 private:
  void WrapAndShift();
  void TestObstacles();
};

}  // namespace kestrune
