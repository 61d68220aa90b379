#pragma once
// The text canvas of a surface: writes text in a font, size and colour with a transparent
// background, blending the rasteriser's coverage into the RGB565 pixels beneath.

#include <cstdint>
#include <string>

#include "framework/Platform.h"

namespace kestrune {

class TDirectDrawSurface;

struct TFont {
  std::string Name = "Arial";
  int Size = 10;  // points at 96 dots per inch
  std::uint8_t R = 0, G = 0, B = 0;
  bool Bold = false;
};

enum class TBrushStyle { bsSolid, bsClear };

class TCanvas {
 public:
  // renderer may be null: text then measures 0 x 0 and draws nothing.
  TCanvas(TDirectDrawSurface& surface, ITextRenderer* renderer);

  TFont Font;
  // Only a clear brush is drawn (text over what is beneath); a solid one is kept for callers that
  // set it but paints no background.
  TBrushStyle BrushStyle = TBrushStyle::bsClear;

  // Writes text with its top-left corner at (x, y), clipped to the surface.
  void TextOut(int x, int y, const std::string& text);
  int TextWidth(const std::string& text);
  int TextHeight(const std::string& text);
  // Gives the surface back at the end of a frame; text drawn afterwards needs no new canvas.
  void Release() { ++releaseCount_; }
  int ReleaseCount() const { return releaseCount_; }

 private:
  FontRequest Request() const { return FontRequest{Font.Name, Font.Size, Font.Bold}; }

  TDirectDrawSurface& surface_;
  ITextRenderer* renderer_;
  int releaseCount_ = 0;
};

// Blends colour (r, g, b) over an RGB565 pixel with coverage 0..255.
std::uint16_t BlendRGB565(std::uint16_t pixel, int r, int g, int b, int coverage);

}  // namespace kestrune
