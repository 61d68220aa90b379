#pragma once
// The text rasteriser both back ends share: SDL2_ttf faces found through fontconfig. A family
// that is not installed is replaced by a free stand-in of the same character (see the table in
// TextRenderer.cpp). Sizes are points at 96 dots per inch.

#include <memory>
#include <string>

#include "framework/Platform.h"

namespace kestrune {

std::unique_ptr<ITextRenderer> CreateTextRenderer();

// The game's 8-bit text (Windows-1252, the code page its saved files were written in) as UTF-8.
// The five byte values the code page leaves unassigned stay the control characters of the same
// number.
std::string Windows1252ToUtf8(const std::string& text);

// The font file fontconfig chooses for a family (after the stand-in rule), for diagnostics.
std::string ResolveFontFile(const std::string& family, bool bold);

}  // namespace kestrune
