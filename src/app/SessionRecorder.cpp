#include "app/SessionRecorder.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <sstream>

namespace kestrune {
namespace {

constexpr int kVkBack = 0x08, kVkEnter = 0x0D;

std::string KeyWord(const PlatformEvent& e) {
  char code[8];
  std::snprintf(code, sizeof code, "0x%02X", e.VirtualKey & 0xFF);
  std::string word;
  if (e.Alt) word += "Alt+";
  if (e.Shift) word += "Shift+";
  if (e.Ctrl) word += "Ctrl+";
  if (e.FromPad) word += "Pad+";
  return word + code;
}

}  // namespace

SessionRecorder::SessionRecorder(IPlatform& inner, std::ostream& out, std::uint32_t seed)
    : inner_(inner), out_(out) {
  out_ << "# A recorded session: replay it with kestrune-replay.\n";
  WriteLine("seed " + std::to_string(seed));
}

void SessionRecorder::WriteLine(const std::string& line) {
  out_ << line << "\n" << std::flush;
  if (!out_) writeFailed_ = true;
  // Reported once; a failure of the constructor's first line is reported at the next line, once
  // the owner has set the handler.
  if (writeFailed_ && !failureReported_ && OnWriteFailed) {
    failureReported_ = true;
    OnWriteFailed();
  }
}

bool SessionRecorder::OpenWindow(const std::string& title, int width, int height) {
  const bool open = inner_.OpenWindow(title, width, height);
  rate_ = inner_.RefreshRate();
  WriteLine("refresh " + std::to_string(rate_));
  return open;
}

void SessionRecorder::NoteSavedGoodbyeSwitch(bool switchedOff) {
  if (switchedOff) WriteLine("goodbye off");
}

void SessionRecorder::Finish(std::int64_t frames) { WriteLine("frames " + std::to_string(frames)); }

void SessionRecorder::Present(const std::uint16_t* pixels, int width, int height, int pitchPixels) {
  inner_.Present(pixels, width, height, pitchPixels);
  // One refresh period, carrying the fraction, exactly as a replay counts it.
  const std::uint32_t hz = rate_ > 1 ? static_cast<std::uint32_t>(rate_) : 60u;
  clockFraction_ += 1000000u / hz;
  clock_ += clockFraction_ / 1000u;
  clockFraction_ %= 1000u;
}

bool SessionRecorder::PollEvent(PlatformEvent& event) {
  if (pending_) {
    event = *pending_;
    pending_.reset();
  } else if (!inner_.PollEvent(event)) {
    return false;
  }
  Record(event);
  return true;
}

void SessionRecorder::WaitForEvent(int timeoutMs) {
  if (pending_) return;
  inner_.WaitForEvent(timeoutMs);
  // A replay's clock moves on by the whole wait when no event came, and not at all when one did.
  PlatformEvent event;
  if (inner_.PollEvent(event)) {
    pending_ = event;
  } else if (timeoutMs > 0) {
    clock_ += static_cast<std::uint32_t>(timeoutMs);
  }
}

void SessionRecorder::ReadKeyboard(std::uint8_t states[256]) {
  for (int i = 0; i < 256; ++i) states[i] = keys_[i];
  taps_.AddTo(states);
}

void SessionRecorder::Record(const PlatformEvent& e) {
  using Kind = PlatformEvent::Kind;
  const int typed = typingKey_;
  typingKey_ = 0;
  std::ostringstream line;
  line << "@" << frame_ << " ";
  // The goodbye window's own events: its mouse, its close command and its keys.
  if (e.Window != 0) {
    switch (e.Type) {
      case Kind::MouseMove:
        line << "goodbye mouse " << e.X << " " << e.Y;
        break;
      case Kind::MouseClick:
        line << "goodbye click " << e.X << " " << e.Y;
        if (e.Clicks > 1) line << " " << std::min(e.Clicks, 9);
        break;
      case Kind::Close:
        line << "goodbye close";
        break;
      case Kind::KeyDown:
        line << "goodbye keydown " << KeyWord(e);
        break;
      case Kind::KeyUp:
        line << "goodbye keyup " << KeyWord(e);
        break;
      default:
        return;
    }
    out_ << line.str() << "\n" << std::flush;
    return;
  }
  switch (e.Type) {
    case Kind::KeyDown:
      keys_[e.VirtualKey & 0xFF] = 0x80;
      taps_.Down(e.VirtualKey & 0xFF);
      if ((e.VirtualKey == kVkEnter && !e.Alt) || e.VirtualKey == kVkBack) typingKey_ = e.VirtualKey;
      line << "keydown " << KeyWord(e);
      break;
    case Kind::KeyUp:
      keys_[e.VirtualKey & 0xFF] = 0;
      line << "keyup " << KeyWord(e);
      break;
    case Kind::Char:
      if (e.Char == typed) return;
      // Letters and digits as themselves; everything else ('#', spaces, Enter, ...) by a code of
      // three digits, which never reads as a single character.
      if (std::isalnum(e.Char) != 0 && e.Char < 0x80) {
        line << "char " << static_cast<char>(e.Char);
      } else {
        char code[8];
        std::snprintf(code, sizeof code, "%03d", int{e.Char});
        line << "char " << code;
      }
      break;
    case Kind::MouseMove:
      line << "mouse " << e.X << " " << e.Y;
      break;
    case Kind::MouseClick:
      line << "click " << e.X << " " << e.Y;
      if (e.Clicks > 1) line << " " << std::min(e.Clicks, 9);
      break;
    case Kind::Close:
      line << "close";
      break;
    case Kind::FocusGained:
      foreground_ = true;
      line << "focus gained";
      break;
    case Kind::FocusLost:
      foreground_ = false;
      line << "focus lost";
      break;
    case Kind::DisplayChanged:
      rate_ = inner_.RefreshRate();
      line << "refresh " << rate_;
      break;
  }
  WriteLine(line.str());
}

}  // namespace kestrune
