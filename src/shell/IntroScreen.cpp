// The intro screen: the title picture with Continue and four link areas. The selection follows
// the pointer exactly here (nothing selected away from every item).

#include "game/GameState.h"
#include "shell/Input.h"
#include "shell/LocalPages.h"
#include "shell/MainForm.h"
#include "shell/MenuButton.h"
#include "shell/Menus.h"
#include "shell/Screens.h"

namespace kestrune {

void OpenIntroScreen() {
  GameState.Screen = ScreenIntro;
  GameState.FirstItem = 1;
  GameState.LastItem = 5;
  CreateScreenBackground("Screen1");
  AddMenuItem(1, "Continue1", "Continue1", 0, 1, 254, 504, 4);
  AddMenuItem(2, "FreeDownload", "FreeDownload", 0, 1, 324, 262, 4);
  AddMenuItem(3, "190x20", "190x20", 0, 1, 361, 311, 4);
  AddMenuItem(4, "190x20", "190x20", 0, 1, 235, 409, 4);
  AddMenuItem(5, "282x20", "282x20", 0, 1, 180, 431, 4);
}

void IntroFrame() {
  UpdateHighlight();
  Shell().SetHandPointer(GameState.Selected != 0);
  const TKeyEdges& keys = GameState.KeyEdges;
  if (GameState.Selected == 0 && (keys.Up || keys.Down || keys.Left || keys.Right)) GameState.Selected = 1;
  if (GameState.Selected == 1 && keys.Up) GameState.Selected = 2;
  if (GameState.Selected == 2 && keys.Down) GameState.Selected = 1;
  if (keys.Esc) SelectAndActivate(1);
}

void ActivateIntroItem(std::int32_t item) {
  switch (item) {
    case 1:
      CloseIntroScreen();
      OpenMainMenu(true, 1, true);
      break;
    case 2:
      OpenLocalPage(TLocalPage::Licence);
      break;
    case 3:
      OpenLocalPage(TLocalPage::Guide);
      break;
    case 4:
      OpenLocalPage(TLocalPage::Controls);
      break;
    case 5:
      OpenLocalPage(TLocalPage::About);
      break;
    default:
      break;
  }
}

void CloseIntroScreen() {
  KillItems();
  KillScreenBackground();
  Shell().SetHandPointer(true);
  GameState.Screen = ScreenNone;
}

}  // namespace kestrune
