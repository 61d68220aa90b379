#include "platform/sdl/SdlPlatform.h"

#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <iostream>
#include <optional>

#include "framework/DisplayText.h"
#include "platform/GamepadMap.h"
#include "platform/NullAudio.h"
#include "platform/TextRenderer.h"
#include "platform/sdl/SdlAudio.h"
#include "platform/sdl/SdlControls.h"
#include "platform/sdl/SdlFramePacer.h"
#include "platform/sdl/SdlKeyboard.h"
#include "platform/sdl/SdlPads.h"
#include "platform/sdl/SdlPresenter.h"
#include "platform/sdl/SdlSecondWindow.h"
#include "platform/sdl/SdlTypedText.h"
#include "platform/sdl/SdlWindowIcon.h"
#include "platform/sdl/SdlWindowPlace.h"

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

// True when the machine has a GPU device (a DRM card or render node) for OpenGL to draw with.
bool GpuDevicePresent() {
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/dev/dri", error)) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with("renderD") || name.starts_with("card")) return true;
  }
  return false;
}

constexpr int kVkF12 = 0x7B;
// Frames between two looks at the display's refresh rate.
constexpr int kRateCheckFrames = 60;

// The player's controls, or the default table.
ControlsTable ControlsOf(const SdlPlatformSettings& settings) {
  return settings.Controls ? *settings.Controls : SdlDefaultControls();
}

class SdlPlatform final : public IPlatform {
 public:
  explicit SdlPlatform(const SdlPlatformSettings& settings)
      : settings_(settings), keyboard_(ControlsOf(settings)) {
    pad_.SetKeys(ControlsOf(settings).PadKeys());
    // Termination signals (Ctrl+C, the session ending) are the game's own: it saves, then ends,
    // instead of SDL turning them into a close command that only opens a confirmation.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, settings_.NearestFilter ? "nearest" : "linear");
  }

  ~SdlPlatform() override {
    if (window_ != nullptr && settings_.WindowClosing) {
      settings_.WindowClosing(place_.ForNextSession());
    }
    second_.Close();
    audio_.reset();
    text_.reset();
    presenter_.reset();
    if (window_ != nullptr) SDL_DestroyWindow(window_);
    if (handCursor_ != nullptr) SDL_FreeCursor(handCursor_);
    if (arrowCursor_ != nullptr) SDL_FreeCursor(arrowCursor_);
    pads_.CloseAll();
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
    // run unseen. Only a driver asked for by name (SDL_VIDEODRIVER) may be one of those; the
    // variable set but empty names none, and SDL then picks as if it were unset.
    const std::string driver = SDL_GetCurrentVideoDriver() != nullptr ? SDL_GetCurrentVideoDriver() : "";
    const char* asked = SDL_getenv("SDL_VIDEODRIVER");
    const bool driverNamed = asked != nullptr && *asked != '\0';
    if ((driver == "offscreen" || driver == "dummy") && !driverNamed) {
      lastError_ = "no display is available (neither DISPLAY nor WAYLAND_DISPLAY leads to one)";
      return false;
    }
    // SDL's window surface on X11 otherwise goes through an OpenGL texture, which costs what the
    // accelerated renderer costs: drawn into shared memory, the display server takes it as it is.
    if (driver == "x11") SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    const PixelRect home =
        settings_.FixedWindow
            ? PixelRect{static_cast<int>(SDL_WINDOWPOS_CENTERED), static_cast<int>(SDL_WINDOWPOS_CENTERED), width_, height_}
            : place_.ChooseHome(settings_.LastWindow, width_, height_);
    // Resizable, the picture scaled into it; high-DPI displays give it their full pixel count.
    window_ = SDL_CreateWindow(title.c_str(), home.X, home.Y, home.W, home.H,
                               settings_.FixedWindow
                                   ? SDL_WINDOW_SHOWN
                                   : SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI);
    if (window_ == nullptr) {
      lastError_ = std::string("the window cannot be created (") + SDL_GetError() + ")";
      return false;
    }
    SDL_SetWindowMinimumSize(window_, kMinimumWindowWidth, kMinimumWindowHeight);
    SetWindowIconFromFile(window_, settings_.IconFile);
    place_.Remember(window_, fullScreen_);
    if (!OpenPresenter(driver)) return false;
    vsyncReported_ = presenter_->VsyncReported();
    // A display that is asked not to wait for the vertical blank gets the game's own pacing.
    if (!settings_.Vsync) vsyncReported_ = false;
    // The pointer over the game is a pointing hand.
    handCursor_ = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_HAND);
    if (handCursor_ != nullptr) SDL_SetCursor(handCursor_);
    // SDL starts taking text as soon as its video starts, which on handheld PCs and tablets
    // raises the on-screen keyboard over the game: text input is on only while a name or the
    // country is typed (SetTextEntry).
    SDL_StopTextInput();
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
      SDL_SetWindowSize(window_, place_.Windowed().W, place_.Windowed().H);
      if (pendingPlacement_) {
        SDL_SetWindowPosition(window_, pendingPlacement_->X, pendingPlacement_->Y);
        if (pendingPlacement_->Width > 0 && pendingPlacement_->Height > 0)
          SDL_SetWindowSize(window_, pendingPlacement_->Width, pendingPlacement_->Height);
        pendingPlacement_.reset();
      } else if (centreWhenWindowed_) {
        place_.MoveHome(window_);
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
    if (!presenter_) return;
    if (screenshotWanted_) {
      screenshotWanted_ = false;
      if (settings_.TakeScreenshot) settings_.TakeScreenshot(pixels, width, height, pitchPixels);
    }
    presenter_->Present(pixels, width, height, pitchPixels, PictureInOutput());
    if (!settings_.PacedByCaller) pacer_.FramePresented(PeriodSeconds());
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
    const PixelRect& windowed = place_.Windowed();
    p.X = windowed.X;
    p.Y = windowed.Y;
    p.Width = windowed.W;
    p.Height = windowed.H;
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
    place_.MoveHome(window_);
  }

  // --- The second window (the goodbye window) ---------------------------------------------------
  bool OpenSecondWindow(const SecondWindowLayout& layout) override { return second_.Open(layout, window_); }
  void PresentSecondWindow(const std::uint16_t* pixels, int pitchPixels) override {
    second_.Present(pixels, pitchPixels);
  }
  void CloseSecondWindow() override { second_.Close(); }

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
    keyboard_.HeldKeys(states);
    if (IsForeground()) pad_.AddHeldKeys(states);
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
  void SetTextEntry(bool typing) override {
    keyboard_.SetTyping(typing);
    if (window_ == nullptr || typing == (SDL_IsTextInputActive() == SDL_TRUE)) return;
    if (typing)
      SDL_StartTextInput();
    else
      SDL_StopTextInput();
  }

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
  // The way pictures reach the window: asked for, or by the automatic rule; where the window
  // surface cannot be had, the accelerated renderer.
  bool OpenPresenter(const std::string& driver) {
    std::string error;
    PresentPath path = settings_.Renderer;
    if (path == PresentPath::Automatic) {
      path = AutomaticPresentPath(driver, GpuDevicePresent(), [&] {
        presenter_ = CreateRendererPresenter(window_, width_, height_, settings_.Vsync, error);
        return presenter_ ? OpenGlRendererName(*presenter_) : std::string();
      });
    }
    if (path == PresentPath::Software) {
      presenter_.reset();  // the renderer made to learn OpenGL's name
      presenter_ = CreateSurfacePresenter(window_, settings_.NearestFilter, error);
      if (!presenter_) std::cerr << "Kestrune: " << error << "; the accelerated renderer is used" << std::endl;
    }
    if (!presenter_) presenter_ = CreateRendererPresenter(window_, width_, height_, settings_.Vsync, error);
    if (!presenter_) {
      lastError_ = error;
      return false;
    }
    if (settings_.Verbose) std::cerr << "kestrune: presenting: " << presenter_->Describe() << std::endl;
    return true;
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
    if (presenter_) presenter_->OutputSize(w, h);
    return PictureRect(w, h, width_, height_, settings_.IntegerScale);
  }

  // A mouse position in window coordinates to a picture pixel; false over the bars around it.
  bool ToPicture(int x, int y, int& px, int& py) const {
    int winW = 0, winH = 0, outW = width_, outH = height_;
    SDL_GetWindowSize(window_, &winW, &winH);
    if (presenter_) presenter_->OutputSize(outW, outH);
    return WindowToPicture(x, y, winW, winH, PictureRect(outW, outH, width_, height_, settings_.IntegerScale),
                           outW, outH, width_, height_, px, py);
  }

  void Translate(const SDL_Event& e) {
    if (second_.Owns(e)) {
      const int key = e.type == SDL_KEYDOWN ? keyboard_.KeyOf(e.key.keysym.scancode, e.key.keysym.sym) : 0;
      if (const auto event = second_.Translate(e, key)) Push(*event);
      return;
    }
    if (pads_.Translate(e, queue_)) return;
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
          place_.Remember(window_, fullScreen_);
        }
        break;
      case SDL_DISPLAYEVENT:
        // A monitor came or went, or turned.
        DisplayChanged();
        break;
      case SDL_KEYDOWN:
      case SDL_KEYUP:
        // F12 takes a screenshot of the next picture shown; the game goes on meanwhile.
        if (keyboard_.Translate(e.key, queue_) == kVkF12) screenshotWanted_ = true;
        break;
      case SDL_TEXTINPUT:
        for (const char c : Latin1TypedCharacters(e.text.text)) {
          PlatformEvent ch;
          ch.Type = PlatformEvent::Kind::Char;
          ch.Char = static_cast<std::uint8_t>(c);
          Push(ch);
        }
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
      case SDL_RENDER_TARGETS_RESET:
      case SDL_RENDER_DEVICE_RESET:
        // The texture's contents (or the texture itself) are gone: rebuild it and let the display
        // send its restore notification.
        if (presenter_) presenter_->RenderTargetsReset();
        surfacesLost_ = true;
        break;
      default:
        break;
    }
  }

  // The game's own pacing where presenting does not wait for the vertical blank.
  void StartVsyncProbe() { pacer_.Restart(vsyncReported_); }

  double PeriodSeconds() const {
    const int hz = RefreshRate();
    return 1.0 / (hz <= 1 ? 60 : hz);
  }

  SdlPlatformSettings settings_;
  SdlKeyboard keyboard_;
  bool screenshotWanted_ = false;
  bool padsInit_ = false;
  GamepadMap pad_;
  SdlPads pads_{pad_};
  int width_ = 800, height_ = 600;
  SdlWindowPlace place_;
  bool videoInit_ = false;
  SDL_Window* window_ = nullptr;
  std::unique_ptr<SdlPresenter> presenter_;
  SDL_Cursor* handCursor_ = nullptr;
  SDL_Cursor* arrowCursor_ = nullptr;
  SdlSecondWindow second_;
  bool vsyncReported_ = false;
  SdlFramePacer pacer_;
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
