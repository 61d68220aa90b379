#include "DrawKit.h"
#include "Library2.h"

namespace kestrune::art {

// PLACEHOLDER: drawn by the next change to the picture generator.
void AddTraffic(PictureArchive& /*archive*/) {}

}  // namespace kestrune::art
