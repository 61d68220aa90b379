#include "framework/ArchiveIO.h"
#include "framework/PictureCollection.h"

namespace kestrune {

// Kept apart from the drawing code so programs that never read archives need not link the reader.
// A library read from a file is only shown, so its pictures are decoded straight into the
// display's format.
void TPictureCollection::LoadFromFile(const std::string& path) {
  LoadFromArchive(ReadPictureArchive(path, PictureDepth::Display16));
  SetSourceFile(path);
}

}  // namespace kestrune
