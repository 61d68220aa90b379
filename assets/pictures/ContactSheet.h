#pragma once
// A contact sheet of a picture archive: every picture on a checkerboard (which shows the
// see-through parts), with its name, pattern grid lines and pattern numbers. A quick way to
// look at the whole generated set.

#include <string>

#include "framework/ArchiveTypes.h"

namespace kestrune::art {

// `zoom` enlarges every picture (whole numbers, pixels stay sharp); `first`/`count` pick a
// run of items (count 0: all from `first`).
void WriteContactSheet(const PictureArchive& archive, const std::string& pngPath, int zoom = 1,
                       std::size_t first = 0, std::size_t count = 0);

}  // namespace kestrune::art
