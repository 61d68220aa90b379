#pragma once
// A contact sheet of a picture archive: every picture on a checkerboard (which shows the
// see-through parts), with its name, pattern grid lines and pattern numbers. A quick way to
// look at the whole generated set.

#include <string>

#include "framework/ArchiveTypes.h"

namespace kestrune::art {

void WriteContactSheet(const PictureArchive& archive, const std::string& pngPath);

}  // namespace kestrune::art
