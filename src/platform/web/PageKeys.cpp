#include "platform/web/PageKeys.h"

namespace kestrune {
namespace {

constexpr int kVkBack = 0x08, kVkEnter = 0x0D;

}  // namespace

void PageKeys::Key(int virtualKey, bool down, std::deque<PlatformEvent>& events) {
  if (virtualKey < 1 || virtualKey > 255) return;
  bool& held = held_[static_cast<std::size_t>(virtualKey)];
  if (held == down) return;
  held = down;
  if (down) taps_.Down(virtualKey);
  PlatformEvent e;
  e.Type = down ? PlatformEvent::Kind::KeyDown : PlatformEvent::Kind::KeyUp;
  e.VirtualKey = virtualKey;
  events.push_back(e);
  if (down && (virtualKey == kVkEnter || virtualKey == kVkBack)) Char(static_cast<std::uint8_t>(virtualKey), events);
}

void PageKeys::Char(std::uint8_t ch, std::deque<PlatformEvent>& events) {
  if (ch == 0) return;
  PlatformEvent e;
  e.Type = PlatformEvent::Kind::Char;
  e.Char = ch;
  events.push_back(e);
}

void PageKeys::ReleaseAll(std::deque<PlatformEvent>& events) {
  for (int vk = 1; vk < 256; ++vk) Key(vk, false, events);
  taps_.Clear();
}

void PageKeys::AddHeldKeys(std::uint8_t states[256]) {
  for (int vk = 1; vk < 256; ++vk)
    if (held_[static_cast<std::size_t>(vk)]) states[vk] |= 0x80;
  taps_.AddTo(states);
}

bool PadEventFilter::Passes(const PlatformEvent& event, bool pickerOpen) {
  const bool enterChar = event.Type == PlatformEvent::Kind::Char && event.Char == kVkEnter;
  if (enterChar && dropEnterChar_) {
    dropEnterChar_ = false;
    return false;
  }
  dropEnterChar_ = false;
  if (!pickerOpen || !event.FromPad) return true;
  dropEnterChar_ = event.Type == PlatformEvent::Kind::KeyDown && event.VirtualKey == kVkEnter;
  return false;
}

}  // namespace kestrune
