#pragma once
// The text rasteriser both back ends share: SDL2_ttf faces from the game's font folder (the same
// files on every machine). A family the folder has no file for is found through fontconfig, and
// one that is not installed either is replaced by a free stand-in of the same character (see the
// tables in TextRenderer.cpp). Sizes are points at 96 dots per inch.

#include <memory>
#include <string>

#include "framework/Platform.h"

namespace kestrune {

// fontFolder: where the shipped faces are (relative to the working directory at this call); ""
// for none.
std::unique_ptr<ITextRenderer> CreateTextRenderer(const std::string& fontFolder = "Data/Fonts");

// The game's 8-bit text (Windows-1252, the code page its saved files were written in) as UTF-8.
// The five byte values the code page leaves unassigned stay the control characters of the same
// number.
std::string Windows1252ToUtf8(const std::string& text);

// The font file a family is drawn with (the shipped file, else fontconfig's choice after the
// stand-in rule), for diagnostics.
std::string ResolveFontFile(const std::string& family, bool bold, const std::string& fontFolder = "Data/Fonts");

}  // namespace kestrune
