#pragma once
// The headless back end: a manual clock, scripted input and presented frames kept in memory.

#include <memory>

#include "framework/Platform.h"

namespace kestrune {
class HeadlessPlatform;
std::unique_ptr<HeadlessPlatform> CreateHeadlessPlatform();
}  // namespace kestrune
