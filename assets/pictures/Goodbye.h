#pragma once
// The goodbye window's pictures, written as bitmap files beside the archives: the 320 x 300
// artwork (corners in the transparent key, which the game cuts out of the window) and the two
// looks of its 85 x 25 close button.

#include <string>

namespace kestrune::art {

void WriteGoodbyePictures(const std::string& folder);

}  // namespace kestrune::art
