#include "library1/Library1.h"

namespace kestrune {

// PLACEHOLDER: the menu, screen and overlay pictures are drawn in this folder by a later
// change; until then library 1 is written empty.
void AddLibrary1Pictures(PictureArchive& /*archive*/) {}

}  // namespace kestrune
