// The high-score table: ten names and scores in a frame, Clear (after a confirmation) and Back.

#include <string>

#include "game/GameState.h"
#include "shell/Input.h"
#include "shell/MainForm.h"
#include "shell/MenuButton.h"
#include "shell/Menus.h"
#include "shell/Screens.h"

namespace kestrune {

void OpenHighScores() {
  GameState.Screen = ScreenHighScores;
  GameState.FirstItem = 1;
  GameState.LastItem = 2;
  GameState.Selected = 2;
  CreateScreenBackground("MMBG");
  GameState.HighScoreCaption = AddPicture(1, "HSCaption", 364, 102, 3);
  GameState.HighScoreFrame = AddPicture(1, "HSTable", 274, 199, 3);
  AddMenuItem(1, "HS_Clear", "HS_Clear", 0, 1, 0, 339, 4);
  AddMenuItem(2, "HS_Back", "HS_Back", 0, 1, 52, 457, 4);
}

void DrawHighScoreTable() {
  TMForm& form = Shell();
  // Entry 11 is where a new score waits before it is sorted in; it is never shown.
  for (int i = 1; i <= 10; ++i) {
    const THighScore& entry = GameState.HighScores[static_cast<std::size_t>(i)];
    form.SetTextStyle(2);
    form.DrawText(entry.Name, 530, 220 + 36 * i, true, true);
    form.SetTextStyle(17);
    form.DrawText(std::to_string(entry.Score), 720, 216 + 36 * i, true, true);
  }
}

void HighScoresFrame(std::uint32_t lagCount) {
  UpdateHighlight();
  MoveSelectionWithoutWrap();
  if (GameState.KeyEdges.Esc) SelectAndActivate(2);
  // After Back the table is still drawn once, over the table's own sprites of this frame.
  MoveAllSprites(lagCount);
  DrawHighScoreTable();
}

void ActivateHighScoresItem(std::int32_t item) {
  if (item == 1) Shell().OpenOverlay(OverlayClearHighScores);
  if (item == 2) {
    CloseHighScores();
    OpenMainMenu(false, 2, false);
  }
}

void CloseHighScores() {
  GameState.Screen = ScreenNone;
  KillScreenBackground();
  KillItems();
  KillPicture(GameState.HighScoreCaption);
  KillPicture(GameState.HighScoreFrame);
}

}  // namespace kestrune
