#pragma once
// Input handling of the main window outside the race: activating the selected item (a click,
// Enter or a shortcut), the pointer's hit test over the items, typed text and the sound that
// marks a change of selection.

#include <cstddef>
#include <cstdint>
#include <string>

namespace kestrune {

class TMForm;

// Plays the click sound, then acts for the open overlay or, without one, for the screen's
// selected item.
void ActivateSelection();
void SelectAndActivate(std::int32_t item);
// Selects the first item under the pointer; without keep, nothing is selected when the pointer
// is over no item.
void HitTestItems(bool keep);
// The sound that marks a new selection. fromMouse: the main menu's fade-in keeps it silent.
void SelectionChangeSound(bool fromMouse);
// The window events that reach the screens and overlays.
void HandleKeyPress(std::uint8_t ch);
void HandleClick();
void HandleMouseMove();

// The characters a typed name or country may hold: digits, letters and the space.
bool IsAllowedTextChar(std::uint8_t ch);
// Backspace removes the last character; an allowed character is added while the text is
// shorter than maxLength and not wider than maxWidth pixels in the style (measured before
// adding, so the result may be one character wider). Other characters are dropped.
void EditTypedText(std::string& text, std::uint8_t ch, std::size_t maxLength, int maxWidth, int style);

// Fills the form's handlers with the screens, overlays and input of the shell.
void RegisterMenuModule(TMForm& form);

}  // namespace kestrune
