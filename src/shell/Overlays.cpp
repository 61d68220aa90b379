#include "shell/Overlays.h"

#include <string>

#include "game/GameState.h"
#include "race/Race.h"
#include "race/vehicles/Player.h"
#include "shell/HighScoreTable.h"
#include "shell/Input.h"
#include "shell/MainForm.h"
#include "shell/MenuButton.h"
#include "shell/Menus.h"
#include "shell/Screens.h"

namespace kestrune {
namespace {

constexpr int kYesSlot = 11, kNoSlot = 12;

bool IsConfirmation(int overlay) {
  return overlay == OverlayExitGame || overlay == OverlayExitToMenu || overlay == OverlayClearHighScores;
}

// The car's engine, weapon and effect sounds stop under every overlay; outside a race there is
// no car and nothing to stop.
void StopCarSounds() {
  if (RacePlayer) RacePlayer->StopCarSounds(true);
}

// Counts the overlay's time down by one frame; false once it has run out (this frame is still
// drawn).
bool CountDown() {
  if (GameState.OverlayTimer - GameState.FrameTimeMs >= 0) {
    GameState.OverlayTimer -= GameState.FrameTimeMs;
    return true;
  }
  return false;
}

void Message(const std::string& text, int x, int y) { Shell().DrawText(text, x, y, true, true); }

// The race is over without a new high score: back to the main menu with its song.
void EndRaceToMainMenu() {
  EndRace();
  OpenMainMenu(false, 1, true);
}

void RunConfirmation(std::uint32_t lagCount) {
  for (int slot : {kYesSlot, kNoSlot})
    if (TMenuButton* button = MenuItem(slot)) button->MoveTree(static_cast<std::int32_t>(lagCount));
  UpdateHighlight();
  const TKeyEdges& keys = GameState.KeyEdges;
  // Y and N answer at once; Esc does not close a confirmation.
  if (keys.Y) SelectAndActivate(kYesSlot);
  if (GameState.Overlay == OverlayNone) return;
  if (keys.N) SelectAndActivate(kNoSlot);
  if (GameState.Overlay == OverlayNone) return;
  std::int32_t& selected = GameState.Selected;
  if (keys.Left) {
    if (selected < kYesSlot || selected > kNoSlot) selected = kYesSlot;
    if (selected - 1 >= kYesSlot) --selected;
  }
  if (keys.Right) {
    if (selected < kYesSlot || selected > kNoSlot) selected = kNoSlot;
    if (selected + 1 <= kNoSlot) ++selected;
  }
}

}  // namespace

void BuildOverlay(int overlay) {
  TMForm& form = Shell();
  StopCarSounds();
  if (IsConfirmation(overlay)) GameState.OverlayFrame = AddPicture(1, "Window", 188, 237, 14);
  if (overlay == OverlayNameEntry) {
    form.ShowMouseCursor();
    GameState.OverlayFrame = AddPicture(1, "SendTable", 127, 135, 14);
  }
  if (overlay == OverlayExitGame) GameState.OverlayCaption = AddPicture(1, "Win_EG", 295, 248, 16);
  if (overlay == OverlayExitToMenu) GameState.OverlayCaption = AddPicture(1, "Win_ExitToMenu", 276, 248, 16);
  if (overlay == OverlayClearHighScores)
    GameState.OverlayCaption = AddPicture(1, "Win_ClearHS", 268, 237, 16);
  if (IsConfirmation(overlay)) {
    form.ShowMouseCursor();
    GameState.FirstItem = kYesSlot;
    GameState.LastItem = kNoSlot;
    GameState.Selected = kNoSlot;
    TMenuButton* yes = AddMenuItem(kYesSlot, "Yes", "Yes", 0, 1, 237, 296, 15);
    TMenuButton* no = AddMenuItem(kNoSlot, "No", "No", 0, 1, 386, 296, 15);
    // The two buttons overlap a little; on the exit-game window the selected one lies on top.
    yes->RaiseWhenHighlighted = no->RaiseWhenHighlighted = overlay == OverlayExitGame;
  }
  if (overlay == OverlayLevel) GameState.OverlayTimer = 2000;
  if (overlay == OverlayGameOver || overlay == OverlayTimeOver) GameState.OverlayTimer = 3000;
  if (overlay == OverlayNameEntry) {
    GameState.TextCursor = new TMyCursor(1, "Cursor2", 163, 360, 15, 1000);
    GameState.TextCursor->Blinking = true;
  }
  if (overlay == OverlayPause || overlay == OverlayExitToMenu) StopCarSounds();
}

void TearDownOverlay(int overlay) {
  TMForm& form = Shell();
  if (IsConfirmation(overlay) || overlay == OverlayNameEntry) KillPicture(GameState.OverlayFrame);
  if (overlay == OverlayNameEntry) form.HideMouseCursor();
  if (IsConfirmation(overlay)) {
    if (GameState.Screen == ScreenRace) form.HideMouseCursor();
    for (int slot : {kYesSlot, kNoSlot}) {
      if (TMenuButton* button = MenuItem(slot)) button->Kill();
      GameState.MenuItems[static_cast<std::size_t>(slot)] = nullptr;
    }
  }
  if (overlay == OverlayNameEntry && GameState.TextCursor) {
    GameState.TextCursor->Visible = false;
    GameState.TextCursor->Kill();
    GameState.TextCursor = nullptr;
  }
  if (IsConfirmation(overlay)) KillPicture(GameState.OverlayCaption);
  if ((overlay == OverlayPause || overlay == OverlayExitToMenu) && RacePlayer)
    RacePlayer->ResumeEngineSound(true);
}

void RunOverlay(std::uint32_t lagCount) {
  TMForm& form = Shell();
  const int overlay = GameState.Overlay;
  if (IsConfirmation(overlay)) RunConfirmation(lagCount);
  switch (overlay) {
    case OverlayTimeOver:
      form.SetTextStyle(5);
      Message("Your time is over,", 348, 217);
      Message("Try again, please!", 348, 267);
      if (!CountDown()) {
        form.CloseOverlay();
        // The same level again; it announces itself.
        NextLevel(false);
      }
      break;
    case OverlayPause:
      form.SetTextStyle(5);
      Message("Pause", 400, 300);
      if (GameState.KeyEdges.P) form.CloseOverlay();
      if (GameState.KeyEdges.Esc) form.CloseOverlay();
      break;
    case OverlayLevel:
      form.SetTextStyle(5);
      Message("Level " + std::to_string(GameState.Level), 400, 300);
      if (!CountDown()) form.CloseOverlay();
      break;
    case OverlayGameOver:
      form.SetTextStyle(5);
      Message("Game Over", 348, 237);
      if (!CountDown()) {
        form.CloseOverlay();
        if (QualifiesForTable(GameState.Score))
          form.OpenOverlay(OverlayNameEntry);
        else
          EndRaceToMainMenu();
      }
      break;
    case OverlayNameEntry:
      form.SetTextStyle(9);
      Message(std::to_string(GameState.Score), 348, 217);
      form.SetTextStyle(10);
      Message(GameState.PlayerName, 348, 345);
      if (GameState.TextCursor) {
        // Just right of the centred name.
        GameState.TextCursor->X = 348 + form.TextWidth(GameState.PlayerName) / 2;
        GameState.TextCursor->MoveTree(static_cast<std::int32_t>(lagCount));
      }
      break;
    default:
      break;
  }
  if (GameState.Screen == ScreenRace && form.Handlers.DrawRaceHud) form.Handlers.DrawRaceHud();
}

void ActivateOverlaySelection() {
  TMForm& form = Shell();
  const std::int32_t selected = GameState.Selected;
  switch (GameState.Overlay) {
    case OverlayExitGame:
      if (selected == kYesSlot) {
        form.CloseOverlay();
        CloseCurrentScreen();
        if (form.Handlers.ShowPromotionWindow)
          form.Handlers.ShowPromotionWindow();
        else
          form.ExitGame();
      } else if (selected == kNoSlot) {
        form.CloseOverlay();
      }
      break;
    case OverlayExitToMenu:
      if (selected == kYesSlot) {
        form.CloseOverlay();
        // The race stays frozen under the name entry.
        if (QualifiesForTable(GameState.Score))
          form.OpenOverlay(OverlayNameEntry);
        else
          EndRaceToMainMenu();
      } else if (selected == kNoSlot) {
        form.CloseOverlay();
      }
      break;
    case OverlayClearHighScores:
      if (selected == kYesSlot) {
        form.CloseOverlay();
        // The table is written with the other saved files when the game ends.
        ResetHighScores();
      } else if (selected == kNoSlot) {
        form.CloseOverlay();
      }
      break;
    case OverlayNameEntry:
      if (GameState.LastTypedChar != 13) break;
      GameState.LastTypedChar = 0;
      InsertHighScore(GameState.PlayerName, GameState.Score);
      form.CloseOverlay();
      EndRace();
      // Through the main menu, so that its song starts, to the table with the new row.
      OpenMainMenu(false, 1, true);
      CloseMainMenu();
      OpenHighScores();
      break;
    default:
      break;
  }
}

}  // namespace kestrune
