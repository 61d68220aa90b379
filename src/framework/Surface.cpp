#include "framework/Surface.h"

#include <algorithm>

namespace kestrune {

TDirectDrawSurface::TDirectDrawSurface(int width, int height)
    : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height, 0) {}

TDirectDrawSurface::~TDirectDrawSurface() = default;

void TDirectDrawSurface::Fill(std::uint16_t pixel) {
  std::fill(pixels_.begin(), pixels_.end(), pixel);
}

}  // namespace kestrune
