#include "platform/sdl/PresentPathRule.h"

#include <algorithm>
#include <cctype>

namespace kestrune {

bool IsSoftwareRasteriser(std::string_view glRenderer) {
  std::string lower(glRenderer);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  for (const char* name : {"llvmpipe", "softpipe", "swrast", "software rasterizer"})
    if (lower.find(name) != std::string::npos) return true;
  return false;
}

PresentPath AutomaticPresentPath(std::string_view videoDriver, bool gpuDevice,
                                 const std::function<std::string()>& acceleratedRenderer) {
  if (videoDriver != "x11") return PresentPath::Accelerated;
  if (!gpuDevice) return PresentPath::Software;
  const std::string name = acceleratedRenderer();
  return name.empty() || IsSoftwareRasteriser(name) ? PresentPath::Software : PresentPath::Accelerated;
}

}  // namespace kestrune
