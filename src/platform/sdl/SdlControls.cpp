#include "platform/sdl/SdlControls.h"

#include "platform/sdl/SdlKeyMap.h"

namespace kestrune {
namespace {

std::int32_t KeyFromSdlName(const std::string& name) { return SDL_GetKeyFromName(name.c_str()); }

std::string SdlNameOfKey(std::int32_t key) { return SDL_GetKeyName(key); }

}  // namespace

ControlsTable SdlDefaultControls() { return DefaultControls(KeyFromSdlName); }

ControlsTable SdlReadControls(const std::string& text, std::vector<std::string>& warnings) {
  return ReadControls(text, KeyFromSdlName, warnings);
}

std::string SdlFormatControls(const ControlsTable& table) { return FormatControls(table, SdlNameOfKey); }

int MappedVirtualKey(const ControlsTable& controls, SDL_Scancode scancode, SDL_Keycode key) {
  const int mapped = controls.VirtualKeyOf(key);
  return mapped >= 0 ? mapped : VirtualKeyFromKey(scancode, key);
}

}  // namespace kestrune
