#include "shell/Input.h"

#include "game/GameState.h"
#include "shell/MainForm.h"
#include "shell/MenuButton.h"
#include "shell/Menus.h"
#include "shell/Overlays.h"
#include "shell/Screens.h"

namespace kestrune {
namespace {

constexpr std::uint8_t kBackspace = 8, kEnter = 13;

}  // namespace

void ActivateSelection() {
  TMForm& form = Shell();
  const bool overlayOpen = GameState.Overlay != OverlayNone;
  // The race without an overlay makes no click sound.
  if (GameState.Screen != ScreenRace || overlayOpen)
    form.PlaySound(GameState.Screen == ScreenIntro && !overlayOpen ? "Button_short" : "Button");
  if (overlayOpen) {
    ActivateOverlaySelection();
    return;
  }
  const std::int32_t item = GameState.Selected;
  switch (GameState.Screen) {
    case ScreenIntro:
      ActivateIntroItem(item);
      break;
    case ScreenMainMenu:
      ActivateMainMenuItem(item);
      break;
    case ScreenCarChoice:
      ActivateCarChoiceItem(item);
      break;
    case ScreenOptions:
      ActivateOptionsItem(item);
      break;
    case ScreenHighScores:
      ActivateHighScoresItem(item);
      break;
    case ScreenHelp:
      ActivateHelpItem(item);
      break;
    default:
      break;
  }
}

void SelectAndActivate(std::int32_t item) {
  GameState.Selected = item;
  ActivateSelection();
}

void HitTestItems(bool keep) {
  if (!keep) GameState.Selected = 0;
  for (std::int32_t n = GameState.FirstItem; n <= GameState.LastItem; ++n) {
    const TMenuButton* item = MenuItem(n);
    if (item != nullptr && item->Contains(GameState.MouseX, GameState.MouseY)) {
      GameState.Selected = n;
      return;
    }
  }
}

void SelectionChangeSound(bool fromMouse) {
  const bool overlayOpen = GameState.Overlay != OverlayNone;
  if (fromMouse && GameState.Screen == ScreenMainMenu && GameState.MenuIntroRunning) return;
  if (GameState.Screen == ScreenIntro && !overlayOpen) {
    // The link areas of the intro screen make no sound.
    const std::int32_t s = GameState.Selected;
    if (s != 0 && s != 3 && s != 4 && s != 5) Shell().PlaySound("Button_short");
    return;
  }
  Shell().PlaySound("Button");
}

bool IsAllowedTextChar(std::uint8_t ch) {
  return (ch >= '0' && ch <= '9') || (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') || ch == ' ';
}

void EditTypedText(std::string& text, std::uint8_t ch, std::size_t maxLength, int maxWidth, int style) {
  if (ch == kBackspace) {
    if (!text.empty()) text.pop_back();
    return;
  }
  if (!IsAllowedTextChar(ch)) return;
  if (text.size() < maxLength && Shell().StyledTextWidth(text, style) <= maxWidth)
    text += static_cast<char>(ch);
}

void HandleKeyPress(std::uint8_t ch) {
  if (GameState.Overlay == OverlayNameEntry) GameState.LastTypedChar = ch;
  if (GameState.Screen == ScreenOptions && GameState.CountryEditing)
    EditTypedText(GameState.Country, ch, 16, 345, 4);
  if (GameState.Overlay == OverlayNameEntry) EditTypedText(GameState.PlayerName, ch, 12, 240, 10);
  if (ch == kEnter) SelectAndActivate(GameState.Selected);
}

void HandleClick() { ActivateSelection(); }

void HandleMouseMove() {
  const std::int32_t before = GameState.Selected;
  // On the intro screen the selection follows the pointer exactly; elsewhere the last hovered
  // or key-chosen item stays selected when the pointer leaves it.
  HitTestItems(GameState.Screen != ScreenIntro);
  if (GameState.Selected != before) SelectionChangeSound(true);
}

void CloseCurrentScreen() {
  switch (GameState.Screen) {
    case ScreenIntro:
      CloseIntroScreen();
      break;
    case ScreenMainMenu:
      CloseMainMenu();
      break;
    case ScreenCarChoice:
      CloseCarChoice();
      break;
    case ScreenOptions:
      CloseOptions();
      break;
    case ScreenHighScores:
      CloseHighScores();
      break;
    case ScreenHelp:
      CloseHelp();
      break;
    default:
      break;
  }
}

void RegisterMenuModule(TMForm& form) {
  TShellHandlers& h = form.Handlers;
  h.ScreenFrame[ScreenIntro] = [](std::uint32_t) { IntroFrame(); };
  h.ScreenFrame[ScreenMainMenu] = [](std::uint32_t) { MainMenuFrame(); };
  h.ScreenFrame[ScreenCarChoice] = [](std::uint32_t) { CarChoiceFrame(); };
  h.ScreenFrame[ScreenOptions] = [](std::uint32_t lag) { OptionsFrame(lag); };
  h.ScreenFrame[ScreenHighScores] = [](std::uint32_t lag) { HighScoresFrame(lag); };
  h.ScreenFrame[ScreenHelp] = [](std::uint32_t lag) { HelpFrame(lag); };
  h.RunOverlay = [](std::uint32_t lag) { RunOverlay(lag); };
  h.DrawOptionsUnderOverlay = [] { DrawOptionValues(); };
  h.SelectionChanged = [] { SelectionChangeSound(false); };
  h.BuildOverlay = [](int overlay) { BuildOverlay(overlay); };
  h.TearDownOverlay = [](int overlay) { TearDownOverlay(overlay); };
  h.OpenIntroScreen = [] { OpenIntroScreen(); };
  h.KeyPress = [](std::uint8_t ch) { HandleKeyPress(ch); };
  h.Click = [] { HandleClick(); };
  h.MouseMoved = [] { HandleMouseMove(); };
}

}  // namespace kestrune
