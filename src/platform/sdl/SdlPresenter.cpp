#include "platform/sdl/SdlPresenter.h"

#include <string_view>

namespace kestrune {
namespace {

constexpr unsigned kGlRenderer = 0x1F01;  // GL_RENDERER

class RendererPresenter final : public SdlPresenter {
 public:
  RendererPresenter(SDL_Renderer* renderer, int width, int height)
      : renderer_(renderer), width_(width), height_(height) {
    SDL_GetRendererInfo(renderer_, &info_);
    // The renderer's OpenGL context is current right after it was made.
    if (std::string_view(info_.name).starts_with("opengl")) {
      using GetString = const unsigned char* (*)(unsigned);
      if (auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"))) {
        if (const unsigned char* name = getString(kGlRenderer))
          glRenderer_ = reinterpret_cast<const char*>(name);
      }
    }
    CreateTexture();
  }

  ~RendererPresenter() override {
    if (texture_ != nullptr) SDL_DestroyTexture(texture_);
    SDL_DestroyRenderer(renderer_);
  }

  bool Ready() const { return texture_ != nullptr; }

  void Present(const std::uint16_t* pixels, int, int, int pitchPixels, const PixelRect& target) override {
    if (texture_ == nullptr && !CreateTexture()) return;
    SDL_UpdateTexture(texture_, nullptr, pixels, pitchPixels * static_cast<int>(sizeof(std::uint16_t)));
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    const SDL_Rect rect{target.X, target.Y, target.W, target.H};
    SDL_RenderCopy(renderer_, texture_, nullptr, &rect);
    SDL_RenderPresent(renderer_);
  }

  void OutputSize(int& width, int& height) const override {
    SDL_GetRendererOutputSize(renderer_, &width, &height);
  }

  bool VsyncReported() const override { return (info_.flags & SDL_RENDERER_PRESENTVSYNC) != 0; }

  void RenderTargetsReset() override { CreateTexture(); }

  std::string Describe() const override {
    std::string text = std::string("accelerated (") + info_.name;
    if (!glRenderer_.empty()) text += ": " + glRenderer_;
    return text + ")";
  }

  const std::string& GlRenderer() const { return glRenderer_; }

 private:
  bool CreateTexture() {
    if (texture_ != nullptr) SDL_DestroyTexture(texture_);
    texture_ =
        SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB565, SDL_TEXTUREACCESS_STREAMING, width_, height_);
    return texture_ != nullptr;
  }

  SDL_Renderer* renderer_;
  SDL_Texture* texture_ = nullptr;
  SDL_RendererInfo info_{};
  int width_, height_;
  std::string glRenderer_;
};

class SurfacePresenter final : public SdlPresenter {
 public:
  SurfacePresenter(SDL_Window* window, bool nearestFilter) : window_(window), nearest_(nearestFilter) {}

  ~SurfacePresenter() override {
    if (picture_ != nullptr) SDL_FreeSurface(picture_);
    if (staging_ != nullptr) SDL_FreeSurface(staging_);
  }

  void Present(const std::uint16_t* pixels, int width, int height, int pitchPixels,
               const PixelRect& target) override {
    // Asked for each frame: SDL makes a new one after the window changed size.
    SDL_Surface* out = SDL_GetWindowSurface(window_);
    if (out == nullptr || !WrapPicture(pixels, width, height, pitchPixels)) return;
    FillAround(out, target);
    SDL_Rect rect{target.X, target.Y, target.W, target.H};
    if (target.W == width && target.H == height) {
      SDL_BlitSurface(picture_, nullptr, out, &rect);
    } else {
      // Scaling works within one pixel format: the picture is converted first, unless the window
      // already has the picture's format.
      SDL_Surface* source = picture_;
      if (out->format->format != picture_->format->format) {
        if (staging_ == nullptr || staging_->format->format != out->format->format || staging_->w != width ||
            staging_->h != height) {
          if (staging_ != nullptr) SDL_FreeSurface(staging_);
          staging_ = SDL_CreateRGBSurfaceWithFormat(0, width, height, 0, out->format->format);
          if (staging_ == nullptr) return;
        }
        SDL_BlitSurface(picture_, nullptr, staging_, nullptr);
        source = staging_;
      }
      if (!nearest_ && source->format->BytesPerPixel == 4) {
        SDL_SoftStretchLinear(source, nullptr, out, &rect);
      } else {
        SDL_SoftStretch(source, nullptr, out, &rect);
      }
    }
    SDL_UpdateWindowSurface(window_);
  }

  void OutputSize(int& width, int& height) const override {
    SDL_GetWindowSizeInPixels(window_, &width, &height);
  }

  bool VsyncReported() const override { return false; }

  std::string Describe() const override {
    SDL_Surface* out = SDL_GetWindowSurface(window_);
    return std::string("software (window surface, ") +
           (out != nullptr ? SDL_GetPixelFormatName(out->format->format) : "none") + ")";
  }

 private:
  // The game's pixels seen as a surface, without copying them.
  bool WrapPicture(const std::uint16_t* pixels, int width, int height, int pitchPixels) {
    const int pitch = pitchPixels * static_cast<int>(sizeof(std::uint16_t));
    if (picture_ != nullptr && picture_->w == width && picture_->h == height && picture_->pitch == pitch) {
      picture_->pixels = const_cast<std::uint16_t*>(pixels);
      return true;
    }
    if (picture_ != nullptr) SDL_FreeSurface(picture_);
    picture_ = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<std::uint16_t*>(pixels), width, height, 16,
                                                  pitch, SDL_PIXELFORMAT_RGB565);
    return picture_ != nullptr;
  }

  // Black bars around the picture; the picture itself is drawn over whatever is there.
  static void FillAround(SDL_Surface* out, const PixelRect& t) {
    const Uint32 black = SDL_MapRGB(out->format, 0, 0, 0);
    const SDL_Rect bars[] = {{0, 0, out->w, t.Y},
                             {0, t.Y + t.H, out->w, out->h - (t.Y + t.H)},
                             {0, t.Y, t.X, t.H},
                             {t.X + t.W, t.Y, out->w - (t.X + t.W), t.H}};
    for (const SDL_Rect& bar : bars)
      if (bar.w > 0 && bar.h > 0) SDL_FillRect(out, &bar, black);
  }

  SDL_Window* window_;
  bool nearest_;
  SDL_Surface* picture_ = nullptr;
  SDL_Surface* staging_ = nullptr;
};

}  // namespace

std::unique_ptr<SdlPresenter> CreateRendererPresenter(SDL_Window* window, int width, int height, bool vsync,
                                                      std::string& error) {
  SDL_Renderer* renderer =
      SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED | (vsync ? SDL_RENDERER_PRESENTVSYNC : 0));
  if (renderer == nullptr) renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
  if (renderer == nullptr) {
    error = std::string("no renderer is available (") + SDL_GetError() + ")";
    return nullptr;
  }
  auto presenter = std::make_unique<RendererPresenter>(renderer, width, height);
  if (!presenter->Ready()) {
    error = std::string("the display surface cannot be made (") + SDL_GetError() + ")";
    return nullptr;
  }
  return presenter;
}

std::unique_ptr<SdlPresenter> CreateSurfacePresenter(SDL_Window* window, bool nearestFilter,
                                                     std::string& error) {
  if (SDL_GetWindowSurface(window) == nullptr) {
    error = std::string("the window has no surface (") + SDL_GetError() + ")";
    return nullptr;
  }
  return std::make_unique<SurfacePresenter>(window, nearestFilter);
}

std::string OpenGlRendererName(const SdlPresenter& presenter) {
  const auto* renderer = dynamic_cast<const RendererPresenter*>(&presenter);
  return renderer != nullptr ? renderer->GlRenderer() : std::string();
}

}  // namespace kestrune
