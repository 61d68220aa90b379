// Main menu buttons: each item has a normal look before/without the fade-in ("_0"), the
// same art after it ("_I"), and a highlight look ("_A").
#include <string>

#include "library1/Library1Parts.h"
#include "library1/MenuStyle.h"

namespace kestrune::lib1 {

namespace {

struct MenuItem {
  int width;
  const char* label;
};

// Widths keep each button centred where the menu places it (items 1, 2, 3, 6 on x 400;
// items 4 and 5 mirrored about it).
constexpr MenuItem kItems[6] = {{232, "NEW GAME"}, {154, "HIGH\nSCORES"}, {342, "MORE GAMES"},
                                {232, "OPTIONS"},  {232, "HELP"},         {236, "EXIT"}};
constexpr int kHeight = 100;

}  // namespace

void AddMainMenu(PictureArchive& archive) {
  for (int i = 0; i < 6; ++i) {
    ButtonLook look;
    look.plateX = 4;
    look.plateY = 16;
    look.plateW = kItems[i].width - 11;
    look.plateH = 66;
    look.slant = 18;
    look.fontPx = 52;
    const std::string n = "MM_" + std::to_string(i + 1);
    const TPictureData normal = ButtonPicture(kItems[i].width, kHeight, look, kItems[i].label, false);
    const TPictureData highlight = ButtonPicture(kItems[i].width, kHeight, look, kItems[i].label, true);
    AddLooks(archive, n + "_0", {normal}, true);
    AddLooks(archive, n + "_A", {highlight}, true);
    AddLooks(archive, n + "_I", {normal}, true);
  }
}

}  // namespace kestrune::lib1
