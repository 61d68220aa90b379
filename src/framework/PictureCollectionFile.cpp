#include "framework/ArchiveIO.h"
#include "framework/PictureCollection.h"

namespace kestrune {

// Kept apart from the drawing code so programs that never read archives need not link the reader.
void TPictureCollection::LoadFromFile(const std::string& path) {
  LoadFromArchive(ReadPictureArchive(path));
  SetSourceFile(path);
}

}  // namespace kestrune
