#include "platform/sdl/SdlPads.h"

#include <iostream>
#include <optional>

namespace kestrune {
namespace {

std::optional<PadButton> PadButtonOf(Uint8 button) {
  switch (button) {
    case SDL_CONTROLLER_BUTTON_A:
      return PadButton::A;
    case SDL_CONTROLLER_BUTTON_B:
      return PadButton::B;
    case SDL_CONTROLLER_BUTTON_X:
      return PadButton::X;
    case SDL_CONTROLLER_BUTTON_Y:
      return PadButton::Y;
    case SDL_CONTROLLER_BUTTON_BACK:
      return PadButton::Back;
    case SDL_CONTROLLER_BUTTON_START:
      return PadButton::Start;
    case SDL_CONTROLLER_BUTTON_LEFTSHOULDER:
      return PadButton::LeftShoulder;
    case SDL_CONTROLLER_BUTTON_RIGHTSHOULDER:
      return PadButton::RightShoulder;
    case SDL_CONTROLLER_BUTTON_DPAD_UP:
      return PadButton::DpadUp;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
      return PadButton::DpadDown;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
      return PadButton::DpadLeft;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
      return PadButton::DpadRight;
    default:
      return std::nullopt;
  }
}

std::optional<PadAxis> PadAxisOf(Uint8 axis) {
  switch (axis) {
    case SDL_CONTROLLER_AXIS_LEFTX:
      return PadAxis::LeftX;
    case SDL_CONTROLLER_AXIS_LEFTY:
      return PadAxis::LeftY;
    case SDL_CONTROLLER_AXIS_TRIGGERLEFT:
      return PadAxis::LeftTrigger;
    case SDL_CONTROLLER_AXIS_TRIGGERRIGHT:
      return PadAxis::RightTrigger;
    default:
      return std::nullopt;
  }
}

}  // namespace

void SdlPads::CloseAll() {
  for (auto& [id, pad] : pads_) SDL_GameControllerClose(pad);
  pads_.clear();
}

bool SdlPads::Translate(const SDL_Event& e, std::deque<PlatformEvent>& events) {
  switch (e.type) {
    case SDL_CONTROLLERDEVICEADDED:
      if (SDL_GameController* pad = SDL_GameControllerOpen(e.cdevice.which)) {
        const SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad));
        if (pads_.count(id) == 0) {
          pads_[id] = pad;
          std::cerr << "Kestrune: gamepad connected: " << SDL_GameControllerName(pad) << std::endl;
        } else {
          SDL_GameControllerClose(pad);  // opened twice: the added event came for a known pad
        }
      }
      return true;
    case SDL_CONTROLLERDEVICEREMOVED:
      if (auto it = pads_.find(e.cdevice.which); it != pads_.end()) {
        SDL_GameControllerClose(it->second);
        pads_.erase(it);
        // Whatever the pad held comes up, so the car does not drive on by itself.
        map_.ReleaseAll(events);
      }
      return true;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
      if (const auto button = PadButtonOf(e.cbutton.button))
        map_.Button(*button, e.type == SDL_CONTROLLERBUTTONDOWN, events);
      return true;
    case SDL_CONTROLLERAXISMOTION:
      if (const auto axis = PadAxisOf(e.caxis.axis)) map_.Axis(*axis, e.caxis.value, events);
      return true;
    default:
      return false;
  }
}

}  // namespace kestrune
