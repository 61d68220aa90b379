// High-score screen: the caption, the table frame the game writes the ten rows into, and
// the Clear and Back buttons.
#include <string>

#include "library1/Library1Parts.h"
#include "library1/MenuStyle.h"

namespace kestrune::lib1 {

namespace {

// The frame sits at (274, 199). The game centres names on x 530 and scores on x 720 (256 and
// 446 here) and row i on y 220 + 36 i (21 + 36 i here, i = 1..10).
constexpr int kTableW = 516, kTableH = 396;
constexpr double kNameX = 256, kScoreX = 446, kRankX = 40;

double RowCentre(int i) { return 21 + 36.0 * i; }

TPictureData Table() {
  Canvas c(kTableW, kTableH);
  cairo_t* cr = c.Body();
  const double w = kTableW - 4, h = kTableH - 2;
  RoundedRect(cr, 4, 5, w, h - 3, 12);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.5);
  cairo_fill(cr);
  RoundedRect(cr, 0, 0, w, h, 12);
  cairo_pattern_t* body = cairo_pattern_create_linear(0, 0, 0, h);
  cairo_pattern_add_color_stop_rgb(body, 0, 0.13, 0.14, 0.17);
  cairo_pattern_add_color_stop_rgb(body, 1, 0.06, 0.065, 0.08);
  cairo_set_source(cr, body);
  cairo_fill(cr);
  cairo_pattern_destroy(body);

  cairo_save(cr);
  RoundedRect(cr, 0, 0, w, h, 12);
  cairo_clip(cr);
  // Header band with the column titles.
  cairo_pattern_t* band = cairo_pattern_create_linear(0, 0, 0, 38);
  cairo_pattern_add_color_stop_rgb(band, 0, 0.28, 0.29, 0.33);
  cairo_pattern_add_color_stop_rgb(band, 1, 0.17, 0.18, 0.21);
  cairo_set_source(cr, band);
  cairo_rectangle(cr, 0, 0, w, 38);
  cairo_fill(cr);
  cairo_pattern_destroy(band);
  SetColor(cr, kRed);
  cairo_rectangle(cr, 0, 37, w, 2.5);
  cairo_fill(cr);
  SetFace(cr, kDisplayFace, 22);
  PlaceText(cr, "RANK", kRankX, 20, kWhite, 1.2, 0.8);
  PlaceText(cr, "NAME", kNameX, 20, kWhite, 1.2, 0.8);
  PlaceText(cr, "SCORE", kScoreX, 20, kWhite, 1.2, 0.8);

  // Alternating row bands, column rules and rank numbers (the top three in red).
  for (int i = 1; i <= 10; ++i) {
    const double top = RowCentre(i) - 18 + 2;
    if (i % 2 == 1) {
      cairo_set_source_rgba(cr, 1, 1, 1, 0.05);
      cairo_rectangle(cr, 6, top, w - 12, 32);
      cairo_fill(cr);
    }
    SetFace(cr, kDisplayFace, i <= 3 ? 26 : 22);
    PlaceText(cr, std::to_string(i), kRankX, RowCentre(i), i <= 3 ? kRed : Rgb{0.62, 0.63, 0.68}, 1.2, 0.8);
  }
  cairo_set_source_rgba(cr, 1, 1, 1, 0.10);
  cairo_set_line_width(cr, 1);
  for (double x : {80.5, 350.5}) {
    cairo_move_to(cr, x, 44);
    cairo_line_to(cr, x, h - 6);
  }
  cairo_stroke(cr);
  cairo_restore(cr);

  RoundedRect(cr, 1.5, 1.5, w - 3, h - 3, 11);
  SetColor(cr, kRed);
  cairo_set_line_width(cr, 3);
  cairo_stroke(cr);
  return c.FinishOver(kMenuMatte);
}

}  // namespace

void AddHighScores(PictureArchive& archive) {
  {
    // Centred on the title point (563, 148), in the look of the titles the game writes there
    // ("OPTIONS", "HELP": the display face's book cut at 78 pt, i.e. 104 px at 96 dpi).
    Canvas c(398, 92);
    FitSize(c.Body(), "Bebas Neue Book", "HIGH SCORES", 104, 390);
    PlaceText(c.Body(), "HIGH SCORES", 199, 46, kWhite, 1.5, 0.7);
    AddLooks(archive, "HSCaption", {c.FinishOver(kMenuMatte)}, true);
  }
  AddLooks(archive, "HSTable", {Table()}, true);

  ButtonLook clear;
  clear.plateX = 2;
  clear.plateY = 6;
  clear.plateW = 240;
  clear.plateH = 46;
  clear.slant = 14;
  clear.fontPx = 38;
  AddLooks(archive, "HS_Clear", TwoLooks(250, 60, clear, "CLEAR TABLE"));
  ButtonLook back = clear;
  back.plateW = 190;
  AddLooks(archive, "HS_Back", TwoLooks(200, 60, back, "BACK"));
}

}  // namespace kestrune::lib1
