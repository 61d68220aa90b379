#include "platform/web/WebPlatform.h"

#include <emscripten.h>

#include <deque>
#include <iostream>
#include <utility>

#include "platform/sdl/SdlPlatform.h"
#include "platform/web/FrameRateMeter.h"
#include "platform/web/PageKeys.h"
#include "platform/web/PagePieces.h"

// The page's side: functions of the Kestrune object the page script (web/page.js) defines.
// Each is optional, so the program also runs in a bare Emscripten page.
// clang-format off
EM_JS(int, kestrune_page_set_full_screen, (int on), {
  return Module.kestrunePage && Module.kestrunePage.setFullScreen ? (Module.kestrunePage.setFullScreen(!!on) ? 1 : 0) : 0;
});
EM_JS(int, kestrune_page_is_full_screen, (), {
  return document.fullscreenElement || document.webkitFullscreenElement ? 1 : 0;
});
// Away: the tab is in the background, or the page says the game cannot be played now (a phone
// held upright shows its "turn your phone" message).
EM_JS(int, kestrune_page_away, (), {
  if (document.hidden) return 1;
  return Module.kestrunePage && Module.kestrunePage.away && Module.kestrunePage.away() ? 1 : 0;
});
EM_JS(int, kestrune_page_picker_open, (), {
  return Module.kestrunePage && Module.kestrunePage.pickerOpen && Module.kestrunePage.pickerOpen() ? 1 : 0;
});
EM_JS(void, kestrune_page_message, (const char* title, const char* text), {
  const t = UTF8ToString(title), m = UTF8ToString(text);
  if (Module.kestrunePage && Module.kestrunePage.message) Module.kestrunePage.message(t, m);
  else console.error(t + ": " + m);
});
EM_JS(void, kestrune_page_open, (const char* address), {
  window.open(UTF8ToString(address), "_blank", "noopener");
});
EM_JS(int, kestrune_page_open_overlay, (const char* title, int width, int height), {
  return Module.kestrunePage && Module.kestrunePage.openOverlay ? (Module.kestrunePage.openOverlay(UTF8ToString(title), width, height) ? 1 : 0) : 0;
});
EM_JS(void, kestrune_page_draw_overlay, (const unsigned char* rgba, int width, int height), {
  if (Module.kestrunePage && Module.kestrunePage.drawOverlay)
    Module.kestrunePage.drawOverlay(HEAPU8.subarray(rgba, rgba + width * height * 4), width, height);
});
EM_JS(void, kestrune_page_close_overlay, (), {
  if (Module.kestrunePage && Module.kestrunePage.closeOverlay) Module.kestrunePage.closeOverlay();
});
// clang-format on

namespace kestrune {
namespace {

class WebPlatform;
WebPlatform* gActive = nullptr;  // the one the page's overlay events go to

class WebPlatform final : public IPlatform {
 public:
  explicit WebPlatform(const WebPlatformSettings& settings) {
    SdlPlatformSettings sdl;
    sdl.SaveFolder = settings.SaveFolder;
    sdl.PacedByCaller = true;
    sdl.FixedWindow = true;
    // The canvas is the picture's own size; the page scales it with crisp pixels.
    sdl.NearestFilter = true;
    inner_ = CreateSdlPlatform(sdl);
    gActive = this;
  }
  ~WebPlatform() override {
    if (gActive == this) gActive = nullptr;
  }

  bool OpenWindow(const std::string& title, int width, int height) override {
    return inner_->OpenWindow(title, width, height);
  }
  std::string LastError() const override { return lastError_.empty() ? inner_->LastError() : lastError_; }

  // Browsers allow full screen only just after a key press or click; the game switches in
  // answer to one (Alt+Enter), within the frame that follows it.
  void SetFullScreen(bool fullScreen) override {
    lastError_.clear();
    if (fullScreen == IsFullScreen()) return;
    if (kestrune_page_set_full_screen(fullScreen ? 1 : 0) == 0)
      lastError_ = "the browser did not allow full screen";
  }
  bool IsFullScreen() const override { return kestrune_page_is_full_screen() != 0; }
  void ShowWindow(bool visible) override { inner_->ShowWindow(visible); }

  void Present(const std::uint16_t* pixels, int width, int height, int pitchPixels) override {
    inner_->Present(pixels, width, height, pitchPixels);
    if (const auto rate = meter_.AddFrame(emscripten_get_now()); rate && *rate != rate_) {
      rate_ = *rate;
      PlatformEvent changed;
      changed.Type = PlatformEvent::Kind::DisplayChanged;
      own_.push_back(changed);
    }
  }
  bool TakeSurfacesLost() override { return inner_->TakeSurfacesLost(); }
  // Until the first measurement ends, the most common rate.
  int RefreshRate() const override { return rate_; }
  void ShowCursor(bool visible) override { inner_->ShowCursor(visible); }
  void SetHandCursor(bool hand) override { inner_->SetHandCursor(hand); }

  // --- The goodbye window, as an overlay over the canvas -------------------------------------
  bool OpenSecondWindow(const SecondWindowLayout& layout) override {
    if (layout.Width <= 0 || layout.Height <= 0) return false;
    if (kestrune_page_open_overlay(layout.Title.c_str(), layout.Width, layout.Height) == 0) return false;
    second_ = layout;
    secondOpen_ = true;
    return true;
  }
  void PresentSecondWindow(const std::uint16_t* pixels, int pitchPixels) override {
    if (!secondOpen_) return;
    const auto rgba = RgbaFromRgb565(pixels, second_.Width, second_.Height, pitchPixels, second_.Shape);
    kestrune_page_draw_overlay(rgba.data(), second_.Width, second_.Height);
  }
  void CloseSecondWindow() override {
    if (!secondOpen_) return;
    secondOpen_ = false;
    kestrune_page_close_overlay();
  }
  // The page's overlay: mouse moves and clicks in its own coordinates, and its close command.
  void OverlayEvent(int kind, int x, int y, int clicks) {
    if (!secondOpen_) return;
    PlatformEvent e;
    e.Window = 1;
    e.X = x;
    e.Y = y;
    e.Clicks = clicks;
    e.Type = kind == 0 ? PlatformEvent::Kind::MouseMove
                       : kind == 1 ? PlatformEvent::Kind::MouseClick : PlatformEvent::Kind::Close;
    own_.push_back(e);
  }

  // The page's touch controls and letter picker: keys and characters as a keyboard gives them.
  void PageKey(int virtualKey, bool down) { pageKeys_.Key(virtualKey, down, own_); }
  void PageChar(int ch) { PageKeys::Char(static_cast<std::uint8_t>(ch), own_); }

  std::uint32_t Milliseconds() const override { return inner_->Milliseconds(); }

  bool PollEvent(PlatformEvent& event) override {
    // A hidden tab gets no frames, and a phone held upright cannot be played: either is a window
    // without focus, as on the desktop, and what the page's controls held comes up.
    const bool away = kestrune_page_away() != 0;
    if (away != away_) {
      away_ = away;
      if (away) pageKeys_.ReleaseAll(own_);
      PlatformEvent focus;
      focus.Type = away ? PlatformEvent::Kind::FocusLost : PlatformEvent::Kind::FocusGained;
      own_.push_back(focus);
    }
    if (!own_.empty()) {
      event = own_.front();
      own_.pop_front();
      return true;
    }
    while (inner_->PollEvent(event))
      if (padFilter_.Passes(event, kestrune_page_picker_open() != 0)) return true;
    return false;
  }
  // The browser calls the frame function again; a page must never block.
  void WaitForEvent(int timeoutMs) override { (void)timeoutMs; }
  void ReadKeyboard(std::uint8_t states[256]) override {
    inner_->ReadKeyboard(states);
    if (IsForeground()) pageKeys_.AddHeldKeys(states);
  }
  bool IsForeground() const override { return !away_ && inner_->IsForeground(); }

  void ShowMessageBox(const std::string& title, const std::string& text) override {
    kestrune_page_message(title.c_str(), text.c_str());
  }
  void OpenUrl(const std::string& address) override {
    const std::string page = PageAddressOf(address);
    if (page.empty()) {
      std::cerr << "Kestrune: cannot open " << address << ": the page does not serve it" << std::endl;
      return;
    }
    kestrune_page_open(page.c_str());
  }
  void Quit() override { inner_->Quit(); }
  bool QuitRequested() const override { return inner_->QuitRequested(); }
  std::string SaveFolder() const override { return inner_->SaveFolder(); }
  // Text input (the browser's key presses as typed characters) only while a name is typed.
  void SetTextEntry(bool typing) override { inner_->SetTextEntry(typing); }
  ITextRenderer& Text() override { return inner_->Text(); }
  IAudioOutput& Audio() override { return inner_->Audio(); }

 private:
  std::unique_ptr<IPlatform> inner_;
  FrameRateMeter meter_;
  int rate_ = 60;
  bool away_ = false;
  bool secondOpen_ = false;
  SecondWindowLayout second_;
  std::deque<PlatformEvent> own_;
  PageKeys pageKeys_;
  PadEventFilter padFilter_;
  std::string lastError_;
};

}  // namespace

std::unique_ptr<IPlatform> CreateWebPlatform(const WebPlatformSettings& settings) {
  return std::make_unique<WebPlatform>(settings);
}

}  // namespace kestrune

// Called by the page's touch controls: a game key (Windows virtual-key code) down (1) or up (0).
extern "C" EMSCRIPTEN_KEEPALIVE void kestrune_virtual_key(int virtualKey, int down) {
  if (kestrune::gActive != nullptr) kestrune::gActive->PageKey(virtualKey, down != 0);
}

// Called by the page's letter picker: one typed character (8 Backspace, 13 Enter).
extern "C" EMSCRIPTEN_KEEPALIVE void kestrune_virtual_char(int ch) {
  if (kestrune::gActive != nullptr) kestrune::gActive->PageChar(ch);
}

// Called by the page for the overlay: kind 0 mouse move, 1 click, 2 close.
extern "C" EMSCRIPTEN_KEEPALIVE void kestrune_overlay_event(int kind, int x, int y, int clicks) {
  if (kestrune::gActive != nullptr) kestrune::gActive->OverlayEvent(kind, x, y, clicks);
}
