// Help screen: the page arrows and the emblem shown beside the credits.
#include "library1/Library1Parts.h"
#include "library1/MenuStyle.h"

namespace kestrune::lib1 {

void AddHelp(PictureArchive& archive) {
  AddLooks(archive, "Help_Prev", {RoundArrow(70, -1, true), RoundArrow(70, -1, false)}, true);
  AddLooks(archive, "Help_Next", {RoundArrow(70, 1, true), RoundArrow(70, 1, false)}, true);
  Canvas logo(80, 80);
  DrawEmblem(logo.Body(), 39, 39, 37);
  AddLooks(archive, "HelpLogo", {logo.FinishOver(kMenuMatte)}, true);
}

}  // namespace kestrune::lib1
