// A pad plugged into the running window (SDL's virtual joystick standing in for a real one) is
// picked up and mapped onto keys; unplugging it lets go of everything it held.
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "platform/sdl/SdlPlatform.h"

namespace kestrune {
namespace {

std::vector<PlatformEvent> Pump(IPlatform& platform) {
  SDL_GameControllerUpdate();
  std::vector<PlatformEvent> out;
  for (PlatformEvent e; platform.PollEvent(e);) out.push_back(e);
  return out;
}

TEST(SdlGamepad, APluggedInPadDrivesKeysUntilUnplugged) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  // The dummy display's window never has the focus, and pads speak only to a focused game.
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  auto platform = CreateSdlPlatform();
  ASSERT_TRUE(platform->OpenWindow("Kestrune", 800, 600)) << platform->LastError();
  Pump(*platform);
  const int device = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                               SDL_CONTROLLER_BUTTON_MAX, 0);
  if (device < 0) GTEST_SKIP() << "no virtual joystick: " << SDL_GetError();
  Pump(*platform);
  SDL_Joystick* stick = SDL_JoystickFromInstanceID(SDL_JoystickGetDeviceInstanceID(device));
  ASSERT_NE(stick, nullptr) << "the pad was not opened when it was plugged in";

  SDL_JoystickSetVirtualButton(stick, SDL_CONTROLLER_BUTTON_START, 1);
  SDL_JoystickSetVirtualAxis(stick, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767);
  std::vector<int> downs;
  for (const PlatformEvent& e : Pump(*platform))
    if (e.Type == PlatformEvent::Kind::KeyDown) downs.push_back(e.VirtualKey);
  std::sort(downs.begin(), downs.end());
  EXPECT_EQ(downs, (std::vector<int>{0x26, 'P'}));

  SDL_JoystickDetachVirtual(device);
  std::vector<int> ups;
  for (const PlatformEvent& e : Pump(*platform))
    if (e.Type == PlatformEvent::Kind::KeyUp) ups.push_back(e.VirtualKey);
  std::sort(ups.begin(), ups.end());
  EXPECT_EQ(ups, (std::vector<int>{0x26, 'P'}));
}

}  // namespace
}  // namespace kestrune
