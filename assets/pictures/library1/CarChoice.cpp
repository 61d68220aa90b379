// Car choice: the showcase panel, the six cars, the arrows and the Start/Back buttons.
#include <cmath>
#include <string>

#include "library1/Library1Parts.h"
#include "library1/MenuStyle.h"

namespace kestrune::lib1 {

namespace {

// The panel is at (198, 218); the car picture at (231, 259) covers (33, 41)..(371, 243) of
// it, and the arrows stand on its left and right edges.
constexpr int kPanelW = 404, kPanelH = 250;
constexpr int kCarW = 338, kCarH = 202;
constexpr double kFloorCx = 202, kFloorCy = 146;
constexpr Rgb kFloorMatte = art::Hex(0x34363d);

TPictureData Panel() {
  Canvas c(kPanelW, kPanelH);
  cairo_t* cr = c.Body();
  const double w = kPanelW - 4, h = kPanelH - 5;
  RoundedRect(cr, 4, 5, w, h, 16);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.55);
  cairo_fill(cr);
  RoundedRect(cr, 0, 0, w, h, 16);
  cairo_set_source_rgb(cr, 0.07, 0.075, 0.09);
  cairo_fill(cr);

  cairo_save(cr);
  RoundedRect(cr, 0, 0, w, h, 16);
  cairo_clip(cr);
  // Spot-lit floor with a turntable.
  cairo_pattern_t* spot = cairo_pattern_create_radial(kFloorCx, kFloorCy, 10, kFloorCx, kFloorCy, 210);
  cairo_pattern_add_color_stop_rgb(spot, 0, 0.26, 0.27, 0.31);
  cairo_pattern_add_color_stop_rgb(spot, 0.6, 0.15, 0.16, 0.19);
  cairo_pattern_add_color_stop_rgb(spot, 1, 0.06, 0.065, 0.08);
  cairo_set_source(cr, spot);
  cairo_paint(cr);
  cairo_pattern_destroy(spot);
  for (double r : {172.0, 160.0}) {
    cairo_save(cr);
    cairo_translate(cr, kFloorCx, kFloorCy);
    cairo_scale(cr, 1, 0.56);
    cairo_arc(cr, 0, 0, r, 0, 2 * M_PI);
    cairo_restore(cr);
    cairo_set_line_width(cr, r > 165 ? 3 : 1);
    cairo_set_source_rgba(cr, 1, 1, 1, r > 165 ? 0.10 : 0.07);
    cairo_stroke(cr);
  }
  // Caption band.
  cairo_pattern_t* band = cairo_pattern_create_linear(0, 0, 0, 36);
  cairo_pattern_add_color_stop_rgb(band, 0, 0.28, 0.29, 0.33);
  cairo_pattern_add_color_stop_rgb(band, 1, 0.15, 0.16, 0.19);
  cairo_set_source(cr, band);
  cairo_rectangle(cr, 0, 0, w, 34);
  cairo_fill(cr);
  cairo_pattern_destroy(band);
  SetColor(cr, kRed);
  cairo_rectangle(cr, 0, 33, w, 2.5);
  cairo_fill(cr);
  SetFace(cr, kDisplayFace, 26);
  PlaceText(cr, "CHOOSE YOUR CAR", w / 2, 17, kWhite, 1.4, 0.8);
  cairo_restore(cr);

  RoundedRect(cr, 1.5, 1.5, w - 3, h - 3, 15);
  SetColor(cr, kRed);
  cairo_set_line_width(cr, 3);
  cairo_stroke(cr);
  return c.FinishOver(kMenuMatte);
}

TPictureData ShowroomPicture(int model) {
  Canvas c(kCarW, kCarH);
  DrawShowroomCar(c.Body(), model, kCarW / 2.0 - 2, kCarH / 2.0 + 2, 1.85, M_PI / 2);  // nose to the right
  return c.FinishOver(kFloorMatte);
}

}  // namespace

void AddCarChoice(PictureArchive& archive) {
  AddLooks(archive, "SG_Bk", {Panel()}, true);
  for (int model = 1; model <= 6; ++model)
    AddLooks(archive, "SG_Car" + std::to_string(model), {ShowroomPicture(model)}, true);
  AddLooks(archive, "SG_Left", {ArrowHead(34, 60, -1, true), ArrowHead(34, 60, -1, false)}, true);
  AddLooks(archive, "SG_Right", {ArrowHead(34, 60, 1, true), ArrowHead(34, 60, 1, false)}, true);
  ButtonLook look;
  look.plateX = 3;
  look.plateY = 4;
  look.plateW = 158;
  look.plateH = 40;
  look.slant = 12;
  look.fontPx = 34;
  AddLooks(archive, "SG_Start", TwoLooks(168, 50, look, "START"));
  AddLooks(archive, "SG_Back", TwoLooks(168, 50, look, "BACK"));
}

}  // namespace kestrune::lib1
