#pragma once
// The display's back surface: 800 x 600 pixels of RGB565 in system memory. Everything the
// game shows is drawn into it in software; the platform layer only presents it.

#include <cstdint>
#include <vector>

namespace kestrune {

struct TRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  bool operator==(const TRect&) const = default;
};

// 0x00RRGGBB (or a colour read from an archive, 0x00BBGGRR, once swapped) to RGB565.
constexpr std::uint16_t RGB565(int r, int g, int b) {
  return static_cast<std::uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
}
// A 0x00RRGGBB pixel (as pictures are decoded) to RGB565.
constexpr std::uint16_t Rgb565FromRgb(std::uint32_t rgb) {
  return RGB565(static_cast<int>((rgb >> 16) & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                static_cast<int>(rgb & 0xFF));
}

class TCanvas;

class TDirectDrawSurface {
 public:
  TDirectDrawSurface(int width = 800, int height = 600);
  ~TDirectDrawSurface();
  TDirectDrawSurface(const TDirectDrawSurface&) = delete;
  TDirectDrawSurface& operator=(const TDirectDrawSurface&) = delete;

  int Width() const { return width_; }
  int Height() const { return height_; }
  // Pixels per row (rows are contiguous).
  int Pitch() const { return width_; }
  std::uint16_t* Pixels() { return pixels_.data(); }
  const std::uint16_t* Pixels() const { return pixels_.data(); }
  std::uint16_t* Row(int y) { return pixels_.data() + static_cast<std::size_t>(y) * width_; }
  const std::uint16_t* Row(int y) const { return pixels_.data() + static_cast<std::size_t>(y) * width_; }
  TRect ClientRect() const { return {0, 0, width_, height_}; }

  // Fills the whole surface with one raw pixel value.
  void Fill(std::uint16_t pixel);

  // The text canvas drawing on this surface; created on first use. Set by the display.
  TCanvas* Canvas() { return canvas_; }
  void AttachCanvas(TCanvas* canvas) { canvas_ = canvas; }

 private:
  int width_, height_;
  std::vector<std::uint16_t> pixels_;
  TCanvas* canvas_ = nullptr;
};

}  // namespace kestrune
