#pragma once
// Records a session as a replay script: it stands between the game and the real back end, writes
// the seed, the refresh rate and every input event (by the frame it arrives before), and gives
// the game the same clock and key states a replay of the script gives it. The clock moves one
// refresh period per presented frame, as in a replay, so the recorded game plays back frame for
// frame the same, at whatever rate the replaying display has.

#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>

#include "framework/Platform.h"
#include "platform/KeyTaps.h"

namespace kestrune {

class SessionRecorder final : public IPlatform {
 public:
  SessionRecorder(IPlatform& inner, std::ostream& out, std::uint32_t seed);

  // The frame the next events arrive before (1 = the first frame).
  void BeginFrame(std::int64_t frame) { frame_ = frame; }
  // Notes the saves the session started from where they change how it plays back: a goodbye
  // window switched off ends the game at once on leaving. Called after the game's start-up.
  void NoteSavedGoodbyeSwitch(bool switchedOff);
  // Writes how many frames the session ran.
  void Finish(std::int64_t frames);
  // True once a write to the recording failed (a full disk, an unwritable device). The session
  // goes on; OnWriteFailed is called once, at the first failed line written after it is set.
  bool WriteFailed() const { return writeFailed_; }
  std::function<void()> OnWriteFailed;

  bool OpenWindow(const std::string& title, int width, int height) override;
  std::string LastError() const override { return inner_.LastError(); }
  void SetFullScreen(bool fullScreen) override { inner_.SetFullScreen(fullScreen); }
  bool IsFullScreen() const override { return inner_.IsFullScreen(); }
  void ShowWindow(bool visible) override { inner_.ShowWindow(visible); }
  void Present(const std::uint16_t* pixels, int width, int height, int pitchPixels) override;
  bool TakeSurfacesLost() override { return inner_.TakeSurfacesLost(); }
  int RefreshRate() const override { return rate_; }
  void ShowCursor(bool visible) override { inner_.ShowCursor(visible); }
  void SetHandCursor(bool hand) override { inner_.SetHandCursor(hand); }
  bool GetWindowPlacement(WindowPlacement& placement) const override {
    return inner_.GetWindowPlacement(placement);
  }
  void SetWindowPlacement(const WindowPlacement& placement) override { inner_.SetWindowPlacement(placement); }
  void CenterWindow() override { inner_.CenterWindow(); }
  // The goodbye window shows while recording too; its events are written like the main window's.
  bool OpenSecondWindow(const SecondWindowLayout& layout) override { return inner_.OpenSecondWindow(layout); }
  void PresentSecondWindow(const std::uint16_t* pixels, int pitchPixels) override {
    inner_.PresentSecondWindow(pixels, pitchPixels);
  }
  void CloseSecondWindow() override { inner_.CloseSecondWindow(); }
  std::uint32_t Milliseconds() const override { return clock_; }
  bool PollEvent(PlatformEvent& event) override;
  void WaitForEvent(int timeoutMs) override;
  void ReadKeyboard(std::uint8_t states[256]) override;
  bool IsForeground() const override { return foreground_; }
  void ShowMessageBox(const std::string& title, const std::string& text) override {
    inner_.ShowMessageBox(title, text);
  }
  void OpenUrl(const std::string& address) override { inner_.OpenUrl(address); }
  void Quit() override { inner_.Quit(); }
  bool QuitRequested() const override { return inner_.QuitRequested(); }
  std::string SaveFolder() const override { return inner_.SaveFolder(); }
  void SetTextEntry(bool typing) override { inner_.SetTextEntry(typing); }
  ITextRenderer& Text() override { return inner_.Text(); }
  IAudioOutput& Audio() override { return inner_.Audio(); }

 private:
  void Record(const PlatformEvent& event);
  // Writes one line and flushes it, noting a failure.
  void WriteLine(const std::string& line);

  IPlatform& inner_;
  std::ostream& out_;
  std::int64_t frame_ = 1;
  int rate_ = 60;
  std::uint32_t clock_ = 0, clockFraction_ = 0;
  bool foreground_ = true;
  std::uint8_t keys_[256] = {};
  KeyTaps taps_;  // keys down since the last read, as the headless back end keeps them
  std::optional<PlatformEvent> pending_;
  // The key whose down event was written last: the character it types follows by itself in a
  // replay, so it is not written again.
  int typingKey_ = 0;
  bool writeFailed_ = false, failureReported_ = false;
};

}  // namespace kestrune
