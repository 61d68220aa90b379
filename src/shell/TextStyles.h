#pragma once
// The 21 text styles of the shell, numbered 1..21.

#include <array>
#include <cstdint>

namespace kestrune {

struct TTextStyle {
  const char* FontName;
  int Size;  // points
  std::uint8_t R, G, B;
  bool Bold;
};

constexpr int TextStyleCount = 21;
// Index 0 is unused so that style n is TextStyles[n].
extern const std::array<TTextStyle, TextStyleCount + 1> TextStyles;

}  // namespace kestrune
