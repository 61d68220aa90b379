#include "platform/sdl/SdlSecondWindow.h"

#include <algorithm>
#include <cstddef>

namespace kestrune {
namespace {

// The window an event belongs to (0 for events of no window).
Uint32 EventWindowId(const SDL_Event& e) {
  switch (e.type) {
    case SDL_WINDOWEVENT:
      return e.window.windowID;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      return e.key.windowID;
    case SDL_TEXTINPUT:
      return e.text.windowID;
    case SDL_MOUSEMOTION:
      return e.motion.windowID;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      return e.button.windowID;
    default:
      return 0;
  }
}

}  // namespace

bool SdlSecondWindow::Open(const SecondWindowLayout& layout, SDL_Window* mainWindow) {
  Close();
  if (mainWindow == nullptr || layout.Width <= 0 || layout.Height <= 0) return false;
  layout_ = layout;
  const int w = layout.Width, h = layout.Height;
  const int display = std::max(SDL_GetWindowDisplayIndex(mainWindow), 0);
  const unsigned centred = SDL_WINDOWPOS_CENTERED_DISPLAY(display);
  // Shaped where the system can; a plain borderless rectangle otherwise.
  if (layout.Shape.size() == static_cast<std::size_t>(w) * h) {
    window_ = SDL_CreateShapedWindow(layout.Title.c_str(), centred, centred, w, h, SDL_WINDOW_BORDERLESS);
    if (window_ != nullptr && !ApplyShape(layout)) {
      SDL_DestroyWindow(window_);
      window_ = nullptr;
    }
  }
  if (window_ == nullptr)
    window_ = SDL_CreateWindow(layout.Title.c_str(), static_cast<int>(centred), static_cast<int>(centred), w, h,
                               SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN);
  if (window_ == nullptr) return false;
  // Centred on the main window's display; a shaped window does not always honour the centred
  // position it was created with.
  SDL_Rect bounds{};
  if (SDL_GetDisplayBounds(display, &bounds) == 0)
    SDL_SetWindowPosition(window_, bounds.x + (bounds.w - w) / 2, bounds.y + (bounds.h - h) / 2);
  SDL_SetWindowHitTest(window_, &SdlSecondWindow::HitTest, this);
  // The picture is an RGB565 copy blitted onto the window's own surface. No renderer: making
  // one recreates the window and loses its shape, and so does a window surface that goes
  // through a renderer, hence the hint.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  picture_ = SDL_CreateRGBSurfaceWithFormat(0, w, h, 16, SDL_PIXELFORMAT_RGB565);
  if (picture_ == nullptr || SDL_GetWindowSurface(window_) == nullptr) {
    Close();
    return false;
  }
  SDL_FillRect(picture_, nullptr, 0);
  SDL_ShowWindow(window_);
  // Shaped windows start off screen and some window managers keep them there on showing:
  // place it again once it is shown.
  if (bounds.w > 0) SDL_SetWindowPosition(window_, bounds.x + (bounds.w - w) / 2, bounds.y + (bounds.h - h) / 2);
  SDL_RaiseWindow(window_);
  return true;
}

void SdlSecondWindow::Present(const std::uint16_t* pixels, int pitchPixels) {
  if (picture_ == nullptr) return;
  SDL_LockSurface(picture_);
  for (int y = 0; y < picture_->h; ++y)
    std::copy(pixels + static_cast<std::size_t>(y) * pitchPixels,
              pixels + static_cast<std::size_t>(y) * pitchPixels + picture_->w,
              reinterpret_cast<std::uint16_t*>(static_cast<std::uint8_t*>(picture_->pixels) +
                                               static_cast<std::size_t>(y) * picture_->pitch));
  SDL_UnlockSurface(picture_);
  Redraw();
}

void SdlSecondWindow::Redraw() {
  if (picture_ == nullptr) return;
  SDL_Surface* surface = SDL_GetWindowSurface(window_);
  if (surface == nullptr) return;
  SDL_BlitSurface(picture_, nullptr, surface, nullptr);
  SDL_UpdateWindowSurface(window_);
}

void SdlSecondWindow::Close() {
  if (picture_ != nullptr) SDL_FreeSurface(picture_);
  if (window_ != nullptr) SDL_DestroyWindow(window_);
  picture_ = nullptr;
  window_ = nullptr;
}

bool SdlSecondWindow::Owns(const SDL_Event& e) const {
  return window_ != nullptr && EventWindowId(e) == SDL_GetWindowID(window_);
}

std::optional<PlatformEvent> SdlSecondWindow::Translate(const SDL_Event& e, int virtualKey) {
  PlatformEvent out;
  out.Window = 1;
  if (e.type == SDL_MOUSEMOTION) {
    out.Type = PlatformEvent::Kind::MouseMove;
    out.X = e.motion.x;
    out.Y = e.motion.y;
  } else if (e.type == SDL_MOUSEBUTTONUP && e.button.button == SDL_BUTTON_LEFT) {
    out.Type = PlatformEvent::Kind::MouseClick;
    out.X = e.button.x;
    out.Y = e.button.y;
    out.Clicks = e.button.clicks;
  } else if (e.type == SDL_KEYDOWN && e.key.repeat == 0) {
    out.Type = PlatformEvent::Kind::KeyDown;
    out.VirtualKey = virtualKey;
    if (out.VirtualKey == 0) return std::nullopt;
  } else if (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_CLOSE) {
    out.Type = PlatformEvent::Kind::Close;
  } else if (e.type == SDL_WINDOWEVENT &&
             (e.window.event == SDL_WINDOWEVENT_EXPOSED || e.window.event == SDL_WINDOWEVENT_SHOWN)) {
    Redraw();
    return std::nullopt;
  } else {
    return std::nullopt;
  }
  return out;
}

// The shape as an alpha mask: opaque where the window shows.
bool SdlSecondWindow::ApplyShape(const SecondWindowLayout& layout) {
  SDL_Surface* mask = SDL_CreateRGBSurfaceWithFormat(0, layout.Width, layout.Height, 32, SDL_PIXELFORMAT_RGBA32);
  if (mask == nullptr) return false;
  SDL_LockSurface(mask);
  for (int y = 0; y < layout.Height; ++y) {
    auto* row = reinterpret_cast<std::uint8_t*>(mask->pixels) + static_cast<std::size_t>(y) * mask->pitch;
    for (int x = 0; x < layout.Width; ++x) {
      const bool shows = layout.Shape[static_cast<std::size_t>(y) * layout.Width + x] != 0;
      row[4 * x] = row[4 * x + 1] = row[4 * x + 2] = 255;
      row[4 * x + 3] = shows ? 255 : 0;
    }
  }
  SDL_UnlockSurface(mask);
  SDL_WindowShapeMode mode{};
  mode.mode = ShapeModeBinarizeAlpha;
  mode.parameters.binarizationCutoff = 128;
  const bool ok = SDL_SetWindowShape(window_, mask, &mode) == 0;
  SDL_FreeSurface(mask);
  return ok;
}

SDL_HitTestResult SdlSecondWindow::HitTest(SDL_Window* window, const SDL_Point* point, void* data) {
  (void)window;
  const auto* self = static_cast<const SdlSecondWindow*>(data);
  const auto& isDragArea = self->layout_.IsDragArea;
  return isDragArea && isDragArea(point->x, point->y) ? SDL_HITTEST_DRAGGABLE : SDL_HITTEST_NORMAL;
}

}  // namespace kestrune
