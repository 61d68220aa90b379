#pragma once
// The shared look of the menu screens and dialogs: colours, display-face labels, button
// plates with their normal and highlight looks, arrows, and window frames.

#include <cairo.h>

#include <string>

#include <vector>

#include "DrawKit.h"

namespace kestrune::lib1 {

using art::Canvas;
using art::RoundedRect;
using art::Rgb;
using art::SetColor;

// The accent red and white of the game's text styles, and the dark menu ground.
constexpr Rgb kRed{244 / 255.0, 9 / 255.0, 9 / 255.0};
constexpr Rgb kWhite{1, 1, 1};
constexpr Rgb kInk{16 / 255.0, 17 / 255.0, 21 / 255.0};
constexpr Rgb kMenuMatte = art::Hex(0x101115);

constexpr const char* kDisplayFace = "Bebas Neue";
constexpr const char* kSansFace = "Liberation Sans";

void SetFace(cairo_t* cr, const char* family, double px, bool bold = false);
double InkWidth(cairo_t* cr, const std::string& text);

// Writes `text` in the current face centred on (cx, cy) by its ink box, with an optional drop shadow towards the
// lower right.
void PlaceText(cairo_t* cr, const std::string& text, double cx, double cy, Rgb color,
                 double shadowOffset = 0, double shadowAlpha = 0.6);
// The largest size up to `px` at which `text` is at most `maxWidth` wide.
double FitSize(cairo_t* cr, const char* family, const std::string& text, double px, double maxWidth,
               bool bold = false);

// A slanted plate: a parallelogram leaning right by `slant`, with its corners cut.
void PlatePath(cairo_t* cr, double x, double y, double w, double h, double slant);

struct ButtonLook {
  double plateX = 4, plateY = 4, plateW = 0, plateH = 0;  // plate inside the picture
  double slant = 14;
  double fontPx = 40;
};

// A labelled button plate. The normal look is a dark graphite plate with a red accent bar;
// the highlight look is a red plate with a white rim and white pointers either side.
void DrawButton(cairo_t* cr, const ButtonLook& look, const std::string& label, bool highlight);
TPictureData ButtonPicture(int width, int height, const ButtonLook& look, const std::string& label,
                           bool highlight);
// Both looks of a two-pattern button: pattern 0 highlight, pattern 1 normal.
std::vector<TPictureData> TwoLooks(int width, int height, const ButtonLook& look, const std::string& label);

// Adds a picture made of equally sized patterns laid side by side.
void AddLooks(PictureArchive& archive, const std::string& name, const std::vector<TPictureData>& patterns,
              bool keyed = true);
// A pattern that is the transparent key all over.
TPictureData AllKey(int width, int height);

// A round button with an arrow pointing left (-1) or right (+1).
TPictureData RoundArrow(int size, int direction, bool highlight);
// A tall arrow head without plate, pointing left (-1) or right (+1).
TPictureData ArrowHead(int width, int height, int direction, bool highlight);

// A dialog frame: a rounded dark window with a red rim, a lighter caption band of
// `captionHeight` pixels and a soft shadow.
void DrawWindowFrame(cairo_t* cr, double x, double y, double w, double h, double captionHeight);

// A recessed dark field (for values the game writes into a frame).
void DrawSunkenField(cairo_t* cr, double x, double y, double w, double h);

// Caption text in the display face, white, centred in a keyed picture.
TPictureData CaptionPicture(int width, int height, const std::string& text, double px, double centreY);

}  // namespace kestrune::lib1

namespace kestrune::lib1 {
// Fine random grain over (0, 0)..(w, h) in user units, one grain per final pixel, from a
// fixed seed: light and dark specks of at most `alpha` opacity.
void PaintGrain(cairo_t* cr, int w, int h, std::uint32_t seed, double alpha);
}  // namespace kestrune::lib1
