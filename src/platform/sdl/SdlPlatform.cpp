#include "platform/sdl/SdlPlatform.h"

#include <SDL.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <iostream>
#include <map>
#include <optional>
#include <vector>

#include "framework/DisplayText.h"
#include "platform/GamepadMap.h"
#include "platform/NullAudio.h"
#include "platform/TextRenderer.h"
#include "platform/sdl/SdlAudio.h"
#include "platform/sdl/SdlControls.h"
#include "platform/sdl/SdlKeyMap.h"

namespace kestrune {
namespace {

// True when an executable of that name is in one of the PATH folders.
bool ProgramOnPath(const std::string& name) {
  const char* path = std::getenv("PATH");
  if (path == nullptr) return false;
  std::string folders = path;
  std::size_t start = 0;
  while (start <= folders.size()) {
    const std::size_t end = std::min(folders.find(':', start), folders.size());
    const std::string folder = folders.substr(start, end - start);
    std::error_code error;
    if (!folder.empty() && std::filesystem::is_regular_file(std::filesystem::path(folder) / name, error))
      return true;
    start = end + 1;
  }
  return false;
}

constexpr int kVkReturn = 0x0D;
constexpr int kVkBack = 0x08;
constexpr int kVkF12 = 0x7B;
// Frames measured after each mode switch to tell whether presenting really waits for the
// vertical blank.
constexpr int kVsyncProbeFrames = 30;
// Frames between two looks at the display's refresh rate.
constexpr int kRateCheckFrames = 60;
// The smallest window the player can size it to: a quarter of the picture, still readable.
constexpr int kMinimumWidth = 400, kMinimumHeight = 300;

class SdlPlatform final : public IPlatform {
 public:
  explicit SdlPlatform(const SdlPlatformSettings& settings)
      : settings_(settings), controls_(settings.Controls ? *settings.Controls : SdlDefaultControls()) {
    pad_.SetKeys(controls_.PadKeys());
    // Termination signals (Ctrl+C, the session ending) are the game's own: it saves, then ends,
    // instead of SDL turning them into a close command that only opens a confirmation.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, settings_.NearestFilter ? "nearest" : "linear");
  }

  ~SdlPlatform() override {
    if (window_ != nullptr && settings_.WindowClosing) {
      settings_.WindowClosing({windowed_.X - windowedBorders_.X, windowed_.Y - windowedBorders_.Y, windowed_.W,
                               windowed_.H});
    }
    CloseSecondWindow();
    audio_.reset();
    text_.reset();
    if (texture_ != nullptr) SDL_DestroyTexture(texture_);
    if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
    if (window_ != nullptr) SDL_DestroyWindow(window_);
    if (handCursor_ != nullptr) SDL_FreeCursor(handCursor_);
    if (arrowCursor_ != nullptr) SDL_FreeCursor(arrowCursor_);
    for (auto& [id, pad] : pads_) SDL_GameControllerClose(pad);
    if (padsInit_) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    if (videoInit_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
  }

  bool OpenWindow(const std::string& title, int width, int height) override {
    width_ = width;
    height_ = height;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
      lastError_ = std::string("no display is available (") + SDL_GetError() + ")";
      return false;
    }
    videoInit_ = true;
    // With no display at all SDL falls back to its invisible "offscreen" driver: the game would
    // run unseen. Only a driver asked for by name (SDL_VIDEODRIVER) may be one of those.
    const std::string driver = SDL_GetCurrentVideoDriver() != nullptr ? SDL_GetCurrentVideoDriver() : "";
    if ((driver == "offscreen" || driver == "dummy") && SDL_getenv("SDL_VIDEODRIVER") == nullptr) {
      lastError_ = "no display is available (neither DISPLAY nor WAYLAND_DISPLAY leads to one)";
      return false;
    }
    startPlace_ = StartPlace();
    // Resizable, the picture scaled into it; high-DPI displays give it their full pixel count.
    window_ = SDL_CreateWindow(title.c_str(), startPlace_.X, startPlace_.Y, startPlace_.W, startPlace_.H,
                               SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI);
    if (window_ == nullptr) {
      lastError_ = std::string("the window cannot be created (") + SDL_GetError() + ")";
      return false;
    }
    SDL_SetWindowMinimumSize(window_, kMinimumWidth, kMinimumHeight);
    SetIcon();
    RememberWindowed();
    renderer_ = SDL_CreateRenderer(window_, -1,
                                   SDL_RENDERER_ACCELERATED | (settings_.Vsync ? SDL_RENDERER_PRESENTVSYNC : 0));
    if (renderer_ == nullptr) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
    if (renderer_ == nullptr) {
      lastError_ = std::string("no renderer is available (") + SDL_GetError() + ")";
      return false;
    }
    SDL_RendererInfo info{};
    SDL_GetRendererInfo(renderer_, &info);
    vsyncReported_ = (info.flags & SDL_RENDERER_PRESENTVSYNC) != 0;
    // A display that is asked not to wait for the vertical blank gets the game's own pacing.
    if (!settings_.Vsync) vsyncReported_ = false;
    if (!CreateTexture()) {
      lastError_ = std::string("the display surface cannot be made (") + SDL_GetError() + ")";
      return false;
    }
    // The pointer over the game is a pointing hand.
    handCursor_ = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_HAND);
    if (handCursor_ != nullptr) SDL_SetCursor(handCursor_);
    SDL_StartTextInput();
    // Gamepads are optional: without the subsystem the game plays on the keyboard. Pads already
    // plugged in arrive as device-added events, like those plugged in later.
    padsInit_ = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
    if (!padsInit_)
      std::cerr << "Kestrune: gamepads are not available (" << SDL_GetError() << ")" << std::endl;
    StartVsyncProbe();
    lastRate_ = RefreshRate();
    return true;
  }

  std::string LastError() const override { return lastError_; }

  void SetFullScreen(bool fullScreen) override {
    if (window_ == nullptr || fullScreen == fullScreen_) return;
    if (SDL_SetWindowFullscreen(window_, fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) {
      lastError_ = SDL_GetError();
      return;
    }
    fullScreen_ = fullScreen;
    if (!fullScreen) {
      // Back at the size it had before full screen.
      SDL_SetWindowSize(window_, windowed_.W, windowed_.H);
      if (pendingPlacement_) {
        SDL_SetWindowPosition(window_, pendingPlacement_->X, pendingPlacement_->Y);
        if (pendingPlacement_->Width > 0 && pendingPlacement_->Height > 0)
          SDL_SetWindowSize(window_, pendingPlacement_->Width, pendingPlacement_->Height);
        pendingPlacement_.reset();
      } else if (centreWhenWindowed_) {
        MoveHome();
      }
      centreWhenWindowed_ = false;
    }
    StartVsyncProbe();
  }

  bool IsFullScreen() const override { return fullScreen_; }

  void ShowWindow(bool visible) override {
    if (window_ == nullptr) return;
    if (visible) {
      SDL_ShowWindow(window_);
    } else {
      SDL_HideWindow(window_);
    }
  }

  void Present(const std::uint16_t* pixels, int width, int height, int pitchPixels) override {
    if (renderer_ == nullptr) return;
    if (texture_ == nullptr && !CreateTexture()) return;
    (void)height;
    (void)width;
    SDL_UpdateTexture(texture_, nullptr, pixels, pitchPixels * static_cast<int>(sizeof(std::uint16_t)));
    if (screenshotWanted_) {
      screenshotWanted_ = false;
      if (settings_.TakeScreenshot) settings_.TakeScreenshot(pixels, width, height, pitchPixels);
    }
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    const PixelRect picture = PictureInOutput();
    const SDL_Rect target{picture.X, picture.Y, picture.W, picture.H};
    SDL_RenderCopy(renderer_, texture_, nullptr, &target);
    SDL_RenderPresent(renderer_);
    Pace();
    // SDL has no event for a change of the desktop's mode: its refresh rate is compared about
    // once a second.
    if (++presentsSinceRateCheck_ >= kRateCheckFrames) {
      presentsSinceRateCheck_ = 0;
      if (RefreshRate() != lastRate_) DisplayChanged();
    }
  }

  bool TakeSurfacesLost() override {
    const bool lost = surfacesLost_;
    surfacesLost_ = false;
    return lost;
  }

  int RefreshRate() const override {
    if (window_ == nullptr) return 0;
    SDL_DisplayMode mode{};
    const int display = std::max(SDL_GetWindowDisplayIndex(window_), 0);
    if (SDL_GetCurrentDisplayMode(display, &mode) != 0) return 0;
    return mode.refresh_rate;
  }

  void ShowCursor(bool visible) override { SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE); }

  bool GetWindowPlacement(WindowPlacement& p) const override {
    if (window_ == nullptr) return false;
    // The window's own placement: the last one it had as a window (before full screen, before
    // being maximised or minimised).
    p.X = windowed_.X;
    p.Y = windowed_.Y;
    p.Width = windowed_.W;
    p.Height = windowed_.H;
    p.Minimized = (SDL_GetWindowFlags(window_) & SDL_WINDOW_MINIMIZED) != 0;
    return true;
  }

  void SetWindowPlacement(const WindowPlacement& p) override {
    if (window_ == nullptr) return;
    if (fullScreen_) {
      pendingPlacement_ = p;  // applied when the window comes back
      return;
    }
    if (p.Width > 0 && p.Height > 0) SDL_SetWindowSize(window_, p.Width, p.Height);
    SDL_SetWindowPosition(window_, p.X, p.Y);
    if (p.Minimized) SDL_MinimizeWindow(window_);
  }

  // The window's home is where it opened: centred, or the place remembered from the last session.
  void CenterWindow() override {
    if (window_ == nullptr) return;
    if (fullScreen_) {
      centreWhenWindowed_ = true;
      pendingPlacement_.reset();
      return;
    }
    MoveHome();
  }

  // --- The second window (the goodbye window) ---------------------------------------------------
  bool OpenSecondWindow(const SecondWindowLayout& layout) override {
    CloseSecondWindow();
    if (window_ == nullptr || layout.Width <= 0 || layout.Height <= 0) return false;
    secondLayout_ = layout;
    const int w = layout.Width, h = layout.Height;
    const unsigned centred = SDL_WINDOWPOS_CENTERED_DISPLAY(std::max(SDL_GetWindowDisplayIndex(window_), 0));
    // Shaped where the system can; a plain borderless rectangle otherwise.
    if (layout.Shape.size() == static_cast<std::size_t>(w) * h) {
      second_ = SDL_CreateShapedWindow(layout.Title.c_str(), centred, centred, w, h, SDL_WINDOW_BORDERLESS);
      if (second_ != nullptr && !ApplyShape(layout)) {
        SDL_DestroyWindow(second_);
        second_ = nullptr;
      }
    }
    if (second_ == nullptr)
      second_ = SDL_CreateWindow(layout.Title.c_str(), static_cast<int>(centred), static_cast<int>(centred), w,
                                 h, SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN);
    if (second_ == nullptr) return false;
    // Centred on the main window's display; a shaped window does not always honour the centred
    // position it was created with.
    SDL_Rect bounds{};
    if (SDL_GetDisplayBounds(std::max(SDL_GetWindowDisplayIndex(window_), 0), &bounds) == 0)
      SDL_SetWindowPosition(second_, bounds.x + (bounds.w - w) / 2, bounds.y + (bounds.h - h) / 2);
    SDL_SetWindowHitTest(second_, &SdlPlatform::SecondWindowHitTest, this);
    // The picture is an RGB565 copy blitted onto the window's own surface. No renderer: making
    // one recreates the window and loses its shape, and so does a window surface that goes
    // through a renderer, hence the hint.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    secondPicture_ = SDL_CreateRGBSurfaceWithFormat(0, w, h, 16, SDL_PIXELFORMAT_RGB565);
    if (secondPicture_ == nullptr || SDL_GetWindowSurface(second_) == nullptr) {
      CloseSecondWindow();
      return false;
    }
    SDL_FillRect(secondPicture_, nullptr, 0);
    SDL_ShowWindow(second_);
    // Shaped windows start off screen and some window managers keep them there on showing:
    // place it again once it is shown.
    if (bounds.w > 0)
      SDL_SetWindowPosition(second_, bounds.x + (bounds.w - w) / 2, bounds.y + (bounds.h - h) / 2);
    SDL_RaiseWindow(second_);
    return true;
  }

  void PresentSecondWindow(const std::uint16_t* pixels, int pitchPixels) override {
    if (secondPicture_ == nullptr) return;
    SDL_LockSurface(secondPicture_);
    for (int y = 0; y < secondPicture_->h; ++y)
      std::copy(pixels + static_cast<std::size_t>(y) * pitchPixels,
                pixels + static_cast<std::size_t>(y) * pitchPixels + secondPicture_->w,
                reinterpret_cast<std::uint16_t*>(static_cast<std::uint8_t*>(secondPicture_->pixels) +
                                                 static_cast<std::size_t>(y) * secondPicture_->pitch));
    SDL_UnlockSurface(secondPicture_);
    RedrawSecondWindow();
  }

  // Shows the last picture again (the window was uncovered or moved).
  void RedrawSecondWindow() {
    if (secondPicture_ == nullptr) return;
    SDL_Surface* surface = SDL_GetWindowSurface(second_);
    if (surface == nullptr) return;
    SDL_BlitSurface(secondPicture_, nullptr, surface, nullptr);
    SDL_UpdateWindowSurface(second_);
  }

  void CloseSecondWindow() override {
    if (secondPicture_ != nullptr) SDL_FreeSurface(secondPicture_);
    if (second_ != nullptr) SDL_DestroyWindow(second_);
    secondPicture_ = nullptr;
    second_ = nullptr;
  }

  std::uint32_t Milliseconds() const override { return SDL_GetTicks(); }

  bool PollEvent(PlatformEvent& out) override {
    while (queue_.empty()) {
      SDL_Event e;
      if (SDL_PollEvent(&e) == 0) return false;
      Translate(e);
    }
    out = queue_.front();
    queue_.pop_front();
    return true;
  }

  void WaitForEvent(int timeoutMs) override {
    if (!queue_.empty()) return;
    SDL_Event e;
    if (SDL_WaitEventTimeout(&e, timeoutMs) != 0) Translate(e);
  }

  void ReadKeyboard(std::uint8_t states[256]) override {
    std::fill(states, states + 256, 0);
    int count = 0;
    const Uint8* keys = SDL_GetKeyboardState(&count);
    for (int sc = 0; sc < count; ++sc) {
      if (keys[sc] == 0) continue;
      const auto scancode = static_cast<SDL_Scancode>(sc);
      const int vk = downKey_[sc] != 0 ? downKey_[sc] : KeyOf(scancode, SDL_GetKeyFromScancode(scancode));
      if (vk > 0 && vk < 256) states[vk] = 0x80;
    }
    if (IsForeground()) pad_.AddHeldKeys(states);
    // The left and right modifier keys also have codes of their own.
    auto side = [&](SDL_Scancode sc, int vk) {
      if (sc < count && keys[sc] != 0) states[vk] = 0x80;
    };
    side(SDL_SCANCODE_LSHIFT, 0xA0);
    side(SDL_SCANCODE_RSHIFT, 0xA1);
    side(SDL_SCANCODE_LCTRL, 0xA2);
    side(SDL_SCANCODE_RCTRL, 0xA3);
    side(SDL_SCANCODE_LALT, 0xA4);
    side(SDL_SCANCODE_RALT, 0xA5);
  }

  bool IsForeground() const override {
    return window_ != nullptr && (SDL_GetWindowFlags(window_) & SDL_WINDOW_INPUT_FOCUS) != 0;
  }

  void ShowMessageBox(const std::string& title, const std::string& text) override {
    // The box does not wrap by itself: long messages (paths, nested errors) would run off it.
    const std::string wrapped = WrapLines(text, 72);
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title.c_str(), wrapped.c_str(), window_);
  }

  void OpenUrl(const std::string& address) override {
    // SDL hands the address to xdg-open in a detached process and cannot tell whether that
    // worked; a missing xdg-open is the one failure seen here.
    if (!ProgramOnPath("xdg-open")) {
      std::cerr << "Kestrune: cannot open " << address << ": no handler (xdg-open) is installed" << std::endl;
      return;
    }
    if (SDL_OpenURL(address.c_str()) != 0)
      std::cerr << "Kestrune: cannot open " << address << ": " << SDL_GetError() << std::endl;
  }

  void SetHandCursor(bool hand) override {
    if (hand) {
      if (handCursor_ == nullptr) handCursor_ = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_HAND);
      if (handCursor_ != nullptr) SDL_SetCursor(handCursor_);
    } else {
      if (arrowCursor_ == nullptr) arrowCursor_ = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
      if (arrowCursor_ != nullptr) SDL_SetCursor(arrowCursor_);
    }
  }

  void Quit() override { quit_ = true; }
  bool QuitRequested() const override { return quit_; }
  std::string SaveFolder() const override { return settings_.SaveFolder; }
  void SetTextEntry(bool typing) override { typing_ = typing; }

  ITextRenderer& Text() override {
    if (!text_) text_ = CreateTextRenderer();
    return *text_;
  }

  IAudioOutput& Audio() override {
    if (!audio_) {
      audio_ = CreateSdlAudioOutput();
      if (!audio_) audio_ = std::make_unique<NullAudioOutput>();
      audio_->SetVolumes(settings_.MusicVolume, settings_.SoundVolume);
    }
    return *audio_;
  }

 private:
  // The game's key for a keyboard key: while text is typed (a name, the country) every key is
  // itself, so a letter moved to an action still types; otherwise the player's controls.
  int KeyOf(SDL_Scancode scancode, SDL_Keycode key) const {
    return typing_ ? VirtualKeyFromKey(scancode, key) : MappedVirtualKey(controls_, scancode, key);
  }

  // The shape as an alpha mask: opaque where the window shows.
  bool ApplyShape(const SecondWindowLayout& layout) {
    SDL_Surface* mask =
        SDL_CreateRGBSurfaceWithFormat(0, layout.Width, layout.Height, 32, SDL_PIXELFORMAT_RGBA32);
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
    const bool ok = SDL_SetWindowShape(second_, mask, &mode) == 0;
    SDL_FreeSurface(mask);
    return ok;
  }

  static SDL_HitTestResult SecondWindowHitTest(SDL_Window* window, const SDL_Point* point, void* data) {
    (void)window;
    const auto* self = static_cast<const SdlPlatform*>(data);
    const auto& isDragArea = self->secondLayout_.IsDragArea;
    return isDragArea && isDragArea(point->x, point->y) ? SDL_HITTEST_DRAGGABLE : SDL_HITTEST_NORMAL;
  }

  // Events of the second window: its mouse in window coordinates, its key presses (Esc and
  // Enter close it) and its close command; its focus changes are not the game's.
  void TranslateSecondWindow(const SDL_Event& e) {
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
      out.VirtualKey = KeyOf(e.key.keysym.scancode, e.key.keysym.sym);
      if (out.VirtualKey == 0) return;
    } else if (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_CLOSE) {
      out.Type = PlatformEvent::Kind::Close;
    } else if (e.type == SDL_WINDOWEVENT &&
               (e.window.event == SDL_WINDOWEVENT_EXPOSED || e.window.event == SDL_WINDOWEVENT_SHOWN)) {
      RedrawSecondWindow();
      return;
    } else {
      return;
    }
    Push(out);
  }

  // The window an event belongs to (0 for events of no window).
  static Uint32 EventWindowId(const SDL_Event& e) {
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

  bool CreateTexture() {
    if (texture_ != nullptr) SDL_DestroyTexture(texture_);
    texture_ =
        SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB565, SDL_TEXTUREACCESS_STREAMING, width_, height_);
    return texture_ != nullptr;
  }

  void Push(const PlatformEvent& e) { queue_.push_back(e); }

  // The window's display or its mode changed: the game reads the refresh rate again, and whether
  // presenting waits for the vertical blank is measured again at the new rate.
  void DisplayChanged() {
    lastRate_ = RefreshRate();
    PlatformEvent out;
    out.Type = PlatformEvent::Kind::DisplayChanged;
    Push(out);
    StartVsyncProbe();
  }

  // The picture's rectangle in the renderer's output (drawable pixels, more than the window's
  // coordinates on a high-DPI display).
  PixelRect PictureInOutput() const {
    int w = width_, h = height_;
    if (renderer_ != nullptr) SDL_GetRendererOutputSize(renderer_, &w, &h);
    return PictureRect(w, h, width_, height_, settings_.IntegerScale);
  }

  // A mouse position in window coordinates to a picture pixel; false over the bars around it.
  bool ToPicture(int x, int y, int& px, int& py) const {
    int winW = 0, winH = 0, outW = width_, outH = height_;
    SDL_GetWindowSize(window_, &winW, &winH);
    if (renderer_ != nullptr) SDL_GetRendererOutputSize(renderer_, &outW, &outH);
    return WindowToPicture(x, y, winW, winH, PictureRect(outW, outH, width_, height_, settings_.IntegerScale),
                           outW, outH, width_, height_, px, py);
  }

  // Where the window opens: the last session's place when it can still be reached on one of the
  // displays, else the largest whole multiple of the picture that fits the first display.
  PixelRect StartPlace() const {
    std::vector<PixelRect> displays;
    for (int i = 0; i < SDL_GetNumVideoDisplays(); ++i) {
      SDL_Rect b{};
      if (SDL_GetDisplayUsableBounds(i, &b) == 0) displays.push_back({b.x, b.y, b.w, b.h});
    }
    if (const auto reopened = settings_.LastWindow ? ReopenedWindowRect(*settings_.LastWindow, displays)
                                                    : std::nullopt) {
      PixelRect last = *reopened;
      last.W = std::max(last.W, kMinimumWidth);
      last.H = std::max(last.H, kMinimumHeight);
      return last;
    }
    const PixelRect usable = displays.empty() ? PixelRect{0, 0, width_, height_} : displays.front();
    return FirstWindowRect(usable, width_, height_);
  }

  // The place and size of the window as a window, kept while it is one: full screen, maximised
  // and minimised states are not what the player sized it to.
  void RememberWindowed() {
    if (window_ == nullptr || fullScreen_) return;
    const Uint32 flags = SDL_GetWindowFlags(window_);
    if ((flags & (SDL_WINDOW_FULLSCREEN | SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_MAXIMIZED |
                  SDL_WINDOW_MINIMIZED)) != 0)
      return;
    SDL_GetWindowPosition(window_, &windowed_.X, &windowed_.Y);
    SDL_GetWindowSize(window_, &windowed_.W, &windowed_.H);
    // The frame's left and top edges, known once the window manager has framed the window.
    int top = 0, left = 0;
    if (SDL_GetWindowBordersSize(window_, &top, &left, nullptr, nullptr) == 0) windowedBorders_ = {left, top, 0, 0};
  }

  // Back where the window opened. A new window is placed by its frame's corner, a moved one by
  // its inside's (SDL allows for the frame once it knows it): the frame goes back to its corner
  // either way, so the window opens at the same place session after session.
  void MoveHome() {
    int top = 0, left = 0;
    if (SDL_GetWindowBordersSize(window_, &top, &left, nullptr, nullptr) != 0) top = left = 0;
    SDL_SetWindowPosition(window_, startPlace_.X + left, startPlace_.Y + top);
  }

  void SetIcon() {
    if (settings_.IconFile.empty()) return;
    SDL_Surface* icon = SDL_LoadBMP(settings_.IconFile.c_str());
    if (icon == nullptr) {
      std::cerr << "Kestrune: the window icon " << EscapeForDisplay(settings_.IconFile)
                << " cannot be read (" << SDL_GetError() << ")" << std::endl;
      return;
    }
    SDL_SetWindowIcon(window_, icon);
    SDL_FreeSurface(icon);
  }

  void Translate(const SDL_Event& e) {
    if (second_ != nullptr && EventWindowId(e) == SDL_GetWindowID(second_)) {
      TranslateSecondWindow(e);
      return;
    }
    PlatformEvent out;
    switch (e.type) {
      case SDL_QUIT:
        out.Type = PlatformEvent::Kind::Close;
        Push(out);
        break;
      case SDL_WINDOWEVENT:
        if (e.window.event == SDL_WINDOWEVENT_CLOSE) {
          // SDL_QUIT follows for the last window; one close command is enough.
          break;
        } else if (e.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) {
          out.Type = PlatformEvent::Kind::FocusGained;
          Push(out);
        } else if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
          out.Type = PlatformEvent::Kind::FocusLost;
          Push(out);
        } else if (e.window.event == SDL_WINDOWEVENT_DISPLAY_CHANGED) {
          DisplayChanged();
        } else if (e.window.event == SDL_WINDOWEVENT_MOVED || e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
          RememberWindowed();
        }
        break;
      case SDL_DISPLAYEVENT:
        // A monitor came or went, or turned.
        DisplayChanged();
        break;
      case SDL_KEYDOWN:
      case SDL_KEYUP: {
        // A key comes up as the key it went down as, though the typing mode changed meanwhile.
        const SDL_Scancode sc = e.key.keysym.scancode;
        const bool known = sc >= 0 && sc < SDL_NUM_SCANCODES;
        int vk = KeyOf(sc, e.key.keysym.sym);
        if (known && e.type == SDL_KEYDOWN && e.key.repeat == 0) downKey_[sc] = vk;
        if (known && e.type == SDL_KEYUP && downKey_[sc] != 0) {
          vk = downKey_[sc];
          downKey_[sc] = 0;
        }
        const Uint16 mod = e.key.keysym.mod;
        out.Shift = (mod & KMOD_SHIFT) != 0;
        out.Ctrl = (mod & KMOD_CTRL) != 0;
        out.Alt = (mod & KMOD_ALT) != 0;
        if (e.type == SDL_KEYDOWN) {
          // Auto-repeat is not a new key press: a held Alt+Enter must not keep switching modes.
          // F12 takes a screenshot of the next picture shown; the game goes on meanwhile.
          if (vk == kVkF12 && e.key.repeat == 0) screenshotWanted_ = true;
          if (vk != 0 && e.key.repeat == 0) {
            out.Type = PlatformEvent::Kind::KeyDown;
            out.VirtualKey = vk;
            Push(out);
          }
          // Backspace and Enter reach typed text as characters 8 and 13, after their key-down.
          // Backspace repeats while held; Enter does not (one activation per press), and with
          // Alt it is the display-mode switch and types nothing.
          const bool typesBack = vk == kVkBack;
          const bool typesEnter = vk == kVkReturn && !out.Alt && e.key.repeat == 0;
          if (typesBack || typesEnter) {
            PlatformEvent ch;
            ch.Type = PlatformEvent::Kind::Char;
            ch.Char = static_cast<std::uint8_t>(vk);
            Push(ch);
          }
        } else if (vk != 0) {
          out.Type = PlatformEvent::Kind::KeyUp;
          out.VirtualKey = vk;
          Push(out);
        }
        break;
      }
      case SDL_TEXTINPUT:
        PushText(e.text.text);
        break;
      case SDL_MOUSEMOTION:
        if (ToPicture(e.motion.x, e.motion.y, out.X, out.Y)) {
          out.Type = PlatformEvent::Kind::MouseMove;
          Push(out);
        }
        break;
      case SDL_MOUSEBUTTONUP:
        // A click is a left button released over the picture.
        if (e.button.button == SDL_BUTTON_LEFT && ToPicture(e.button.x, e.button.y, out.X, out.Y)) {
          out.Type = PlatformEvent::Kind::MouseClick;
          // The game drops the second click of a double-click once what it aimed at has gone.
          out.Clicks = e.button.clicks;
          Push(out);
        }
        break;
      case SDL_CONTROLLERDEVICEADDED:
        if (SDL_GameController* pad = SDL_GameControllerOpen(e.cdevice.which)) {
          const SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad));
          if (pads_.count(id) == 0) {
            pads_[id] = pad;
            std::cerr << "Kestrune: gamepad connected: " << SDL_GameControllerName(pad) << std::endl;
          } else {
            SDL_GameControllerClose(pad);  // opened twice: the added event came for a known pad
          }
        }
        break;
      case SDL_CONTROLLERDEVICEREMOVED:
        if (auto it = pads_.find(e.cdevice.which); it != pads_.end()) {
          SDL_GameControllerClose(it->second);
          pads_.erase(it);
          // Whatever the pad held comes up, so the car does not drive on by itself.
          pad_.ReleaseAll(queue_);
        }
        break;
      case SDL_CONTROLLERBUTTONDOWN:
      case SDL_CONTROLLERBUTTONUP:
        if (const auto button = PadButtonOf(e.cbutton.button))
          pad_.Button(*button, e.type == SDL_CONTROLLERBUTTONDOWN, queue_);
        break;
      case SDL_CONTROLLERAXISMOTION:
        if (const auto axis = PadAxisOf(e.caxis.axis)) pad_.Axis(*axis, e.caxis.value, queue_);
        break;
      case SDL_RENDER_TARGETS_RESET:
      case SDL_RENDER_DEVICE_RESET:
        // The texture's contents (or the texture itself) are gone: rebuild it and let the display
        // send its restore notification.
        CreateTexture();
        surfacesLost_ = true;
        break;
      default:
        break;
    }
  }

  // UTF-8 text to 8-bit characters; characters beyond Latin-1 are dropped.
  void PushText(const char* utf8) {
    const auto* s = reinterpret_cast<const unsigned char*>(utf8);
    while (*s != 0) {
      unsigned cp = 0;
      int extra = 0;
      if (*s < 0x80) {
        cp = *s;
      } else if ((*s & 0xE0) == 0xC0) {
        cp = *s & 0x1F;
        extra = 1;
      } else if ((*s & 0xF0) == 0xE0) {
        cp = *s & 0x0F;
        extra = 2;
      } else if ((*s & 0xF8) == 0xF0) {
        cp = *s & 0x07;
        extra = 3;
      } else {
        ++s;
        continue;
      }
      ++s;
      bool ok = true;
      for (int i = 0; i < extra; ++i) {
        if ((*s & 0xC0) != 0x80) {
          ok = false;
          break;
        }
        cp = (cp << 6) | (*s & 0x3F);
        ++s;
      }
      if (ok && cp >= 0x20 && cp < 0x100 && cp != 0x7F) {
        PlatformEvent ch;
        ch.Type = PlatformEvent::Kind::Char;
        ch.Char = static_cast<std::uint8_t>(cp);
        Push(ch);
      }
    }
  }

  // --- Frame pacing --------------------------------------------------------------------------
  // The game expects presenting to wait for the vertical blank. After each mode switch the first
  // frames are measured; when they come much faster than the display refreshes (a software
  // renderer, a virtual display), presenting waits for the next refresh period itself.
  void StartVsyncProbe() {
    probeFrames_ = 0;
    probeStart_ = 0;
    ownPacing_ = !vsyncReported_;
    nextDeadline_ = 0;
  }

  double PeriodSeconds() const {
    const int hz = RefreshRate();
    return 1.0 / (hz <= 1 ? 60 : hz);
  }

  void Pace() {
    const Uint64 freq = SDL_GetPerformanceFrequency();
    Uint64 now = SDL_GetPerformanceCounter();
    const double period = PeriodSeconds();
    if (vsyncReported_ && probeFrames_ <= kVsyncProbeFrames) {
      if (probeFrames_ == 0) probeStart_ = now;
      if (probeFrames_ == kVsyncProbeFrames) {
        const double mean = static_cast<double>(now - probeStart_) / freq / kVsyncProbeFrames;
        ownPacing_ = mean < 0.8 * period;
      }
      ++probeFrames_;
      if (!ownPacing_) return;
    }
    if (!ownPacing_) return;
    const auto periodTicks = static_cast<Uint64>(period * static_cast<double>(freq));
    if (nextDeadline_ == 0 || now >= nextDeadline_ + periodTicks / 2) {
      // First frame, or this frame came late: count periods from now rather than rushing the
      // next frames out to catch up, which would make the game stutter.
      nextDeadline_ = now + periodTicks;
      return;
    }
    if (now < nextDeadline_) {
      const double waitMs = static_cast<double>(nextDeadline_ - now) * 1000.0 / freq;
      if (waitMs > 2.0) SDL_Delay(static_cast<Uint32>(waitMs - 1.5));
      while (SDL_GetPerformanceCounter() < nextDeadline_) {
      }
    }
    nextDeadline_ += periodTicks;
  }

  static std::optional<PadButton> PadButtonOf(Uint8 button) {
    switch (button) {
      case SDL_CONTROLLER_BUTTON_A:
        return PadButton::A;
      case SDL_CONTROLLER_BUTTON_B:
        return PadButton::B;
      case SDL_CONTROLLER_BUTTON_X:
        return PadButton::X;
      case SDL_CONTROLLER_BUTTON_Y:
        return PadButton::Y;
      case SDL_CONTROLLER_BUTTON_BACK:
        return PadButton::Back;
      case SDL_CONTROLLER_BUTTON_START:
        return PadButton::Start;
      case SDL_CONTROLLER_BUTTON_LEFTSHOULDER:
        return PadButton::LeftShoulder;
      case SDL_CONTROLLER_BUTTON_RIGHTSHOULDER:
        return PadButton::RightShoulder;
      case SDL_CONTROLLER_BUTTON_DPAD_UP:
        return PadButton::DpadUp;
      case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
        return PadButton::DpadDown;
      case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
        return PadButton::DpadLeft;
      case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
        return PadButton::DpadRight;
      default:
        return std::nullopt;
    }
  }

  static std::optional<PadAxis> PadAxisOf(Uint8 axis) {
    switch (axis) {
      case SDL_CONTROLLER_AXIS_LEFTX:
        return PadAxis::LeftX;
      case SDL_CONTROLLER_AXIS_LEFTY:
        return PadAxis::LeftY;
      case SDL_CONTROLLER_AXIS_TRIGGERLEFT:
        return PadAxis::LeftTrigger;
      case SDL_CONTROLLER_AXIS_TRIGGERRIGHT:
        return PadAxis::RightTrigger;
      default:
        return std::nullopt;
    }
  }

  SdlPlatformSettings settings_;
  ControlsTable controls_;
  bool typing_ = false;
  // The game's key each held key went down as.
  std::array<int, SDL_NUM_SCANCODES> downKey_{};
  bool screenshotWanted_ = false;
  bool padsInit_ = false;
  std::map<SDL_JoystickID, SDL_GameController*> pads_;
  GamepadMap pad_;
  int width_ = 800, height_ = 600;
  PixelRect startPlace_;
  PixelRect windowed_{0, 0, 800, 600};
  PixelRect windowedBorders_;  // X: the frame's left edge, Y: its top edge (title bar)
  bool videoInit_ = false;
  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  SDL_Cursor* handCursor_ = nullptr;
  SDL_Cursor* arrowCursor_ = nullptr;
  SDL_Window* second_ = nullptr;
  SDL_Surface* secondPicture_ = nullptr;
  SecondWindowLayout secondLayout_;
  bool vsyncReported_ = false;
  bool ownPacing_ = true;
  int probeFrames_ = 0;
  Uint64 probeStart_ = 0;
  Uint64 nextDeadline_ = 0;
  int lastRate_ = 0;
  int presentsSinceRateCheck_ = 0;
  bool fullScreen_ = false;
  bool surfacesLost_ = false;
  bool quit_ = false;
  bool centreWhenWindowed_ = false;
  std::optional<WindowPlacement> pendingPlacement_;
  std::deque<PlatformEvent> queue_;
  std::string lastError_;
  std::unique_ptr<ITextRenderer> text_;
  std::unique_ptr<IAudioOutput> audio_;
};

}  // namespace

std::unique_ptr<IPlatform> CreateSdlPlatform(const SdlPlatformSettings& settings) {
  return std::make_unique<SdlPlatform>(settings);
}

std::string SdlUserFolder() {
  char* path = SDL_GetPrefPath("", "kestrune");
  if (path == nullptr) return {};
  std::string folder = path;
  SDL_free(path);
  return folder;
}

}  // namespace kestrune
