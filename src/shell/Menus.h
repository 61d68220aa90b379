#pragma once
// What every menu screen and confirmation shares: the numbered buttons, the highlight of the
// selected one, the screen background, the title and the arrow-key moves.

#include <cstdint>
#include <string>

namespace kestrune {

class TMForm;
class TMenuButton;
class TMyImageSprite;

// The main window (the shell's services); it exists whenever a screen runs.
TMForm& Shell();

// A button of library 1 in slot n (1..12) of GameState.MenuItems, at its top-left (x, y).
TMenuButton* AddMenuItem(int slot, const std::string& highlightPicture, const std::string& normalPicture,
                         std::int32_t highlightPattern, std::int32_t normalPattern, double x, double y,
                         std::int32_t z);
// The button in slot n, or null.
TMenuButton* MenuItem(int slot);
// A picture of library 1 or 2 with its top-left corner at (x, y).
TMyImageSprite* AddPicture(std::uint8_t library, const std::string& name, double x, double y, std::int32_t z);
// Kills the sprite (if any) and forgets it.
void KillPicture(TMyImageSprite*& sprite);

// The full-screen background of a screen: a one-tile background of library 1 at (0, 0), Z 2.
void CreateScreenBackground(const std::string& picture);
void KillScreenBackground();

// Normal look for every item but the selected one; the highlight for the selected one. Moving
// the selection off the country field of the options ends its editing.
void UpdateHighlight();
// Kills the items FirstItem..LastItem and empties their slots.
void KillItems();
// "OPTIONS" or "HELP" in the title style, centred above the screen's panel.
void DrawScreenTitle();
// The engine's move pass over every sprite.
void MoveAllSprites(std::uint32_t lagCount);

// Up and Down edges move the selection within FirstItem..LastItem, stopping at the ends.
void MoveSelectionWithoutWrap();
// One step up (-1) or down (+1) that wraps around FirstItem..LastItem.
std::int32_t StepWithWrap(std::int32_t selected, int step);

// What the selected item does, in a word or two ("Start", "Yes", "Next page"); "" when nothing
// is selected. For summaries and logs.
std::string SelectedItemName();

}  // namespace kestrune
