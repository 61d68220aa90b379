#pragma once
// Which way the SDL back end shows its pictures. The window surface path converts the 16-bit
// picture into the window's own pixels and hands them to the display server; the accelerated
// path draws it as a texture with SDL's GPU renderer (OpenGL). Where OpenGL is drawn by the
// processor itself (Mesa's llvmpipe on a virtual display, a machine without a GPU) the window
// surface costs a fraction of the processor time and memory; on a real GPU the renderer also
// waits for the display's vertical blank.

#include <functional>
#include <string>
#include <string_view>

namespace kestrune {

enum class PresentPath { Automatic, Software, Accelerated };

// True for the names OpenGL gives its processor-drawn renderers (llvmpipe, softpipe, swrast).
bool IsSoftwareRasteriser(std::string_view glRenderer);

// The automatic choice: on X11 the window surface unless a GPU device is present and OpenGL's
// renderer (asked of `acceleratedRenderer`, which makes the accelerated renderer and answers its
// OpenGL renderer name, empty when it cannot be made) is a real one. Other video drivers
// (Wayland, the browser) get the accelerated path, as their window surfaces are drawn through
// it anyway.
PresentPath AutomaticPresentPath(std::string_view videoDriver, bool gpuDevice,
                                 const std::function<std::string()>& acceleratedRenderer);

}  // namespace kestrune
