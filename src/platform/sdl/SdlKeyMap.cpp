#include "platform/sdl/SdlKeyMap.h"

namespace kestrune {

int VirtualKeyFromKey(SDL_Scancode sc, SDL_Keycode key) {
  if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
  return VirtualKeyFromScancode(sc);
}

int VirtualKeyFromScancode(SDL_Scancode sc) {
  if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z) return 'A' + (sc - SDL_SCANCODE_A);
  if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_9) return '1' + (sc - SDL_SCANCODE_1);
  if (sc >= SDL_SCANCODE_F1 && sc <= SDL_SCANCODE_F12) return 0x70 + (sc - SDL_SCANCODE_F1);
  if (sc >= SDL_SCANCODE_KP_1 && sc <= SDL_SCANCODE_KP_9) return 0x61 + (sc - SDL_SCANCODE_KP_1);
  switch (sc) {
    case SDL_SCANCODE_0:
      return '0';
    case SDL_SCANCODE_RETURN:
      return 0x0D;
    case SDL_SCANCODE_KP_ENTER:
      return 0x0D;
    case SDL_SCANCODE_ESCAPE:
      return 0x1B;
    case SDL_SCANCODE_BACKSPACE:
      return 0x08;
    case SDL_SCANCODE_TAB:
      return 0x09;
    case SDL_SCANCODE_SPACE:
      return 0x20;
    case SDL_SCANCODE_MINUS:
      return 0xBD;
    case SDL_SCANCODE_EQUALS:
      return 0xBB;
    case SDL_SCANCODE_LEFTBRACKET:
      return 0xDB;
    case SDL_SCANCODE_RIGHTBRACKET:
      return 0xDD;
    case SDL_SCANCODE_BACKSLASH:
      return 0xDC;
    case SDL_SCANCODE_SEMICOLON:
      return 0xBA;
    case SDL_SCANCODE_APOSTROPHE:
      return 0xDE;
    case SDL_SCANCODE_GRAVE:
      return 0xC0;
    case SDL_SCANCODE_COMMA:
      return 0xBC;
    case SDL_SCANCODE_PERIOD:
      return 0xBE;
    case SDL_SCANCODE_SLASH:
      return 0xBF;
    case SDL_SCANCODE_NONUSBACKSLASH:
      return 0xE2;
    case SDL_SCANCODE_CAPSLOCK:
      return 0x14;
    case SDL_SCANCODE_PRINTSCREEN:
      return 0x2C;
    case SDL_SCANCODE_SCROLLLOCK:
      return 0x91;
    case SDL_SCANCODE_PAUSE:
      return 0x13;
    case SDL_SCANCODE_INSERT:
      return 0x2D;
    case SDL_SCANCODE_HOME:
      return 0x24;
    case SDL_SCANCODE_PAGEUP:
      return 0x21;
    case SDL_SCANCODE_DELETE:
      return 0x2E;
    case SDL_SCANCODE_END:
      return 0x23;
    case SDL_SCANCODE_PAGEDOWN:
      return 0x22;
    case SDL_SCANCODE_RIGHT:
      return 0x27;
    case SDL_SCANCODE_LEFT:
      return 0x25;
    case SDL_SCANCODE_DOWN:
      return 0x28;
    case SDL_SCANCODE_UP:
      return 0x26;
    case SDL_SCANCODE_NUMLOCKCLEAR:
      return 0x90;
    case SDL_SCANCODE_KP_DIVIDE:
      return 0x6F;
    case SDL_SCANCODE_KP_MULTIPLY:
      return 0x6A;
    case SDL_SCANCODE_KP_MINUS:
      return 0x6D;
    case SDL_SCANCODE_KP_PLUS:
      return 0x6B;
    case SDL_SCANCODE_KP_0:
      return 0x60;
    case SDL_SCANCODE_KP_PERIOD:
      return 0x6E;
    case SDL_SCANCODE_APPLICATION:
      return 0x5D;
    case SDL_SCANCODE_LCTRL:
    case SDL_SCANCODE_RCTRL:
      return 0x11;
    case SDL_SCANCODE_LSHIFT:
    case SDL_SCANCODE_RSHIFT:
      return 0x10;
    case SDL_SCANCODE_LALT:
    case SDL_SCANCODE_RALT:
      return 0x12;
    case SDL_SCANCODE_LGUI:
      return 0x5B;
    case SDL_SCANCODE_RGUI:
      return 0x5C;
    default:
      return 0;
  }
}

}  // namespace kestrune
