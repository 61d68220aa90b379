#pragma once
// Shared pieces of the road tile set ("Tiles"): 72 x 72 cells, one per tile code, drawn in
// groups on wide canvases and cut into cells so that lines and edges run on across borders.

#include <array>

#include "DrawKit.h"

namespace kestrune::art {

constexpr int kTile = 72;
constexpr int kTileCount = 64;  // an 8 x 8 grid; codes 61..63 repeat open ground
using TileSet = std::array<TPictureData, kTileCount>;

// Ground textures, 72 x 72 and seamless with themselves, so every cell starts alike.
enum class Ground { Asphalt, Paving, Grass, Gravel, Soil };
const TPictureData& GroundTexture(Ground ground);
// Fills the current path with the ground texture, aligned to the cell grid.
void FillGround(cairo_t* cr, Ground ground);
void PaintGround(cairo_t* cr, Ground ground);  // the whole clip

// Cuts cell `column` of a one-row canvas picture (row `row` for taller canvases).
TPictureData Cell(const TPictureData& strip, int column, int row = 0);

void DrawRoadTiles(TileSet& tiles);      // 1..29, 33..35, 58, 60
void DrawSceneryTiles(TileSet& tiles);   // 0, 30..32, 36..38, 45..57, 61..63
void DrawBuildingTiles(TileSet& tiles);  // 39..44, 59

}  // namespace kestrune::art
