// The options: display mode, music, sound and the player's country, each changed by activating
// its row; Back returns to the main menu.

#include "framework/PictureCollection.h"
#include "game/GameState.h"
#include "shell/Input.h"
#include "shell/MainForm.h"
#include "shell/MenuButton.h"
#include "shell/Menus.h"
#include "shell/Screens.h"

namespace kestrune {
namespace {

constexpr int kCountryX = 380;

// Shows the named picture unless it is already shown.
void ShowValue(TMyImageSprite* sprite, const char* name) {
  if (sprite != nullptr && (sprite->Picture == nullptr || sprite->Picture->Name() != name))
    sprite->SetPictureByName(name);
}

void SetHitBox(int item, std::int32_t w, std::int32_t h) {
  MenuItem(item)->HitWidth = w;
  MenuItem(item)->HitHeight = h;
}

}  // namespace

void OpenOptions() {
  GameState.Screen = ScreenOptions;
  GameState.FirstItem = 1;
  GameState.LastItem = 5;
  GameState.Selected = 5;
  CreateScreenBackground("MMBG");
  GameState.CountryEditBox = AddPicture(1, "CountryEditBg", 361, 442, 3);
  AddMenuItem(1, "Opt_1", "Null", 0, 0, 118, 248, 4);
  AddMenuItem(2, "Opt_2", "Null", 0, 0, 118, 312, 4);
  AddMenuItem(3, "Opt_3", "Null", 0, 0, 118, 375, 4);
  AddMenuItem(4, "Opt_4", "Null", 0, 0, 118, 436, 4);
  AddMenuItem(5, "Opt_Bk", "Opt_Bk", 0, 1, 345, 513, 4);
  // The rows' highlight pictures are larger than their empty normal picture: the hit boxes
  // cover the whole row.
  SetHitBox(1, 545, 64);
  SetHitBox(2, 282, 62);
  SetHitBox(3, 282, 62);
  SetHitBox(4, 681, 84);
  GameState.FullScreenPicture = AddPicture(1, "OptWindow", 118, 255, 3);
  GameState.MusicPicture = AddPicture(1, "OptMusicOff", 118, 320, 3);
  GameState.SoundPicture = AddPicture(1, "OptSoundOff", 115, 383, 3);
  ShowValue(GameState.FullScreenPicture, GameState.FullScreen == 1 ? "OptFullScreen" : "OptWindow");
  ShowValue(GameState.MusicPicture, GameState.MusicOn == 1 ? "OptMusicOn" : "OptMusicOff");
  ShowValue(GameState.SoundPicture, GameState.SoundOn == 1 ? "OptSoundOn" : "OptSoundOff");
  GameState.TextCursor = new TMyCursor(1, "Cursor", kCountryX, 491, 5, 1000);
  GameState.CountryEditing = false;
}

void ToggleCountryEditing() {
  GameState.CountryEditing = !GameState.CountryEditing;
  if (GameState.TextCursor) GameState.TextCursor->Blinking = !GameState.TextCursor->Blinking;
}

void DrawOptionValues() {
  ShowValue(GameState.FullScreenPicture, GameState.FullScreen == 1 ? "OptFullScreen" : "OptWindow");
  ShowValue(GameState.MusicPicture, GameState.MusicOn == 1 ? "OptMusicOn" : "OptMusicOff");
  ShowValue(GameState.SoundPicture, GameState.SoundOn == 1 ? "OptSoundOn" : "OptSoundOff");
  TMForm& form = Shell();
  form.SetTextStyle(13);
  form.DrawText("Your country:", 116, 447, false, false);
  form.SetTextStyle(4);
  form.DrawText(GameState.Country, kCountryX, 450, false, false);
}

void OptionsFrame(std::uint32_t lagCount) {
  UpdateHighlight();
  std::int32_t escTarget = 5;
  if (!GameState.CountryEditing) {
    MoveSelectionWithoutWrap();
  } else {
    // Esc ends the editing instead of leaving the screen.
    escTarget = 4;
  }
  if (GameState.KeyEdges.Esc) SelectAndActivate(escTarget);
  // After Back the frame goes on: the options' sprites were drawn before this frame's logic,
  // so their texts belong to it too; the main menu shows from the next frame.
  MoveAllSprites(lagCount);
  DrawScreenTitle();
  DrawOptionValues();
  if (GameState.TextCursor) GameState.TextCursor->X = kCountryX + Shell().TextWidth(GameState.Country);
}

void ActivateOptionsItem(std::int32_t item) {
  TMForm& form = Shell();
  switch (item) {
    case 1:
      GameState.FullScreen = static_cast<std::uint8_t>(1 - GameState.FullScreen);
      form.ApplyDisplayMode();
      break;
    case 2:
      GameState.MusicOn = static_cast<std::uint8_t>(1 - GameState.MusicOn);
      form.StopMusic();
      form.PlayScreenMusic();
      break;
    case 3:
      GameState.SoundOn = static_cast<std::uint8_t>(1 - GameState.SoundOn);
      break;
    case 4:
      ToggleCountryEditing();
      break;
    case 5:
      CloseOptions();
      OpenMainMenu(false, 4, false);
      break;
    default:
      break;
  }
}

void CloseOptions() {
  GameState.Screen = ScreenNone;
  KillItems();
  KillScreenBackground();
  KillPicture(GameState.FullScreenPicture);
  KillPicture(GameState.MusicPicture);
  KillPicture(GameState.SoundPicture);
  KillPicture(GameState.CountryEditBox);
  if (GameState.TextCursor) GameState.TextCursor->Kill();
  GameState.TextCursor = nullptr;
  GameState.CountryEditing = false;
}

}  // namespace kestrune
