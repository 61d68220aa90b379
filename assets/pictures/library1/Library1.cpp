#include "library1/Library1.h"

#include "library1/Library1Parts.h"

namespace kestrune {

void AddLibrary1Pictures(PictureArchive& archive) {
  lib1::AddIntroScreen(archive);
  lib1::AddMenuBackground(archive);
  lib1::AddMainMenu(archive);
  lib1::AddCarChoice(archive);
  lib1::AddOptions(archive);
  lib1::AddHighScores(archive);
  lib1::AddHelp(archive);
  lib1::AddOverlays(archive);
}

}  // namespace kestrune
