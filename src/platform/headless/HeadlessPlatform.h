#pragma once
// The headless back end: a manual clock, scripted input and presented frames kept in memory.
// Presenting stands in for the display's vertical blank: it moves the clock on to the next
// refresh, so a whole game runs deterministically at the chosen refresh rate with no display,
// no audio device and no real time.

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/Platform.h"
#include "platform/GamepadMap.h"
#include "platform/KeyTaps.h"

namespace kestrune {

class HeadlessPlatform final : public IPlatform {
 public:
  // A copy of one presented back surface.
  struct Frame {
    int Width = 0, Height = 0;
    std::vector<std::uint16_t> Pixels;  // rows are contiguous
    std::uint64_t Hash() const;         // FNV-1a over the pixel bytes
    void CopyFrom(const std::uint16_t* pixels, int width, int height, int pitchPixels);
  };
  struct MessageBox {
    std::string Title, Text;
  };

  HeadlessPlatform();
  ~HeadlessPlatform() override;

  // --- Script and inspection -----------------------------------------------------------------
  void SetClock(std::uint32_t ms) {
    clock_ = ms;
    clockFraction_ = 0;
  }
  void AdvanceClock(std::uint32_t ms) { clock_ += ms; }
  // The refresh rate reported to the game and used to pace presenting (0 or 1 mean "unknown",
  // as on a real display; pacing then uses 60).
  void SetRefreshRate(int hz) { refreshRate_ = hz; }
  // The display's rate changes during the run (the window moved to another monitor): also queues
  // the display-change event.
  void ChangeRefreshRate(int hz);
  // When false, presenting does not move the clock (tests that drive the clock themselves).
  void SetPaceToRefresh(bool pace) { paceToRefresh_ = pace; }
  void PushEvent(const PlatformEvent& event) { events_.push_back(event); }
  // Sets a virtual key's state (1..255) as ReadKeyboard reports it.
  void SetKey(int virtualKey, bool down);
  void ReleaseAllKeys() {
    keys_.fill(0);
    taps_.Clear();
  }
  // A gamepad's controls, mapped onto keys as the SDL back end maps a real pad.
  void PadButton(kestrune::PadButton button, bool down) { pad_.Button(button, down, events_); }
  void PadAxis(kestrune::PadAxis axis, int value) { pad_.Axis(axis, value, events_); }
  void UnplugPad() { pad_.ReleaseAll(events_); }
  // Focus: also queues the matching focus event.
  void SetForeground(bool foreground);
  // Pretends the renderer lost its surfaces (as after a device reset).
  void LoseSurfaces() { surfacesLost_ = true; }
  // Makes OpenWindow fail, as on a machine without a display.
  void SetNoDisplay(bool noDisplay) { noDisplay_ = noDisplay; }
  // Where the saved files go. By default every headless platform has a fresh folder of its own
  // under the system's temporary folder (a random name, mode 0700, made by the constructor,
  // which throws std::runtime_error when it cannot; removed with the platform), so test runs
  // and replays never touch the player's files in Data/Save.
  void SetSaveFolder(const std::string& folder);
  // True while the saves go to the platform's own fresh folder (no SetSaveFolder).
  bool OwnSaveFolder() const { return ownSaveFolder_; }
  // The second window as the game left it: open, its shape, its last picture and where it sits
  // on a 1024 x 768 desktop (centred when opened).
  bool SecondWindowOpen() const { return secondOpen_; }
  const SecondWindowLayout& SecondWindow() const { return secondLayout_; }
  const Frame* SecondWindowFrame() const { return secondFrame_.Pixels.empty() ? nullptr : &secondFrame_; }
  std::uint64_t SecondWindowPresentCount() const { return secondPresentCount_; }
  int SecondWindowX() const { return secondX_; }
  int SecondWindowY() const { return secondY_; }
  // Presses the mouse at (x, y) of the second window and drags it by (dx, dy): the window moves
  // when the point is one it is dragged by. Returns whether it moved.
  bool DragSecondWindow(int x, int y, int dx, int dy);
  bool WriteSecondWindowPng(const std::string& path) const;
  // Makes every switch to full screen fail, as on a display without the mode.
  void SetFullScreenFails(bool fails) { fullScreenFails_ = fails; }
  // How many presented frames are kept (the newest ones); at least 1.
  void SetFramesKept(std::size_t count) { framesKept_ = count < 1 ? 1 : count; }
  // Sends the game's sounds and music to a real output (a replay watched in a window) instead of
  // the call log. The output must outlive the game's use of this platform.
  void UseAudioOutput(IAudioOutput& output) { externalAudio_ = &output; }

  std::uint64_t PresentCount() const { return presentCount_; }
  // Called with every presented picture (a replay shown in a real window).
  std::function<void(const std::uint16_t* pixels, int width, int height, int pitchPixels)> OnPresent;
  const std::deque<Frame>& Frames() const { return frames_; }
  // The last presented frame; null before the first.
  const Frame* LastFrame() const { return frames_.empty() ? nullptr : &frames_.back(); }
  bool WriteLastFramePng(const std::string& path) const;
  const std::vector<MessageBox>& MessageBoxes() const { return messageBoxes_; }
  const std::vector<std::string>& OpenedUrls() const { return openedUrls_; }
  bool WindowOpen() const { return windowOpen_; }
  bool WindowVisible() const { return windowVisible_; }
  bool CursorVisible() const { return cursorVisible_; }
  bool HandCursor() const { return handCursor_; }
  std::string Title() const { return title_; }
  int FullScreenSwitches() const { return fullScreenSwitches_; }

  // --- IPlatform -----------------------------------------------------------------------------
  bool OpenWindow(const std::string& title, int width, int height) override;
  std::string LastError() const override { return lastError_; }
  void SetFullScreen(bool fullScreen) override;
  bool IsFullScreen() const override { return fullScreen_; }
  void ShowWindow(bool visible) override { windowVisible_ = visible; }
  void Present(const std::uint16_t* pixels, int width, int height, int pitchPixels) override;
  bool TakeSurfacesLost() override;
  int RefreshRate() const override { return refreshRate_; }
  void ShowCursor(bool visible) override { cursorVisible_ = visible; }
  void SetHandCursor(bool hand) override { handCursor_ = hand; }
  bool GetWindowPlacement(WindowPlacement& placement) const override;
  void SetWindowPlacement(const WindowPlacement& placement) override { placement_ = placement; }
  void CenterWindow() override;
  std::uint32_t Milliseconds() const override { return clock_; }
  bool PollEvent(PlatformEvent& event) override;
  void WaitForEvent(int timeoutMs) override;
  void ReadKeyboard(std::uint8_t states[256]) override;
  bool IsForeground() const override { return foreground_; }
  void ShowMessageBox(const std::string& title, const std::string& text) override;
  void OpenUrl(const std::string& address) override { openedUrls_.push_back(address); }
  std::string SaveFolder() const override { return saveFolder_; }
  void SetTextEntry(bool typing) override { textEntry_ = typing; }
  // What the game last said about typed text (SetTextEntry).
  bool TextEntry() const { return textEntry_; }
  bool OpenSecondWindow(const SecondWindowLayout& layout) override;
  void PresentSecondWindow(const std::uint16_t* pixels, int pitchPixels) override;
  void CloseSecondWindow() override { secondOpen_ = false; }
  void Quit() override { quit_ = true; }
  bool QuitRequested() const override { return quit_; }
  ITextRenderer& Text() override { return *text_; }
  IAudioOutput& Audio() override { return externalAudio_ ? *externalAudio_ : *audio_; }

 private:
  std::uint32_t clock_ = 0;
  std::uint32_t clockFraction_ = 0;  // thousandths of a millisecond carried between presents
  int refreshRate_ = 60;
  bool paceToRefresh_ = true;
  std::deque<PlatformEvent> events_;
  std::array<std::uint8_t, 256> keys_{};
  KeyTaps taps_;  // keys set down since the last read
  GamepadMap pad_;
  bool foreground_ = true;
  bool textEntry_ = false;
  bool handCursor_ = true;
  bool surfacesLost_ = false;
  bool noDisplay_ = false;
  bool fullScreenFails_ = false;
  bool windowOpen_ = false;
  bool windowVisible_ = false;
  bool fullScreen_ = false;
  bool cursorVisible_ = true;
  bool quit_ = false;
  int fullScreenSwitches_ = 0;
  std::string title_;
  std::string lastError_;
  WindowPlacement placement_{112, 84, 800, 600, false};
  std::size_t framesKept_ = 2;
  std::uint64_t presentCount_ = 0;
  std::deque<Frame> frames_;
  std::vector<MessageBox> messageBoxes_;
  std::vector<std::string> openedUrls_;
  bool secondOpen_ = false;
  SecondWindowLayout secondLayout_;
  Frame secondFrame_;
  std::uint64_t secondPresentCount_ = 0;
  int secondX_ = 0, secondY_ = 0;
  std::string saveFolder_;
  bool ownSaveFolder_ = true;
  std::unique_ptr<ITextRenderer> text_;
  std::unique_ptr<IAudioOutput> audio_;
  IAudioOutput* externalAudio_ = nullptr;
};

std::unique_ptr<HeadlessPlatform> CreateHeadlessPlatform();

}  // namespace kestrune
