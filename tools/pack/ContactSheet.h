#pragma once
// A contact sheet of a picture archive: every picture with its index, name and sizes, laid out
// in rows on a neutral checkerboard that shows through transparent pixels, with the pattern grid
// drawn over it and each pattern's number in its top-left corner. Pixels that no pattern uses
// (skip gaps, leftovers at the edges) are shown darkened.

#include "framework/ArchiveTypes.h"

namespace kestrune::pack {

struct SheetOptions {
  int Scale = 1;        // each picture pixel becomes Scale x Scale sheet pixels (1..8)
  int MaxWidth = 1024;  // rows wrap at this width (a wider picture gets a row of its own)
};

TPictureData MakeContactSheet(const PictureArchive& archive, const SheetOptions& options);

}  // namespace kestrune::pack
