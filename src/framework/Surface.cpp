#include "framework/Surface.h"

#include <algorithm>
#include <cstring>

namespace kestrune {

TDirectDrawSurface::TDirectDrawSurface(int width, int height)
    : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height, 0) {}

TDirectDrawSurface::~TDirectDrawSurface() = default;

void TDirectDrawSurface::Fill(std::uint16_t pixel) {
  // A pixel of two equal bytes (black above all, which every frame starts with) is a plain
  // memset; other values go through 64-bit stores of four pixels.
  if ((pixel & 0xFF) == (pixel >> 8)) {
    std::memset(pixels_.data(), pixel & 0xFF, pixels_.size() * sizeof(std::uint16_t));
    return;
  }
  const std::uint64_t four = pixel * 0x0001000100010001ull;
  std::size_t i = 0;
  for (; i + 4 <= pixels_.size(); i += 4) std::memcpy(pixels_.data() + i, &four, sizeof four);
  for (; i < pixels_.size(); ++i) pixels_[i] = pixel;
}

}  // namespace kestrune
