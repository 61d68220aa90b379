#pragma once
// The game controllers plugged in, opened as SDL reports them and closed as they go, and their
// buttons and sticks handed to the gamepad map, which turns them into the game's keys.

#include <SDL.h>

#include <deque>
#include <map>

#include "framework/Platform.h"
#include "platform/GamepadMap.h"

namespace kestrune {

class SdlPads {
 public:
  explicit SdlPads(GamepadMap& map) : map_(map) {}
  ~SdlPads() { CloseAll(); }
  SdlPads(const SdlPads&) = delete;
  SdlPads& operator=(const SdlPads&) = delete;

  // A controller event (device added or removed, button, axis): true when it was one. The keys
  // it presses or lets go of are added to events.
  bool Translate(const SDL_Event& e, std::deque<PlatformEvent>& events);
  // Closes every pad (before the controller subsystem goes).
  void CloseAll();

 private:
  GamepadMap& map_;
  std::map<SDL_JoystickID, SDL_GameController*> pads_;
};

}  // namespace kestrune
