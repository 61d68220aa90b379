#pragma once
#include <memory>

#include "framework/Platform.h"

namespace kestrune {
std::unique_ptr<IPlatform> CreateSdlPlatform();
}
