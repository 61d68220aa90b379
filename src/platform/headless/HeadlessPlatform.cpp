#include "platform/headless/HeadlessPlatform.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "platform/NullAudio.h"
#include "platform/PngWriter.h"
#include "platform/TextRenderer.h"
#include "platform/headless/HeadlessAudio.h"

namespace kestrune {

void HeadlessPlatform::Frame::CopyFrom(const std::uint16_t* pixels, int width, int height, int pitchPixels) {
  Width = width;
  Height = height;
  Pixels.resize(static_cast<std::size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    const std::uint16_t* src = pixels + static_cast<std::size_t>(y) * pitchPixels;
    std::copy(src, src + width, Pixels.begin() + static_cast<std::ptrdiff_t>(y) * width);
  }
}

std::uint64_t HeadlessPlatform::Frame::Hash() const {
  std::uint64_t h = 1469598103934665603ull;
  for (std::uint16_t p : Pixels) {
    h = (h ^ (p & 0xFF)) * 1099511628211ull;
    h = (h ^ (p >> 8)) * 1099511628211ull;
  }
  return h;
}

HeadlessPlatform::HeadlessPlatform() : text_(CreateTextRenderer()), audio_(CreateHeadlessAudioOutput()) {
  if (!audio_) audio_ = std::make_unique<NullAudioOutput>();
  // The folder is made here, under a random name only this user can enter (mkdtemp: mode 0700,
  // never an existing path), so nothing planted in the shared temporary folder beforehand (a
  // link to the player's own files) can take the saves.
  std::error_code error;
  std::filesystem::path base = std::filesystem::temp_directory_path(error);
  if (error) base = "/tmp";
  std::string folder = (base / "kestrune-headless-XXXXXX").string();
  if (::mkdtemp(folder.data()) == nullptr)
    throw std::runtime_error("cannot make a save folder in " + base.string() + ": " + std::strerror(errno));
  saveFolder_ = folder;
}

HeadlessPlatform::~HeadlessPlatform() {
  if (ownSaveFolder_) {
    std::error_code ec;
    std::filesystem::remove_all(saveFolder_, ec);
  }
}

void HeadlessPlatform::SetSaveFolder(const std::string& folder) {
  if (ownSaveFolder_) {
    std::error_code ec;
    std::filesystem::remove_all(saveFolder_, ec);
  }
  saveFolder_ = folder;
  ownSaveFolder_ = false;
}

void HeadlessPlatform::SetKey(int virtualKey, bool down) {
  if (virtualKey < 1 || virtualKey > 255) return;
  keys_[virtualKey] = down ? 0x80 : 0;
  if (down) taps_.Down(virtualKey);
}

void HeadlessPlatform::SetForeground(bool foreground) {
  if (foreground_ == foreground) return;
  foreground_ = foreground;
  PlatformEvent e;
  e.Type = foreground ? PlatformEvent::Kind::FocusGained : PlatformEvent::Kind::FocusLost;
  events_.push_back(e);
}

void HeadlessPlatform::ChangeRefreshRate(int hz) {
  refreshRate_ = hz;
  PlatformEvent e;
  e.Type = PlatformEvent::Kind::DisplayChanged;
  events_.push_back(e);
}

bool HeadlessPlatform::OpenWindow(const std::string& title, int width, int height) {
  if (noDisplay_) {
    lastError_ = "no display is available";
    return false;
  }
  title_ = title;
  placement_.Width = width;
  placement_.Height = height;
  windowOpen_ = true;
  windowVisible_ = true;
  return true;
}

void HeadlessPlatform::SetFullScreen(bool fullScreen) {
  if (fullScreen && fullScreenFails_) {
    lastError_ = "the display has no full-screen mode";
    return;
  }
  if (fullScreen_ != fullScreen) ++fullScreenSwitches_;
  fullScreen_ = fullScreen;
}

void HeadlessPlatform::Present(const std::uint16_t* pixels, int width, int height, int pitchPixels) {
  // The oldest kept frame is overwritten in place once the store is full: a long replay spends its
  // time in the game, not in allocating and clearing a fresh frame every present.
  Frame frame;
  if (frames_.size() >= framesKept_) {
    frame = std::move(frames_.front());
    frames_.pop_front();
  }
  while (frames_.size() >= framesKept_) frames_.pop_front();
  frame.CopyFrom(pixels, width, height, pitchPixels);
  frames_.push_back(std::move(frame));
  ++presentCount_;
  if (OnPresent) OnPresent(pixels, width, height, pitchPixels);
  if (paceToRefresh_) {
    // One refresh period, carrying the fraction: 60 Hz gives 16, 17, 17, 16, 17, 17, ...
    const std::uint32_t hz = refreshRate_ > 1 ? static_cast<std::uint32_t>(refreshRate_) : 60u;
    clockFraction_ += 1000000u / hz;
    clock_ += clockFraction_ / 1000u;
    clockFraction_ %= 1000u;
  }
}

bool HeadlessPlatform::TakeSurfacesLost() {
  const bool lost = surfacesLost_;
  surfacesLost_ = false;
  return lost;
}

bool HeadlessPlatform::GetWindowPlacement(WindowPlacement& placement) const {
  if (!windowOpen_) return false;
  placement = placement_;
  return true;
}

void HeadlessPlatform::CenterWindow() {
  // A 1024 x 768 desktop.
  placement_.X = (1024 - placement_.Width) / 2;
  placement_.Y = (768 - placement_.Height) / 2;
}

bool HeadlessPlatform::PollEvent(PlatformEvent& event) {
  if (events_.empty()) return false;
  event = events_.front();
  events_.pop_front();
  return true;
}

void HeadlessPlatform::WaitForEvent(int timeoutMs) {
  if (events_.empty() && timeoutMs > 0) clock_ += static_cast<std::uint32_t>(timeoutMs);
}

void HeadlessPlatform::ReadKeyboard(std::uint8_t states[256]) {
  for (int i = 0; i < 256; ++i) states[i] = keys_[i];
  taps_.AddTo(states);
  pad_.AddHeldKeys(states);
}

void HeadlessPlatform::ShowMessageBox(const std::string& title, const std::string& text) {
  messageBoxes_.push_back({title, text});
}

bool HeadlessPlatform::OpenSecondWindow(const SecondWindowLayout& layout) {
  if (!windowOpen_ || layout.Width <= 0 || layout.Height <= 0) return false;
  secondLayout_ = layout;
  secondOpen_ = true;
  secondFrame_ = {};
  secondX_ = (1024 - layout.Width) / 2;
  secondY_ = (768 - layout.Height) / 2;
  return true;
}

void HeadlessPlatform::PresentSecondWindow(const std::uint16_t* pixels, int pitchPixels) {
  if (!secondOpen_) return;
  secondFrame_.CopyFrom(pixels, secondLayout_.Width, secondLayout_.Height, pitchPixels);
  ++secondPresentCount_;
}

bool HeadlessPlatform::DragSecondWindow(int x, int y, int dx, int dy) {
  if (!secondOpen_ || !secondLayout_.IsDragArea || !secondLayout_.IsDragArea(x, y)) return false;
  secondX_ += dx;
  secondY_ += dy;
  return true;
}

bool HeadlessPlatform::WriteSecondWindowPng(const std::string& path) const {
  const Frame* f = SecondWindowFrame();
  return f != nullptr && WritePngRGB565(path, f->Pixels.data(), f->Width, f->Height, f->Width);
}

bool HeadlessPlatform::WriteLastFramePng(const std::string& path) const {
  const Frame* f = LastFrame();
  return f != nullptr && WritePngRGB565(path, f->Pixels.data(), f->Width, f->Height, f->Width);
}

std::unique_ptr<HeadlessPlatform> CreateHeadlessPlatform() { return std::make_unique<HeadlessPlatform>(); }

}  // namespace kestrune
