#pragma once
// The SDL2 back end: the real window, presentation, keyboard, mouse and system services.

#include <memory>

#include "framework/Platform.h"

namespace kestrune {
std::unique_ptr<IPlatform> CreateSdlPlatform();
}
