#include "Goodbye.h"

#include <cmath>
#include <cstdint>
#include <fstream>
#include <stdexcept>
#include <vector>

#include "DrawKit.h"
#include "framework/DibCodec.h"
#include "library1/Library1Parts.h"
#include "library1/MenuStyle.h"

namespace kestrune::art {
namespace {

constexpr int kWidth = 320, kHeight = 300;
constexpr Rgb kPaper = Hex(0xDAE4FD);  // the window's own background colour
constexpr Rgb kTeal = Hex(0x396C81);   // its text colour
constexpr Rgb kCaption = Hex(0x1C1D22);
constexpr Rgb kRed{244 / 255.0, 9 / 255.0, 9 / 255.0};

void WriteBitmapFile(const std::string& path, const TPictureData& picture) {
  const std::vector<std::uint8_t> dib = EncodeDib24(picture);
  const std::uint32_t size = 14 + static_cast<std::uint32_t>(dib.size());
  const std::uint32_t offset = 14 + 40;
  std::vector<std::uint8_t> file = {'B', 'M'};
  for (int i = 0; i < 4; ++i) file.push_back(static_cast<std::uint8_t>(size >> (8 * i)));
  file.insert(file.end(), 4, 0);
  for (int i = 0; i < 4; ++i) file.push_back(static_cast<std::uint8_t>(offset >> (8 * i)));
  file.insert(file.end(), dib.begin(), dib.end());
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

// The left panel: a stretch of the race's road seen from above with a car overtaking.
void DrawRoadPanel(cairo_t* cr, double x, double y, double w, double h) {
  cairo_save(cr);
  RoundedRect(cr, x, y, w, h, 6);
  cairo_clip(cr);
  SetColor(cr, Hex(0x3A3D44));
  cairo_paint(cr);
  // Kerbs and verges.
  SetColor(cr, Hex(0x4F7A3A));
  cairo_rectangle(cr, x, y, 10, h);
  cairo_rectangle(cr, x + w - 10, y, 10, h);
  cairo_fill(cr);
  for (int i = 0; i * 8 < h; ++i) {
    SetColor(cr, i % 2 == 0 ? kRed : Hex(0xF2F2F2));
    cairo_rectangle(cr, x + 10, y + i * 8, 3, 8);
    cairo_rectangle(cr, x + w - 13, y + i * 8, 3, 8);
    cairo_fill(cr);
  }
  // Lane dashes.
  SetColor(cr, Hex(0xE8E8E8), 0.85);
  for (int i = 0; i * 18 < h; ++i) {
    cairo_rectangle(cr, x + w / 2 - 1, y + i * 18 + 3, 2, 10);
    cairo_fill(cr);
  }
  lib1::DrawShowroomCar(cr, 1, x + w * 0.33, y + h * 0.66, 0.42, 0);
  lib1::DrawShowroomCar(cr, 4, x + w * 0.68, y + h * 0.30, 0.42, 0.06);
  cairo_restore(cr);
  RoundedRect(cr, x + 0.5, y + 0.5, w - 1, h - 1, 6);
  SetColor(cr, kCaption, 0.8);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
}

TPictureData Artwork() {
  Canvas c(kWidth, kHeight, 4);
  cairo_t* cr = c.Body();
  const double r = 14;
  // The paper, a little lighter towards the top.
  RoundedRect(cr, 0, 0, kWidth, kHeight, r);
  cairo_pattern_t* paper = cairo_pattern_create_linear(0, 0, 0, kHeight);
  cairo_pattern_add_color_stop_rgb(paper, 0, Lighter(kPaper, 0.35).r, Lighter(kPaper, 0.35).g,
                                   Lighter(kPaper, 0.35).b);
  cairo_pattern_add_color_stop_rgb(paper, 1, kPaper.r, kPaper.g, kPaper.b);
  cairo_set_source(cr, paper);
  cairo_fill(cr);
  cairo_pattern_destroy(paper);

  // The caption band: the game's dark ground with its red line and name; the window is dragged
  // by it.
  cairo_save(cr);
  RoundedRect(cr, 0, 0, kWidth, kHeight, r);
  cairo_clip(cr);
  SetColor(cr, kCaption);
  cairo_rectangle(cr, 0, 0, kWidth, 18);
  cairo_fill(cr);
  SetColor(cr, kRed);
  cairo_rectangle(cr, 0, 17, kWidth, 2);
  cairo_fill(cr);
  cairo_restore(cr);
  lib1::SetFace(cr, lib1::kDisplayFace, 15);
  lib1::PlaceText(cr, "KESTRUNE", kWidth / 2.0, 9.5, Hex(0xFFFFFF));
  // Grip marks either side of the name.
  SetColor(cr, Hex(0x5A5C64));
  for (int i = 0; i < 3; ++i) {
    cairo_rectangle(cr, 96 + i * 6, 6, 3, 7);
    cairo_rectangle(cr, 214 + i * 6, 6, 3, 7);
  }
  cairo_fill(cr);

  DrawRoadPanel(cr, 14, 50, 88, 142);
  // Rules above the check box and above the credit line.
  SetColor(cr, kTeal, 0.35);
  cairo_rectangle(cr, 24, 199.5, kWidth - 48, 1);
  cairo_rectangle(cr, 24, 225.5, kWidth - 48, 1);
  cairo_fill(cr);
  // A faint chequered flag bottom right, the finish of the road.
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 5; ++col) {
      SetColor(cr, (row + col) % 2 == 0 ? kCaption : Hex(0xFFFFFF), 0.18);
      cairo_rectangle(cr, 262 + col * 7, 258 + row * 7, 7, 7);
      cairo_fill(cr);
    }

  // The rim: red outside, a fine light line inside, as the game's dialogs have.
  RoundedRect(cr, 1, 1, kWidth - 2, kHeight - 2, r - 1);
  SetColor(cr, kRed);
  cairo_set_line_width(cr, 2);
  cairo_stroke(cr);
  RoundedRect(cr, 3.5, 3.5, kWidth - 7, kHeight - 7, r - 3.5);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.5);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  return c.Finish(true);
}

// The close button's plate; the game writes "Close" over it.
TPictureData CloseButton(bool hover) {
  Canvas c(85, 25, 4);
  cairo_t* cr = c.Body();
  SetColor(cr, kPaper);
  cairo_paint(cr);
  RoundedRect(cr, 0.5, 0.5, 84, 24, 6);
  cairo_pattern_t* plate = cairo_pattern_create_linear(0, 0, 0, 25);
  const Rgb top = hover ? Hex(0xFFFFFF) : Hex(0xF4F7FF);
  const Rgb bottom = hover ? Hex(0xC9E4F5) : Hex(0xC3CDE6);
  cairo_pattern_add_color_stop_rgb(plate, 0, top.r, top.g, top.b);
  cairo_pattern_add_color_stop_rgb(plate, 1, bottom.r, bottom.g, bottom.b);
  cairo_set_source_rgb(cr, 0, 0, 0);
  cairo_set_source(cr, plate);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(plate);
  SetColor(cr, hover ? Hex(0x006699) : kTeal);
  cairo_set_line_width(cr, hover ? 1.6 : 1);
  cairo_stroke(cr);
  if (hover) {
    // The red accent of the game's buttons along the bottom.
    SetColor(cr, kRed);
    cairo_rectangle(cr, 8, 21, 69, 1.5);
    cairo_fill(cr);
  }
  return c.Finish(false);
}

}  // namespace

void WriteGoodbyePictures(const std::string& folder) {
  WriteBitmapFile(folder + "/Goodbye.bmp", Artwork());
  WriteBitmapFile(folder + "/GoodbyeClose.bmp", CloseButton(false));
  WriteBitmapFile(folder + "/GoodbyeCloseHover.bmp", CloseButton(true));
}

}  // namespace kestrune::art
