#include "platform/WindowFit.h"

#include <algorithm>
#include <cmath>

namespace kestrune {

PixelRect FirstWindowRect(const PixelRect& usable, int pictureWidth, int pictureHeight) {
  const double roomW = usable.W * 0.85, roomH = usable.H * 0.85;
  int w = pictureWidth, h = pictureHeight;
  const int times = static_cast<int>(std::min(roomW / pictureWidth, roomH / pictureHeight));
  if (times >= 1) {
    w = pictureWidth * times;
    h = pictureHeight * times;
  } else if (roomW > 0 && roomH > 0) {
    const double scale = std::min(roomW / pictureWidth, roomH / pictureHeight);
    w = std::max(1, static_cast<int>(pictureWidth * scale));
    h = std::max(1, static_cast<int>(pictureHeight * scale));
  }
  return {usable.X + (usable.W - w) / 2, usable.Y + (usable.H - h) / 2, w, h};
}

namespace {

// The display on which enough of the window's top edge lies to grab it, or null.
const PixelRect* DisplayHoldingTop(const PixelRect& window, const std::vector<PixelRect>& displays) {
  if (window.W <= 0 || window.H <= 0) return nullptr;
  // The strip just below the top edge: at least this much of it must be on one display.
  constexpr int kGrip = 48;
  const int stripW = std::min(window.W, kGrip);
  for (const PixelRect& d : displays) {
    const int left = std::max(window.X, d.X), right = std::min(window.X + window.W, d.X + d.W);
    const bool topOnDisplay = window.Y >= d.Y && window.Y < d.Y + d.H;
    if (topOnDisplay && right - left >= stripW) return &d;
  }
  return nullptr;
}

}  // namespace

bool WindowReachable(const PixelRect& window, const std::vector<PixelRect>& displays) {
  return DisplayHoldingTop(window, displays) != nullptr;
}

std::optional<PixelRect> ReopenedWindowRect(const PixelRect& last, const std::vector<PixelRect>& displays,
                                            int pictureWidth, int pictureHeight) {
  const PixelRect* display = DisplayHoldingTop(last, displays);
  if (display == nullptr) return std::nullopt;
  const PixelRect& d = *display;
  if (last.W <= d.W && last.H <= d.H) return last;
  // Shrunk to the whole display, its frame would stick out and its title bar go off the top.
  return FirstWindowRect(d, pictureWidth, pictureHeight);
}

PixelRect PictureRect(int outputWidth, int outputHeight, int pictureWidth, int pictureHeight, bool integerScale) {
  int w = 0, h = 0;
  const int times = std::min(outputWidth / pictureWidth, outputHeight / pictureHeight);
  // Below one whole picture, whole multiples would crop it: it is shrunk to fit instead.
  if (integerScale && times >= 1) {
    w = pictureWidth * times;
    h = pictureHeight * times;
  } else if (static_cast<long long>(outputWidth) * pictureHeight <= static_cast<long long>(outputHeight) * pictureWidth) {
    // Narrower than the picture's shape: full width, bars above and below.
    w = outputWidth;
    h = static_cast<int>(std::lround(static_cast<double>(outputWidth) * pictureHeight / pictureWidth));
  } else {
    h = outputHeight;
    w = static_cast<int>(std::lround(static_cast<double>(outputHeight) * pictureWidth / pictureHeight));
  }
  return {(outputWidth - w) / 2, (outputHeight - h) / 2, w, h};
}

bool WindowToPicture(int x, int y, int windowWidth, int windowHeight, const PixelRect& picture,
                     int outputWidth, int outputHeight, int pictureWidth, int pictureHeight, int& pictureX,
                     int& pictureY) {
  if (windowWidth <= 0 || windowHeight <= 0 || picture.W <= 0 || picture.H <= 0) return false;
  // To drawable pixels (the centre of the window coordinate's area), then into the picture.
  const double ox = (x + 0.5) * outputWidth / windowWidth;
  const double oy = (y + 0.5) * outputHeight / windowHeight;
  const double px = std::floor((ox - picture.X) * pictureWidth / picture.W);
  const double py = std::floor((oy - picture.Y) * pictureHeight / picture.H);
  if (px < 0 || py < 0 || px >= pictureWidth || py >= pictureHeight) return false;
  pictureX = static_cast<int>(px);
  pictureY = static_cast<int>(py);
  return true;
}

}  // namespace kestrune
