// The main menu: six buttons that fade in one after another when the menu opens from the intro
// screen or after a race.

#include <string>

#include "game/GameState.h"
#include "shell/Input.h"
#include "shell/LocalPages.h"
#include "shell/MainForm.h"
#include "shell/MenuButton.h"
#include "shell/Menus.h"
#include "shell/Screens.h"

namespace kestrune {
namespace {

constexpr int kItemX[7] = {0, 284, 323, 229, 56, 512, 282};
constexpr int kItemY[7] = {0, 27, 133, 239, 342, 342, 498};
constexpr int kFadeStep = 15;
constexpr int kFadeDone = 150;

// Ends the fade of one button: drawn solid from now on, with its lit picture.
void ShowSolid(int item) {
  TMenuButton* button = MenuItem(item);
  button->AlphaDraw = false;
  button->NormalPicture = "MM_" + std::to_string(item) + "_I";
  button->ApplyNormalLook();
}

}  // namespace

void OpenMainMenu(bool fadeIn, std::int32_t selection, bool restartMusic) {
  GameState.Screen = ScreenMainMenu;
  if (restartMusic) Shell().PlayScreenMusic();
  Shell().ShowMouseCursor();
  GameState.FirstItem = 1;
  GameState.LastItem = 6;
  GameState.Selected = selection;
  GameState.MenuIntroRunning = fadeIn;
  CreateScreenBackground("MMBG");
  for (int n = 1; n <= 6; ++n) {
    const std::string prefix = "MM_" + std::to_string(n);
    TMenuButton* button = AddMenuItem(n, prefix + "_A", prefix + "_0", 0, 0, kItemX[n], kItemY[n], 4);
    button->AlphaDraw = fadeIn;
    button->Alpha = fadeIn ? 0 : 255;
  }
  if (fadeIn) Shell().PlaySound("MenuBegin");
}

void MainMenuIntro() {
  if (!GameState.MenuIntroRunning) return;
  auto item = [](int n) { return MenuItem(n); };
  item(1)->Alpha += kFadeStep;
  if (item(1)->Alpha >= kFadeDone) {
    ShowSolid(1);
    item(2)->Alpha += kFadeStep;
  }
  if (item(2)->Alpha >= kFadeDone) {
    ShowSolid(2);
    item(3)->Alpha += kFadeStep;
  }
  if (item(3)->Alpha >= kFadeDone) {
    ShowSolid(3);
    item(4)->Alpha += kFadeStep;
    item(5)->Alpha += kFadeStep;
  }
  if (item(4)->Alpha >= kFadeDone) {
    ShowSolid(4);
    ShowSolid(5);
    item(6)->Alpha += kFadeStep;
  }
  if (item(6)->Alpha >= kFadeDone) {
    ShowSolid(6);
    GameState.MenuIntroRunning = false;
  }
}

void MainMenuFrame() {
  if (GameState.MenuIntroRunning) {
    MainMenuIntro();
    return;
  }
  UpdateHighlight();
  const TKeyEdges& keys = GameState.KeyEdges;
  std::int32_t& selected = GameState.Selected;
  // The layout is three rows above a pair (4 left, 5 right) above the last button.
  if (keys.Up) {
    if (selected == 4 || selected == 5)
      selected = 3;
    else if (selected == 6)
      selected = 5;
    else
      selected = StepWithWrap(selected, -1);
  }
  if (keys.Down) {
    if (selected == 4 || selected == 5)
      selected = 6;
    else if (selected == 3)
      selected = 5;
    else
      selected = StepWithWrap(selected, +1);
  }
  if (keys.Esc) Shell().OpenOverlay(OverlayExitGame);
  if (keys.Left && selected == 5) selected = 4;
  if (keys.Right && selected == 4) selected = 5;
}

void ActivateMainMenuItem(std::int32_t item) {
  if (GameState.MenuIntroRunning) return;
  switch (item) {
    case 1:
      CloseMainMenu();
      OpenCarChoice();
      break;
    case 2:
      CloseMainMenu();
      OpenHighScores();
      break;
    case 3:
      OpenLocalPage(TLocalPage::MoreGames);
      break;
    case 4:
      CloseMainMenu();
      OpenOptions();
      break;
    case 5:
      CloseMainMenu();
      OpenHelp();
      break;
    case 6:
      Shell().OpenOverlay(OverlayExitGame);
      break;
    default:
      break;
  }
}

void CloseMainMenu() {
  GameState.Screen = ScreenNone;
  KillScreenBackground();
  KillItems();
  GameState.MenuIntroRunning = false;
}

}  // namespace kestrune
