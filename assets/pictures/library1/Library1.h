#pragma once
// Library 1 (Res1.dxg): menu screens, buttons, overlays and captions.

#include "framework/ArchiveTypes.h"

namespace kestrune {

// Appends every library-1 picture to `archive`, in a fixed order.
void AddLibrary1Pictures(PictureArchive& archive);

}  // namespace kestrune
