// The car choice: the chosen car on its panel, arrows to change it (the old picture fades out
// over the new one), Start and Back.

#include <string>

#include "game/GameState.h"
#include "race/Race.h"
#include "shell/Input.h"
#include "shell/MenuButton.h"
#include "shell/Menus.h"
#include "shell/Screens.h"

namespace kestrune {
namespace {

constexpr int kCarCount = 6;
constexpr int kFadeStep = 20;

std::string CarPictureName(std::int32_t model) { return "SG_Car" + std::to_string(model); }

void BeginFade(std::int32_t nextModel) {
  GameState.CarFadePhase = 1;
  // The fade starts from the car fully shown, also when the previous fade ended only in the
  // last frame (its picture is left fully faded until a frame without fade restores it).
  GameState.CarPicture->Alpha = 255;
  GameState.NextCarModel = nextModel;
  GameState.CarPictureNext->SetPictureByName(CarPictureName(nextModel));
  GameState.CarPictureNext->Visible = true;
}

void RunCrossFade() {
  TMyImageSprite& current = *GameState.CarPicture;
  TMyImageSprite& next = *GameState.CarPictureNext;
  if (GameState.CarFadePhase == 0) {
    current.AlphaDraw = next.AlphaDraw = false;
    current.Alpha = next.Alpha = 255;
    current.Visible = true;
    next.Visible = false;
    return;
  }
  current.AlphaDraw = next.AlphaDraw = true;
  current.Alpha -= kFadeStep;
  if (current.Alpha <= 0) {
    current.SetPictureByName(CarPictureName(GameState.NextCarModel));
    GameState.CarFadePhase = 0;
    GameState.CarModel = GameState.NextCarModel;
  }
}

}  // namespace

void OpenCarChoice() {
  GameState.Screen = ScreenCarChoice;
  GameState.CarFadePhase = 0;
  GameState.FirstItem = 1;
  GameState.LastItem = 4;
  GameState.Selected = 3;
  CreateScreenBackground("MMBG");
  GameState.CarPanel = AddPicture(1, "SG_Bk", 198, 218, 3);
  GameState.CarPicture = AddPicture(1, CarPictureName(GameState.CarModel), 231, 259, 4);
  GameState.CarPictureNext = AddPicture(1, CarPictureName(GameState.CarModel), 231, 259, 4);
  GameState.CarPictureNext->Visible = false;
  AddMenuItem(1, "SG_Left", "SG_Left", 0, 1, 198, 330, 5);
  AddMenuItem(2, "SG_Right", "SG_Right", 0, 1, 568, 328, 5);
  AddMenuItem(3, "SG_Start", "SG_Start", 0, 1, 222, 475, 5);
  AddMenuItem(4, "SG_Back", "SG_Back", 0, 1, 410, 475, 5);
}

void PreviousCar() { BeginFade(GameState.CarModel <= 1 ? kCarCount : GameState.CarModel - 1); }

void NextCar() { BeginFade(GameState.CarModel >= kCarCount ? 1 : GameState.CarModel + 1); }

void CarChoiceFrame() {
  UpdateHighlight();
  const TKeyEdges& keys = GameState.KeyEdges;
  std::int32_t& selected = GameState.Selected;
  // The arrows on the panel take Left and Right themselves; Start and Back sit below them.
  if (keys.Left) {
    if (selected == 1) SelectAndActivate(1);
    if (selected == 2) selected = 1;
    if (selected == 4) selected = 3;
  }
  if (keys.Right) {
    if (selected == 2) SelectAndActivate(2);
    if (selected == 1) selected = 2;
    if (selected == 3) selected = 4;
  }
  if (keys.Up) {
    if (selected == 3)
      selected = 1;
    else if (selected == 4)
      selected = 2;
  }
  if (keys.Down) {
    if (selected == 1)
      selected = 3;
    else if (selected == 2)
      selected = 4;
  }
  RunCrossFade();
}

void ActivateCarChoiceItem(std::int32_t item) {
  if (GameState.CarFadePhase == 1) return;
  switch (item) {
    case 1:
      PreviousCar();
      break;
    case 2:
      NextCar();
      break;
    case 3:
      CloseCarChoice();
      StartRace();
      break;
    case 4:
      CloseCarChoice();
      OpenMainMenu(false, 1, false);
      break;
    default:
      break;
  }
}

void CloseCarChoice() {
  KillItems();
  KillScreenBackground();
  KillPicture(GameState.CarPanel);
  KillPicture(GameState.CarPicture);
  KillPicture(GameState.CarPictureNext);
  GameState.Screen = ScreenNone;
}

}  // namespace kestrune
