#pragma once
// The goodbye window shown when the player confirms leaving the game: a small shaped,
// borderless window that thanks the player, shows the best score of this sitting against the
// top of the table, links to the player's guide (its top, its section on changing the data set
// and its licence) and offers to switch itself off for good. Closing it ends the game.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/ArchiveTypes.h"
#include "framework/Canvas.h"
#include "framework/Platform.h"
#include "framework/Surface.h"
#include "shell/WindowShape.h"

namespace kestrune {

class TMForm;

// Where the window's pictures lie, beside the image archives.
inline constexpr const char* kGoodbyeArtworkPath = "Data/Res/Goodbye.bmp";
inline constexpr const char* kGoodbyeButtonPath = "Data/Res/GoodbyeClose.bmp";
inline constexpr const char* kGoodbyeButtonHoverPath = "Data/Res/GoodbyeCloseHover.bmp";

// The largest picture file read: the window's pictures are 320 x 300 at most (about 400 KB as
// 32-bit pixels).
inline constexpr std::uint64_t kMaxPictureFileBytes = 4ull << 20;

// A picture file ("BM" file header and a device-independent bitmap); an empty picture when the
// file is missing, is not a regular file, is larger than kMaxPictureFileBytes or cannot be
// decoded.
TPictureData LoadPictureFile(const std::string& path, std::string* problem = nullptr);

// A label as last drawn: its text, the box it was given, and the lines drawn with their places.
struct TDrawnLabel {
  std::string Text;
  TRect Box;
  std::vector<std::string> Lines;
  std::vector<TRect> LineBoxes;
};

class TForm8a {
 public:
  static constexpr int kWidth = 320, kHeight = 300;
  // The window is dragged by its top 40 pixels.
  static constexpr int kCaptionHeight = 40;

  // Created hidden right after the main window: loads the pictures, computes the shape, sets the
  // texts (CreateForm).
  TForm8a(IPlatform& platform, TMForm& mainForm);

  // Leaving the game: hides the main window and shows this one with the best score of this
  // sitting. A window switched off ends the game at once.
  void ShowInsteadOfMainForm(std::int32_t bestScore);

  // --- Window events -------------------------------------------------------------------------
  void CreateForm();
  void FormShow();
  void FormPaint();
  void Button1Click();
  void Label03Click();
  void Label06Click();
  void Label08Click();
  void Button1MouseMove();
  void WndImageMouseMove();
  // Mouse moves and clicks (window coordinates) and the close command of the window.
  void HandleEvent(const PlatformEvent& event);
  static bool IsCaptionPoint(int x, int y) { return x >= 0 && y >= 0 && y < kCaptionHeight; }

  // --- State ---------------------------------------------------------------------------------
  bool Visible() const { return visible_; }
  bool Checked() const { return checked_; }
  bool HoverLookShown() const { return hover_; }
  std::uint8_t PromoDisabled() const { return promoDisabled_; }
  const TWindowShape& Shape() const { return shape_; }
  const TDirectDrawSurface& Picture() const { return surface_; }
  const std::string& ScoreLine() const { return scoreLine_; }
  // The labels of the last picture, in drawing order (the headline first, "Close" last).
  const std::vector<TDrawnLabel>& DrawnLabels() const { return drawnLabels_; }

 private:
  struct Label {
    TRect Box;
    std::string Text;
    bool Bold = true, Centred = false, WordWrap = false, Link = false;
    std::uint8_t R = 57, G = 108, B = 129;
    int SizePt = 8;  // "Arial" 11 pixels high
  };
  // A label's text in the largest size, down to 6 points, at which all its lines fit its box.
  struct LabelLayout {
    int SizePt = 8;
    int LineHeight = 1;
    std::vector<std::string> Lines;
  };
  static constexpr int kSmallestLabelPt = 6;
  std::vector<std::string> WrapLabel(const Label& label);
  LabelLayout FitLabel(const Label& label);
  void Paint();
  void DrawPicture(const TPictureData& picture, int x, int y);
  void DrawLabel(const Label& label);
  void DrawCheckBox();
  TRect LinkBox(const Label& label);
  void Close();

  IPlatform& platform_;
  TMForm& mainForm_;
  TPictureData artwork_, buttonNormal_, buttonHover_;
  TWindowShape shape_;
  TDirectDrawSurface surface_;
  TCanvas canvas_;
  Label actionLabel_, label01_, label02_, label03_, label04_, label05_, label06_, label07_, label08_,
      labelButton1_;
  std::string checkCaption_;
  std::string scoreLine_;
  std::vector<TDrawnLabel> drawnLabels_;
  bool visible_ = false;
  bool checked_ = false;
  bool hover_ = false;
  std::uint8_t promoDisabled_ = 0;
};

}  // namespace kestrune
