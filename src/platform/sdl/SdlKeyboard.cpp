#include "platform/sdl/SdlKeyboard.h"

#include <algorithm>

#include "platform/sdl/SdlControls.h"
#include "platform/sdl/SdlKeyMap.h"

namespace kestrune {
namespace {

constexpr int kVkReturn = 0x0D;
constexpr int kVkBack = 0x08;

}  // namespace

int SdlKeyboard::KeyOf(SDL_Scancode scancode, SDL_Keycode key) const {
  return typing_ ? VirtualKeyFromKey(scancode, key) : MappedVirtualKey(controls_, scancode, key);
}

int SdlKeyboard::Translate(const SDL_KeyboardEvent& e, std::deque<PlatformEvent>& events) {
  // A key comes up as the key it went down as, though the typing mode changed meanwhile.
  const SDL_Scancode sc = e.keysym.scancode;
  const bool known = sc >= 0 && sc < SDL_NUM_SCANCODES;
  int vk = KeyOf(sc, e.keysym.sym);
  if (known && e.type == SDL_KEYDOWN && e.repeat == 0) downKey_[sc] = vk;
  if (known && e.type == SDL_KEYUP && downKey_[sc] != 0) {
    vk = downKey_[sc];
    downKey_[sc] = 0;
  }
  PlatformEvent out;
  const Uint16 mod = e.keysym.mod;
  out.Shift = (mod & KMOD_SHIFT) != 0;
  out.Ctrl = (mod & KMOD_CTRL) != 0;
  out.Alt = (mod & KMOD_ALT) != 0;
  if (e.type != SDL_KEYDOWN) {
    if (vk != 0) {
      out.Type = PlatformEvent::Kind::KeyUp;
      out.VirtualKey = vk;
      events.push_back(out);
    }
    return 0;
  }
  // Auto-repeat is not a new key press: a held Alt+Enter must not keep switching modes.
  const int pressed = e.repeat == 0 ? vk : 0;
  if (pressed != 0) {
    taps_.Down(pressed);
    out.Type = PlatformEvent::Kind::KeyDown;
    out.VirtualKey = vk;
    events.push_back(out);
  }
  // Backspace and Enter reach typed text as characters 8 and 13, after their key-down.
  // Backspace repeats while held; Enter does not (one activation per press), and with Alt it is
  // the display-mode switch and types nothing.
  const bool typesBack = vk == kVkBack;
  const bool typesEnter = vk == kVkReturn && !out.Alt && e.repeat == 0;
  if (typesBack || typesEnter) {
    PlatformEvent ch;
    ch.Type = PlatformEvent::Kind::Char;
    ch.Char = static_cast<std::uint8_t>(vk);
    events.push_back(ch);
  }
  return pressed;
}

void SdlKeyboard::HeldKeys(std::uint8_t states[256]) {
  std::fill(states, states + 256, 0);
  int count = 0;
  const Uint8* keys = SDL_GetKeyboardState(&count);
  for (int sc = 0; sc < count; ++sc) {
    if (keys[sc] == 0) continue;
    const auto scancode = static_cast<SDL_Scancode>(sc);
    const int vk = downKey_[sc] != 0 ? downKey_[sc] : KeyOf(scancode, SDL_GetKeyFromScancode(scancode));
    if (vk > 0 && vk < 256) states[vk] = 0x80;
  }
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
  taps_.AddTo(states);
}

}  // namespace kestrune
