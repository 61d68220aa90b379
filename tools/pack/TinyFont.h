#pragma once
// A 3 x 5 pixel bitmap font for labels on contact sheets: digits, capital letters (small letters
// are drawn as capitals) and common punctuation; other characters are drawn as '?'.

#include <cstdint>
#include <string>

#include "framework/ArchiveTypes.h"

namespace kestrune::pack {

inline constexpr int kGlyphWidth = 3, kGlyphHeight = 5, kGlyphAdvance = 4, kLineHeight = 7;

// Width in pixels of a text at the given scale.
int TextWidth(const std::string& text, int scale);
// Draws text with its top-left at (x, y), clipped to the canvas.
void DrawText(TPictureData& canvas, int x, int y, const std::string& text, std::uint32_t color, int scale);

}  // namespace kestrune::pack
