#pragma once
// Typed text as the game takes it: 8-bit characters (Latin-1).

#include <string>

namespace kestrune {

// The characters of SDL's UTF-8 text input the game can show: Latin-1 letters and signs, no
// control characters; characters beyond Latin-1 and broken sequences are dropped.
std::string Latin1TypedCharacters(const char* utf8);

}  // namespace kestrune
