#pragma once
// Street lamps. They hold no state of their own: a lamp stands on every edge tile of the road
// whose map row is a multiple of 5, so one manager sprite draws them from the map window and
// tests each one's post against the player's car, which bounces off it as off a wall.

#include <array>
#include <cstdint>

#include "game/MyImageSprite.h"

namespace kestrune {

class TPictureCollectionItem;

// Where a lamp stands on an edge tile: its picture, drawn with its top edge on the cell's top
// edge and DrawX pixels right of the cell's left edge, and the post's foot, the point the car
// touches, relative to the cell's top-left corner.
struct TLampPlace {
  std::uint8_t Tile;
  const char* Picture;
  int DrawX;
  int ContactX, ContactY;
};
// The lamp of an edge tile; null for a tile that carries none.
const TLampPlace* LampPlaceFor(int tile);
// Lamps stand only on map rows whose number is a multiple of 5.
constexpr bool IsLampRow(int row) { return row % 5 == 0; }

class TLamp : public TMyImageSprite {
 public:
  explicit TLamp(std::uint8_t imageLibrary);
  ~TLamp() override;
  // The race's lamp manager: library 2, Z 9, at (0, 0).
  static TLamp* Create();

  void MoveSelf(std::int32_t moveCount) override;
  void DrawSelf() override;

 private:
  // Calls f(place, cell left, cell top) for every lamp of the window's rows 0..9, columns 0..12.
  template <typename F>
  void ForEachVisibleLamp(F&& f) const;

  std::array<TPictureCollectionItem*, 10> pictures_{};  // by the place's index in the table
};

}  // namespace kestrune
