#include "platform/sdl/SdlTypedText.h"

namespace kestrune {

std::string Latin1TypedCharacters(const char* utf8) {
  std::string typed;
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
    if (ok && cp >= 0x20 && cp < 0x100 && cp != 0x7F) typed.push_back(static_cast<char>(cp));
  }
  return typed;
}

}  // namespace kestrune
