#include "framework/Canvas.h"

#include <algorithm>

#include "framework/Surface.h"

namespace kestrune {

TCanvas::TCanvas(TDirectDrawSurface& surface, ITextRenderer* renderer)
    : surface_(surface), renderer_(renderer) {}

std::uint16_t BlendRGB565(std::uint16_t pixel, int r, int g, int b, int coverage) {
  if (coverage <= 0) return pixel;
  if (coverage >= 255) return RGB565(r, g, b);
  // Expand the 5/6/5-bit channels to 8 bits (repeating the top bits), blend, pack again.
  const int pr = ((pixel >> 11) & 0x1F) * 255 / 31;
  const int pg = ((pixel >> 5) & 0x3F) * 255 / 63;
  const int pb = (pixel & 0x1F) * 255 / 31;
  const int inv = 255 - coverage;
  return RGB565((r * coverage + pr * inv + 127) / 255, (g * coverage + pg * inv + 127) / 255,
                (b * coverage + pb * inv + 127) / 255);
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
  if (renderer_ == nullptr || text.empty()) return;
  const TextMask mask = renderer_->Render(Request(), text);
  const int x0 = std::max(0, -x), y0 = std::max(0, -y);
  const int x1 = std::min(mask.Width, surface_.Width() - x);
  const int y1 = std::min(mask.Height, surface_.Height() - y);
  for (int my = y0; my < y1; ++my) {
    std::uint16_t* row = surface_.Row(y + my) + x;
    const std::uint8_t* cov = mask.Coverage.data() + static_cast<std::size_t>(my) * mask.Width;
    for (int mx = x0; mx < x1; ++mx) {
      if (cov[mx] != 0) row[mx] = BlendRGB565(row[mx], Font.R, Font.G, Font.B, cov[mx]);
    }
  }
}

int TCanvas::TextWidth(const std::string& text) {
  return renderer_ == nullptr ? 0 : renderer_->Width(Request(), text);
}

int TCanvas::TextHeight(const std::string& text) {
  return renderer_ == nullptr ? 0 : renderer_->Height(Request(), text);
}

}  // namespace kestrune
