#pragma once
// The lettering of the generated pictures comes only from the font files in the repository
// (assets/fonts), never from the fonts installed on the building machine, so every build draws
// the same pictures.

#include <string>

namespace kestrune::art {

// Makes fontconfig (and so cairo's text) see exactly the shipped faces in `folder`, with fixed
// rendering settings instead of the machine's. Throws std::runtime_error naming the file when a
// face is missing or unreadable.
void UseShippedFonts(const std::string& folder);

// The same for the folder the build names (KESTRUNE_FONT_DIR).
void UseShippedFonts();

}  // namespace kestrune::art
