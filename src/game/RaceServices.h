#pragma once
// What the race asks of the shell besides the game state: sounds and music by name, the mouse
// cursor, overlays, the held input states and text. The shell fills these in when it registers the
// race; each one left empty does nothing (a held state then reads as up), so the race also runs
// under tests with only the parts they look at.

#include <functional>
#include <string>

namespace kestrune {

struct TRaceServices {
  std::function<void(const std::string& name)> PlaySound;
  std::function<void(const std::string& name)> StopSound;
  // The race song (the shell picks it by the race screen).
  std::function<void()> PlayScreenMusic;
  std::function<void()> HideMouseCursor;
  std::function<void(int overlay)> OpenOverlay;
  // Input states of the keyboard (0..3 the arrows up, down, left, right; 8 H; 13 Space; 15 Z;
  // 16 X).
  std::function<bool(int state)> InputHeld;
  // Text on the back surface: a style of the shell's table, then text at (x, y), centred on
  // that point in either direction when asked.
  std::function<void(int style)> SetTextStyle;
  std::function<void(const std::string& text, int x, int y, bool centreH, bool centreV)> DrawText;
};
TRaceServices& RaceServices();

void RacePlaySound(const std::string& name);
void RaceStopSound(const std::string& name);

}  // namespace kestrune
