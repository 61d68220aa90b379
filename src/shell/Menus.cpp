#include "shell/Menus.h"

#include <array>

#include "game/GameState.h"
#include "race/ScrollBackground.h"
#include "shell/MainForm.h"
#include "shell/MenuButton.h"
#include "shell/Screens.h"

namespace kestrune {

TMForm& Shell() { return *MForm; }

TMenuButton* AddMenuItem(int slot, const std::string& highlightPicture, const std::string& normalPicture,
                         std::int32_t highlightPattern, std::int32_t normalPattern, double x, double y,
                         std::int32_t z) {
  auto* button = new TMenuButton(1, highlightPicture, normalPicture, highlightPattern, normalPattern, x, y);
  button->SetZ(z);
  GameState.MenuItems[static_cast<std::size_t>(slot)] = button;
  return button;
}

TMenuButton* MenuItem(int slot) {
  if (slot < 1 || slot > 12) return nullptr;
  return GameState.MenuItems[static_cast<std::size_t>(slot)];
}

TMyImageSprite* AddPicture(std::uint8_t library, const std::string& name, double x, double y,
                           std::int32_t z) {
  return TMyImageSprite::CreateAt(library, name, x, y, z);
}

void KillPicture(TMyImageSprite*& sprite) {
  if (sprite) sprite->Kill();
  sprite = nullptr;
}

void CreateScreenBackground(const std::string& picture) {
  GameState.ScreenBackground = new TScrollBackground(1, 1, 1, picture);
}

void KillScreenBackground() {
  if (auto* background = static_cast<TScrollBackground*>(GameState.ScreenBackground)) background->Kill();
  GameState.ScreenBackground = nullptr;
}

void UpdateHighlight() {
  for (std::int32_t n = GameState.FirstItem; n <= GameState.LastItem; ++n) {
    TMenuButton* item = MenuItem(n);
    if (item == nullptr || n == GameState.Selected) continue;
    item->ApplyNormalLook();
    item->Highlighted = false;
  }
  TMenuButton* selected = MenuItem(GameState.Selected);
  if (selected == nullptr || selected->Highlighted) return;
  selected->ApplyHighlightLook();
  selected->Highlighted = true;
  if (GameState.Screen == ScreenOptions && GameState.Selected != 4 && GameState.CountryEditing)
    ToggleCountryEditing();
}

void KillItems() {
  for (std::int32_t n = GameState.FirstItem; n <= GameState.LastItem; ++n) {
    if (TMenuButton* item = MenuItem(n)) item->Kill();
    if (n >= 1 && n <= 12) GameState.MenuItems[static_cast<std::size_t>(n)] = nullptr;
  }
}

void DrawScreenTitle() {
  TMForm& form = Shell();
  form.SetTextStyle(15);
  if (GameState.Screen == ScreenOptions) form.DrawText("OPTIONS", 563, 148, true, true);
  if (GameState.Screen == ScreenHelp) form.DrawText("HELP", 563, 148, true, true);
}

void MoveAllSprites(std::uint32_t lagCount) {
  Shell().MDXSpriteEngine.Move(static_cast<std::int32_t>(lagCount));
}

void MoveSelectionWithoutWrap() {
  if (GameState.KeyEdges.Up && GameState.Selected - 1 >= GameState.FirstItem) --GameState.Selected;
  if (GameState.KeyEdges.Down && GameState.Selected + 1 <= GameState.LastItem) ++GameState.Selected;
}

std::int32_t StepWithWrap(std::int32_t selected, int step) {
  const std::int32_t first = GameState.FirstItem, last = GameState.LastItem;
  const std::int32_t next = selected + step;
  if (next < first || next > last) return step < 0 ? last : first;
  return next;
}

std::string SelectedItemName() {
  const std::int32_t n = GameState.Selected;
  if (GameState.Overlay != OverlayNone) return n == 11 ? "Yes" : n == 12 ? "No" : "";
  static const std::array<std::array<const char*, 7>, ScreenCount> kNames = {{
      {},
      {"", "Continue", "Download", "Product page", "Home page", "Article"},
      {"", "New game", "High scores", "More games", "Options", "Help", "Exit"},
      {"", "Previous car", "Next car", "Start", "Back"},
      {"", "Display mode", "Music", "Sound", "Country", "Back"},
      {"", "Clear", "Back"},
      {"", "Previous page", "Next page", "Back"},
      {},
  }};
  if (n < 1 || n > 6 || GameState.Screen >= ScreenCount) return "";
  const char* name = kNames[GameState.Screen][static_cast<std::size_t>(n)];
  return name != nullptr ? name : "";
}

}  // namespace kestrune
