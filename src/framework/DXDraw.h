#pragma once
// The display: owns the 800 x 600 RGB565 back surface, presents it through the platform in a
// window or full screen, and tells its listeners (the sprite engine, the image libraries) when
// surfaces appear, disappear or had to be rebuilt.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "framework/Surface.h"

namespace kestrune {

class IPlatform;

// Notification codes sent to listeners, in the display's numbering.
enum class TDXDrawNotifyType : int {
  dxntDestroying = 0,
  dxntInitializing = 1,
  dxntInitialize = 2,
  dxntInitializeSurface = 3,
  dxntFinalize = 4,
  dxntFinalizeSurface = 5,
  dxntRestore = 6,
  dxntSetSurfaceSize = 7,
};

class TDXDraw;
class TCanvas;
using TDXDrawNotifyEvent = std::function<void(TDXDraw& sender, TDXDrawNotifyType type)>;

// Option set of the display, in bit order.
enum TDXDrawOption : std::uint32_t {
  doFullScreen = 1u << 0,
  doNoWindowChange = 1u << 1,
  doAllowReboot = 1u << 2,
  doWaitVBlank = 1u << 3,
  doAllowPalette256 = 1u << 4,
  doSystemMemory = 1u << 5,
  doStretch = 1u << 6,
  doCenter = 1u << 7,
  doFlip = 1u << 8,
  do3D = 1u << 9,
  doDirectX7Mode = 1u << 10,
  doRetainedMode = 1u << 11,
  doHardware = 1u << 12,
  doSelectDriver = 1u << 13,
  doZBuffer = 1u << 14,
};

// The effective options for a set of options: what a window or full screen can honour.
std::uint32_t DeriveNowOptions(std::uint32_t options);

// The display component. Listeners register a callback under an owner key and receive the
// notification codes above (on registration: 7, then 2, 3 and 6 when already initialised).
class TDXDraw {
 public:
  // platform may be null (unit tests of listeners): the display then initialises a surface in
  // memory and presenting does nothing.
  explicit TDXDraw(IPlatform* platform);
  ~TDXDraw();
  TDXDraw(const TDXDraw&) = delete;
  TDXDraw& operator=(const TDXDraw&) = delete;

  void Initialize();
  void Finalize();
  bool CanDraw();
  void Flip();
  bool Initialized() const { return initialized_; }
  // The back surface; null until the first initialisation.
  TDirectDrawSurface* Surface() { return surface_.get(); }

  // Width and height of the back surface (the last size after Finalize).
  int SurfaceWidth() const { return surfaceWidth_; }
  int SurfaceHeight() const { return surfaceHeight_; }

  void RegisterNotifyEvent(const void* owner, TDXDrawNotifyEvent event);
  void UnRegisterNotifyEvent(const void* owner);

  std::uint32_t Options = doWaitVBlank | doFlip | doStretch | doCenter | doAllowReboot | doDirectX7Mode |
                          doRetainedMode | doHardware | doSelectDriver | doZBuffer;
  // The options in effect: derived from Options whenever the display initialises.
  std::uint32_t NowOptions() const { return nowOptions_; }
  bool FullScreen() const { return (nowOptions_ & doFullScreen) != 0; }
  int BitCount() const { return bitCount_; }
  // Accepts 8, 16, 24 or 32; otherwise raises EDirectDrawError and keeps the old value.
  void SetBitCount(int bits);

 private:
  void Notify(TDXDrawNotifyType type);
  void NotifyOne(std::size_t index, TDXDrawNotifyType type);
  // Rebuilds lost surfaces; false while they are still lost.
  bool CheckSurfaces();
  void Restore();

  IPlatform* platform_;
  bool initialized_ = false;
  bool updating_ = false;
  int bitCount_ = 16;
  std::uint32_t nowOptions_ = 0;
  int surfaceWidth_ = 800, surfaceHeight_ = 600;
  std::unique_ptr<TDirectDrawSurface> surface_;
  std::unique_ptr<TCanvas> canvas_;
  struct Listener {
    const void* Owner;
    TDXDrawNotifyEvent Event;
  };
  std::vector<Listener> listeners_;
};

}  // namespace kestrune
