// Dialog pictures: the confirmation window with its captions and Yes/No buttons, and the
// name-entry table for a new high score with its cursor.
#include "library1/Library1Parts.h"
#include "library1/MenuStyle.h"

namespace kestrune::lib1 {

namespace {

// The window sits at (188, 237); its caption band covers screen rows 237..295 and the
// captions are centred on row 266 whatever their picture's top.
constexpr int kWindowW = 424, kWindowH = 126, kCaptionBand = 58;
constexpr double kCaptionScreenY = 266;
constexpr Rgb kCaptionMatte = art::Hex(0x3a3c44);
constexpr Rgb kWindowMatte = art::Hex(0x1c1d22);

TPictureData Caption(int width, int height, int screenTop, const std::string& text) {
  Canvas c(width, height);
  FitSize(c.Body(), kDisplayFace, text, 34, width - 10);
  PlaceText(c.Body(), text, width / 2.0, kCaptionScreenY - screenTop, kWhite, 1.6, 0.8);
  return c.FinishOver(kCaptionMatte);
}

// Yes and No are 177 px boxes that overlap by 28 px when centred as a pair; the overlap is
// left transparent so each visible button is 149 px and the pair is symmetric about x 400.
void AddDialogButton(PictureArchive& archive, const std::string& name, const std::string& label, bool leftOpen) {
  ButtonLook look;
  look.plateX = leftOpen ? 30 : 2;
  look.plateY = 5;
  look.plateW = 143;
  look.plateH = 44;
  look.slant = 12;
  look.fontPx = 34;
  std::vector<TPictureData> looks;
  for (bool hi : {true, false}) {
    Canvas c(177, 56);
    DrawButton(c.Body(), look, label, hi);
    looks.push_back(c.FinishOver(kWindowMatte));
  }
  // Clear the shared columns exactly, whatever the shadow reached.
  for (auto& p : looks)
    for (int y = 0; y < p.Height; ++y)
      for (int x = 0; x < 28; ++x) p.Pixels[static_cast<std::size_t>(y) * p.Width + (leftOpen ? x : 176 - x)] = art::kKeyColor;
  AddLooks(archive, name, looks);
}

TPictureData Underscore(Rgb color) {
  Canvas c(16, 4);
  SetColor(c.Body(), color);
  cairo_rectangle(c.Body(), 0, 0, 16, 4);
  cairo_fill(c.Body());
  return c.FinishOver(art::Hex(0));
}

TPictureData SendTable() {
  // Placed at (127, 135): the score is written centred on (348, 217) and the name on
  // (348, 345), which are (221, 82) and (221, 210) here.
  constexpr int w = 442, h = 292;
  Canvas c(w, h);
  cairo_t* cr = c.Body();
  DrawWindowFrame(cr, 0, 0, w, h, 48);
  SetFace(cr, kDisplayFace, 36);
  PlaceText(cr, "NEW HIGH SCORE!", 219, 24, kWhite, 1.8, 0.8);

  DrawSunkenField(cr, 131, 60, 180, 44);
  SetFace(cr, kDisplayFace, 22);
  PlaceText(cr, "SCORE", 98, 82, Rgb{0.75, 0.76, 0.80}, 1.2, 0.8);
  SetFace(cr, kDisplayFace, 26);
  PlaceText(cr, "ENTER YOUR NAME", 219, 154, kRed, 1.2, 0.8);
  DrawSunkenField(cr, 56, 182, 330, 54);
  SetFace(cr, kSansFace, 12);
  PlaceText(cr, "Type your name and press Enter", 219, 258, Rgb{0.62, 0.63, 0.68});
  return c.FinishOver(kMenuMatte);
}

}  // namespace

void AddOverlays(PictureArchive& archive) {
  {
    Canvas c(kWindowW, kWindowH);
    DrawWindowFrame(c.Body(), 0, 0, kWindowW, kWindowH, kCaptionBand);
    AddLooks(archive, "Window", {c.FinishOver(kMenuMatte)}, true);
  }
  AddLooks(archive, "Win_EG", {Caption(210, 44, 248, "EXIT THE GAME?")}, true);
  AddLooks(archive, "Win_ExitToMenu", {Caption(248, 44, 248, "EXIT TO THE MAIN MENU?")}, true);
  AddLooks(archive, "Win_ClearHS", {Caption(264, 56, 237, "CLEAR THE HIGH SCORES?")}, true);
  AddDialogButton(archive, "Yes", "YES", false);
  AddDialogButton(archive, "No", "NO", true);
  AddLooks(archive, "SendTable", {SendTable()}, true);
  AddLooks(archive, "Cursor2", {Underscore(Rgb{0.94, 0.94, 0.96})}, true);
}

}  // namespace kestrune::lib1
