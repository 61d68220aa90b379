// The road and paving cells of "Tiles".
//
// Road geometry: in a straight row every lane line and road edge lies on a cell border
// (x = k * 72). A shift moves every line 72 px sideways over two rows, half a cell per row, so
// each line runs from a cell corner to the middle of the cell's top edge (lower row) and on
// from the middle of the bottom edge to the far corner (upper row). Lines are drawn as bands of
// constant horizontal width, so their cross-section is the same on both sides of every row
// border. Each group of cells that sits side by side in a road row is drawn as one strip and
// cut into cells, so a line or kerb that crosses a cell border is split exactly.
//
// Road edges: a light kerb on the road side of the edge line and a dark edge stone on the
// paving side; whatever lies outside the road in a road row is paving. The paving cells carry
// edge stones on the sides where their path is closed, so paths read as paths.

#include <limits>
#include <vector>

#include "Library2.h"
#include "TileKit.h"

namespace kestrune::art {
namespace {

const Rgb kLineWhite = Hex(0xEEEDE4);
const Rgb kLineYellow = Hex(0xF2BE2A);
const Rgb kKerb = Hex(0xC4C1B8);
const Rgb kStone = Hex(0x8A8276);

enum class Mark { EdgeLeft, EdgeRight, Dash, Centre };

struct Line {
  double bottom, top;  // x of the line's centre at the bottom and at the top of the row
  Mark mark;
  double At(double y) const { return top + (bottom - top) * y / kTile; }
};

struct Strip {
  std::vector<int> codes;  // the code of every column (road codes draw nothing on their own)
  std::vector<Line> lines;
  std::vector<int> cut;  // the codes this strip provides
};

// A band from (line + a) to (line + b) between rows y0 and y1.
void Band(cairo_t* cr, const Line& line, double a, double b, double y0, double y1) {
  cairo_move_to(cr, line.At(y1) + a, y1);
  cairo_line_to(cr, line.At(y1) + b, y1);
  cairo_line_to(cr, line.At(y0) + b, y0);
  cairo_line_to(cr, line.At(y0) + a, y0);
  cairo_close_path(cr);
}

struct PavingSides {
  bool top, bottom, left, right;
  bool stubTopLeft, stubTopRight, stubBottomLeft, stubBottomRight;
};

bool IsPaving(int code) { return (code >= 23 && code <= 29) || code == 58 || code == 60; }

PavingSides SidesOf(int code) {
  switch (code) {
    case 23: return {false, false, true, true, false, false, false, false};
    case 24: return {true, true, false, false, false, false, false, false};
    case 25: return {false, false, false, false, true, true, true, true};
    case 26: return {true, false, true, false, false, false, false, true};
    case 27: return {true, false, false, true, false, false, true, false};
    case 28: return {false, true, false, true, true, false, false, false};
    case 29: return {false, true, true, false, false, true, false, false};
    case 58: return {false, false, false, true, true, false, true, false};
    case 60: return {false, false, true, false, false, true, false, true};
    default: return {};
  }
}

// Edge stones of a paving cell whose left edge is at x0.
void DrawPavingStones(cairo_t* cr, int code, double x0) {
  const PavingSides s = SidesOf(code);
  constexpr double w = 3;
  auto stone = [&](double x, double y, double sw, double sh) {
    cairo_rectangle(cr, x0 + x, y, sw, sh);
    SetColor(cr, kStone);
    cairo_fill(cr);
  };
  if (s.top) stone(0, 0, kTile, w);
  if (s.bottom) stone(0, kTile - w, kTile, w);
  if (s.left) stone(0, 0, w, kTile);
  if (s.right) stone(kTile - w, 0, w, kTile);
  if (s.stubTopLeft) stone(0, 0, w, w);
  if (s.stubTopRight) stone(kTile - w, 0, w, w);
  if (s.stubBottomLeft) stone(0, kTile - w, w, w);
  if (s.stubBottomRight) stone(kTile - w, kTile - w, w, w);
}

void DrawEdge(cairo_t* cr, const Line& line) {
  constexpr double kerb = 6, stone = 3;
  const bool left = line.mark == Mark::EdgeLeft;  // road on the right of the line
  const double side = left ? 1 : -1;
  // Edge stone on the paving side.
  Band(cr, line, -side * stone, 0, 0, kTile);
  SetColor(cr, kStone);
  cairo_fill(cr);
  // Kerb on the road side: light top, a lit rim on the upper-left face, joints every 12 px.
  Band(cr, line, 0, side * kerb, 0, kTile);
  SetColor(cr, kKerb);
  cairo_fill(cr);
  Band(cr, line, left ? 0 : -kerb, left ? 1.5 : -kerb + 1.5, 0, kTile);
  SetColor(cr, Lighter(kKerb, 0.45));
  cairo_fill(cr);
  Band(cr, line, left ? kerb - 1 : -1, left ? kerb : 0, 0, kTile);
  SetColor(cr, Darker(kKerb, 0.3));
  cairo_fill(cr);
  cairo_set_line_width(cr, 0.8);
  for (double y = 6; y < kTile; y += 12) {
    cairo_move_to(cr, line.At(y), y);
    cairo_line_to(cr, line.At(y) + side * kerb, y);
  }
  SetColor(cr, Darker(kKerb, 0.35));
  cairo_stroke(cr);
  if (left) {
    // The kerb's shadow on the road (light from the upper left).
    Band(cr, line, kerb, kerb + 2.5, 0, kTile);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.3);
    cairo_fill(cr);
  }
}

void DrawLaneLine(cairo_t* cr, const Line& line) {
  constexpr double half = 2;
  if (line.mark == Mark::Dash) {
    Band(cr, line, -half, half, 15, 51);
    SetColor(cr, kLineWhite);
  } else {
    Band(cr, line, -half, half, 0, kTile);
    SetColor(cr, kLineYellow);
  }
  cairo_fill(cr);
}

// Median hatching of a 21 or 22 cell at x0: chevron stripes (21 and 22 lean opposite ways)
// inside a yellow border that the neighbouring cells share.
void DrawHatch(cairo_t* cr, int code, double x0) {
  cairo_save(cr);
  cairo_rectangle(cr, x0 + 6, 0, kTile - 12, kTile);
  cairo_clip(cr);
  const double lean = code == 21 ? 1 : -1;
  for (double k = -kTile; k < 2 * kTile; k += 18) {
    const double xa = x0 + (lean > 0 ? k : kTile - k);
    cairo_move_to(cr, xa, 0);
    cairo_line_to(cr, xa + lean * 5, 0);
    cairo_line_to(cr, xa + lean * 5 - lean * kTile, kTile);
    cairo_line_to(cr, xa - lean * kTile, kTile);
    cairo_close_path(cr);
  }
  SetColor(cr, kLineWhite, 0.85);
  cairo_fill(cr);
  cairo_restore(cr);
}

std::vector<TPictureData> RenderStrip(const Strip& strip) {
  const int columns = static_cast<int>(strip.codes.size());
  Canvas canvas(columns * kTile, kTile, 4);
  cairo_t* cr = canvas.Body();
  PaintGround(cr, Ground::Paving);
  for (int c = 0; c < columns; ++c)
    if (IsPaving(strip.codes[c])) DrawPavingStones(cr, strip.codes[c], c * kTile);

  // The road surface between the two edges (an edge outside the strip leaves that side open).
  const double far = columns * kTile + kTile;
  Line leftEdge{-far, -far, Mark::EdgeLeft}, rightEdge{far, far, Mark::EdgeRight};
  bool anyRoad = false;
  for (const Line& l : strip.lines) {
    if (l.mark == Mark::EdgeLeft) leftEdge = l;
    if (l.mark == Mark::EdgeRight) rightEdge = l;
    anyRoad = true;
  }
  if (anyRoad) {
    cairo_move_to(cr, leftEdge.bottom, kTile);
    cairo_line_to(cr, leftEdge.top, 0);
    cairo_line_to(cr, rightEdge.top, 0);
    cairo_line_to(cr, rightEdge.bottom, kTile);
    cairo_close_path(cr);
    FillGround(cr, Ground::Asphalt);
  }
  for (int c = 0; c < columns; ++c)
    if (strip.codes[c] == 21 || strip.codes[c] == 22) DrawHatch(cr, strip.codes[c], c * kTile);
  for (const Line& l : strip.lines) {
    if (l.mark == Mark::EdgeLeft || l.mark == Mark::EdgeRight)
      DrawEdge(cr, l);
    else
      DrawLaneLine(cr, l);
  }

  const TPictureData picture = canvas.Finish(false);
  std::vector<TPictureData> cells;
  for (int c = 0; c < columns; ++c) cells.push_back(Cell(picture, c));
  return cells;
}

// Lines of a four-lane row: edge, dash, centre, dash, edge at bottom[i] -> top[i].
std::vector<Line> FourLanes(double bottom0, double top0) {
  std::vector<Line> lines;
  const Mark marks[5] = {Mark::EdgeLeft, Mark::Dash, Mark::Centre, Mark::Dash, Mark::EdgeRight};
  for (int i = 0; i < 5; ++i) lines.push_back({bottom0 + i * kTile, top0 + i * kTile, marks[i]});
  return lines;
}

Line Straight(double x, Mark mark) { return {x, x, mark}; }

std::vector<Strip> RoadStrips() {
  const double t = kTile, h = kTile / 2.0;
  std::vector<Strip> strips;
  // Straight road.
  strips.push_back({{23, 1, 2, 3, 4, 23}, FourLanes(t, t), {1, 2, 3, 4}});
  // Shift to the right: lower row (5..8, right edge in 26), upper row (left edge in 28, 9..12).
  strips.push_back({{25, 5, 6, 7, 8, 26}, FourLanes(t, t + h), {5, 6, 7, 8, 26}});
  strips.push_back({{28, 9, 10, 11, 12, 25}, FourLanes(h, t), {28, 9, 10, 11, 12}});
  // Shift to the left: lower row (left edge in 27, 16..13), upper row (20..17, right edge in 29).
  strips.push_back({{27, 16, 15, 14, 13, 25}, FourLanes(t, h), {27, 16, 15, 14, 13}});
  strips.push_back({{23, 20, 19, 18, 17, 29}, FourLanes(t + h, t), {20, 19, 18, 17, 29}});
  // Widened road with a median: 1 2 21 22 3 4.
  strips.push_back({{23, 1, 2, 21, 22, 3, 4, 23},
                    {Straight(t, Mark::EdgeLeft), Straight(2 * t, Mark::Dash), Straight(3 * t, Mark::Centre),
                     Straight(4 * t, Mark::Centre), Straight(5 * t, Mark::Centre), Straight(6 * t, Mark::Dash),
                     Straight(7 * t, Mark::EdgeRight)},
                    {21, 22}});
  // Extra lane on the left: 1 34 22 3 4.
  strips.push_back({{23, 1, 34, 22, 3, 4, 23},
                    {Straight(t, Mark::EdgeLeft), Straight(2 * t, Mark::Dash), Straight(3 * t, Mark::Centre),
                     Straight(4 * t, Mark::Centre), Straight(5 * t, Mark::Dash), Straight(6 * t, Mark::EdgeRight)},
                    {34}});
  // Extra lane on the right: 1 2 21 35 4.
  strips.push_back({{23, 1, 2, 21, 35, 4, 23},
                    {Straight(t, Mark::EdgeLeft), Straight(2 * t, Mark::Dash), Straight(3 * t, Mark::Centre),
                     Straight(4 * t, Mark::Centre), Straight(5 * t, Mark::Dash), Straight(6 * t, Mark::EdgeRight)},
                    {35}});
  // The joining lane beside lanes that shift away: solid lines on both sides.
  strips.push_back({{2, 33, 3},
                    {Straight(t, Mark::Centre), Straight(2 * t, Mark::Centre)},
                    {33}});
  // Paving on its own.
  strips.push_back({{23, 24, 25, 58, 60}, {}, {23, 24, 25, 58, 60}});
  return strips;
}

}  // namespace

void DrawRoadTiles(TileSet& tiles) {
  for (const Strip& strip : RoadStrips()) {
    const std::vector<TPictureData> cells = RenderStrip(strip);
    for (int code : strip.cut)
      for (std::size_t c = 0; c < strip.codes.size(); ++c)
        if (strip.codes[c] == code) {
          tiles[code] = cells[c];
          break;
        }
  }
}

void AddRoadTiles(PictureArchive& archive) {
  TileSet tiles;
  DrawRoadTiles(tiles);
  DrawSceneryTiles(tiles);
  DrawBuildingTiles(tiles);
  PatternGrid grid(kTile, kTile, 8, 8, false);
  for (int code = 0; code < kTileCount; ++code) grid.Put(code, tiles[code]);
  AddPicture(archive, "Tiles", grid);
}

}  // namespace kestrune::art
