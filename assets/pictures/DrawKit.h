#pragma once
// Shared drawing helpers of the picture generator.
//
// Every picture is drawn with cairo on a canvas two or four times its final size (user
// coordinates are final pixels, the canvas scales them) and reduced with a box filter, which
// gives clean antialiased edges. Finishing a canvas turns it into display-ready pixels:
//   - colours pass through light ordered dithering onto values that RGB565 holds exactly, so
//     gradients do not band and the display's 16-bit conversion changes nothing;
//   - keyed pictures get the transparent key 0xFF00FF wherever the drawing is see-through, and
//     no opaque pixel ever falls into the key's 16-bit bucket;
//   - a separate shadow layer is laid under the body as a dithered dark screen, so drop
//     shadows read as half-transparent on any background even though the display only knows
//     "key or opaque".
// The scene is lit from the upper left: shadows fall to the lower right (kShadowDx/Dy).

#include <cairo.h>

#include <cstdint>
#include <functional>
#include <string>

#include "framework/ArchiveTypes.h"

namespace kestrune::art {

constexpr std::uint32_t kKeyColor = 0xFF00FF;  // 0x00RRGGBB (the same value as 0x00BBGGRR)
constexpr double kShadowDx = 3.0, kShadowDy = 4.0;

struct Rgb {
  double r = 0, g = 0, b = 0;  // 0..1
};
constexpr Rgb Hex(std::uint32_t rgb) {
  return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0};
}
Rgb Mix(Rgb a, Rgb b, double t);
Rgb Lighter(Rgb c, double amount);  // towards white
Rgb Darker(Rgb c, double amount);   // towards black

void SetColor(cairo_t* cr, Rgb c, double alpha = 1.0);

// One picture (or one pattern) under construction.
class Canvas {
 public:
  Canvas(int width, int height, int scale = 4);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  int Width() const { return width_; }
  int Height() const { return height_; }
  // The body: everything opaque. Coordinates are final pixels.
  cairo_t* Body() const { return body_; }
  // The shadow layer: its coverage (any colour) becomes a dithered dark screen under the body.
  cairo_t* Shadow() const { return shadow_; }

  // Reduces, dithers and keys the drawing. keyed = false paints every pixel (uncovered parts
  // black); keyed = true leaves uncovered parts as the key.
  TPictureData Finish(bool keyed) const;
  // A keyed finish for pictures that always sit on one known ground (menu art on its dark
  // background): pixels at least half covered are blended over `ground` instead of being
  // un-premultiplied, so antialiased edges and soft shadows drawn in the body melt into that
  // ground; the shadow layer is handled as in Finish.
  TPictureData FinishOver(Rgb ground) const;

 private:
  // Sums of one output pixel's supersampled cell: body alpha and premultiplied colour, and the
  // shadow layer's coverage.
  struct CellSums {
    double a = 0, r = 0, g = 0, b = 0, s = 0;
  };
  CellSums SumCell(int x, int y) const;

  int width_, height_, scale_;
  cairo_surface_t* bodySurface_;
  cairo_surface_t* shadowSurface_;
  cairo_t* body_;
  cairo_t* shadow_;
};

// Places equally sized patterns into one picture, row by row.
class PatternGrid {
 public:
  PatternGrid(int patternWidth, int patternHeight, int columns, int rows, bool keyed);
  void Put(int index, const TPictureData& pattern);
  const TPictureData& Picture() const { return picture_; }
  int PatternWidth() const { return patternWidth_; }
  int PatternHeight() const { return patternHeight_; }
  bool Keyed() const { return keyed_; }

 private:
  int patternWidth_, patternHeight_, columns_, rows_;
  bool keyed_;
  TPictureData picture_;
};

// The w x h rectangle of `picture` at (x, y).
TPictureData Crop(const TPictureData& picture, int x, int y, int w, int h);
// A cairo source that repeats `pixels` (0x00RRGGBB) with no smoothing: one texel per final pixel.
cairo_pattern_t* RepeatingPattern(const TPictureData& pixels);

// Appends a finished picture to an archive as a 24-bit "TDIB" item.
void AddPicture(PictureArchive& archive, const std::string& name, const TPictureData& picture,
                int patternWidth, int patternHeight, bool keyed);
void AddPicture(PictureArchive& archive, const std::string& name, const PatternGrid& grid);
// A one-pattern picture drawn by `draw` on a fresh canvas.
void AddSingle(PictureArchive& archive, const std::string& name, int width, int height, bool keyed,
               const std::function<void(Canvas&)>& draw, int scale = 4);
// A picture of `count` patterns, `columns` to a row, pattern i drawn by draw(canvas, i).
void AddPatterns(PictureArchive& archive, const std::string& name, int patternWidth, int patternHeight,
                 int count, int columns, bool keyed, const std::function<void(Canvas&, int)>& draw,
                 int scale = 4);

// ---- Shapes ------------------------------------------------------------------------------

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double radius);
// A rounded body with soft top-left lighting: base colour, a darker rim towards the lower
// right and a highlight towards the upper left.
void ShadedBody(cairo_t* cr, double x, double y, double w, double h, double radius, Rgb base);
// Fills the current path with a linear gradient from `from` (upper left) to `to` (lower right).
void FillLit(cairo_t* cr, double x0, double y0, double x1, double y1, Rgb from, Rgb to);
// A round ball lit from the upper left (foliage, knobs, heads).
void Ball(cairo_t* cr, double x, double y, double r, Rgb base);
// A soft drop shadow of a rounded rectangle on the canvas's shadow layer.
void DropShadow(Canvas& canvas, double x, double y, double w, double h, double radius,
                double strength = 0.55);

// ---- Text in the display face --------------------------------------------------------------

struct TextExtent {
  double width = 0, height = 0;
};
void SelectDisplayFace(cairo_t* cr, double size, bool bold = true);
TextExtent MeasureText(cairo_t* cr, const std::string& text);
// Draws `text` centred on (cx, cy) (the ink box centre), filled with `fill`, with an optional
// outline and a drop shadow towards the lower right.
void CentredText(cairo_t* cr, const std::string& text, double cx, double cy, double size, Rgb fill,
                 double outline = 0, Rgb outlineColor = {}, double shadow = 0);

// ---- Noise ---------------------------------------------------------------------------------

// Integer hash noise: the same inputs always give the same value in 0..1.
double Hash01(int x, int y, std::uint32_t seed);
// Smooth value noise that repeats every `period` units in x and y (for seamless tiles).
double TiledNoise(double x, double y, int period, double cell, std::uint32_t seed);

// ---- Colour quantisation -----------------------------------------------------------------

// The 4x4 ordered-dither threshold at (x, y), in 0..1.
double Bayer4(int x, int y);
// An 8-bit colour reduced (with the dither offset for (x, y)) to one RGB565 holds exactly,
// moved out of the key's bucket.
std::uint32_t Quantise(double r, double g, double b, int x, int y);

}  // namespace kestrune::art
