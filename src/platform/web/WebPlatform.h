#pragma once
// The browser back end: the SDL back end on SDL's Emscripten driver (the window is the page's
// canvas, keys and pads through the page, sound through Web Audio), with what a page does
// differently: the browser's frame callback paces the frames and its measured rate is the
// refresh rate, full screen is the page's, a hidden tab (or a phone held upright) is a window
// without focus, the second window is an overlay in the page, message boxes and links go through
// the page, and the page's touch controls and letter picker hold keys and type characters as a
// keyboard would.

#include <memory>
#include <string>

#include "framework/Platform.h"

namespace kestrune {

struct WebPlatformSettings {
  // The save folder: the mount point of the browser's persistent storage.
  std::string SaveFolder = "/save";
};

std::unique_ptr<IPlatform> CreateWebPlatform(const WebPlatformSettings& settings);

}  // namespace kestrune
