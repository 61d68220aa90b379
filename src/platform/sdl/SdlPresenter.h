#pragma once
// Showing the game's 16-bit (RGB565) picture in the window, placed in a rectangle of the
// window's drawable area with black around it. Two ways: SDL's accelerated renderer with a
// streaming texture, or the window's own surface (converted and scaled by the processor, handed
// to the display server as it is).

#include <SDL.h>

#include <cstdint>
#include <memory>
#include <string>

#include "platform/WindowFit.h"

namespace kestrune {

class SdlPresenter {
 public:
  virtual ~SdlPresenter() = default;
  // Shows width x height pixels (rows pitchPixels apart) in `target` of the output.
  virtual void Present(const std::uint16_t* pixels, int width, int height, int pitchPixels,
                       const PixelRect& target) = 0;
  // The drawable area in pixels (more than the window's size on a high-DPI display).
  virtual void OutputSize(int& width, int& height) const = 0;
  // Presenting waits for the display's vertical blank, as far as SDL knows.
  virtual bool VsyncReported() const = 0;
  // The renderer's textures were lost (a device reset): make them again.
  virtual void RenderTargetsReset() {}
  // "accelerated (opengl: llvmpipe ...)" or "software (window surface)", for --verbose.
  virtual std::string Describe() const = 0;
};

// SDL's accelerated renderer (the GPU, through OpenGL here), or SDL's own software renderer when
// no accelerated one can be made; nothing, with `error` set, when neither can.
std::unique_ptr<SdlPresenter> CreateRendererPresenter(SDL_Window* window, int width, int height, bool vsync,
                                                      std::string& error);

// The window surface; nothing, with `error` set, when the window has none.
std::unique_ptr<SdlPresenter> CreateSurfacePresenter(SDL_Window* window, bool nearestFilter,
                                                     std::string& error);

// The OpenGL renderer's name ("llvmpipe (LLVM 15.0.6, 256 bits)", "Mesa Intel(R) UHD ..."), empty
// when the presenter does not draw with OpenGL.
std::string OpenGlRendererName(const SdlPresenter& presenter);

}  // namespace kestrune
