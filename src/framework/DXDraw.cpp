#include "framework/DXDraw.h"

#include <algorithm>

#include "framework/Canvas.h"
#include "framework/Errors.h"
#include "framework/Platform.h"

namespace kestrune {

std::uint32_t DeriveNowOptions(std::uint32_t o) {
  if ((o & doFullScreen) == 0) o &= ~(doNoWindowChange | doAllowReboot | doAllowPalette256 | doFlip);
  if ((o & do3D) == 0) o &= ~(doDirectX7Mode | doRetainedMode | doHardware | doSelectDriver | doZBuffer);
  if (o & doSystemMemory) o &= ~doFlip;
  if (o & doDirectX7Mode) o &= ~doRetainedMode;
  o &= ~doHardware;
  return o;
}

TDXDraw::TDXDraw(IPlatform* platform) : platform_(platform) {}

TDXDraw::~TDXDraw() {
  Finalize();
  // Last registered first: later listeners may depend on earlier ones.
  for (std::size_t i = listeners_.size(); i-- > 0;) NotifyOne(i, TDXDrawNotifyType::dxntDestroying);
  listeners_.clear();
}

void TDXDraw::SetBitCount(int bits) {
  if (bits != 8 && bits != 16 && bits != 24 && bits != 32)
    throw EDirectDrawError("Display requires 8, 16, 24 or 32 bits");
  bitCount_ = bits;
}

void TDXDraw::NotifyOne(std::size_t index, TDXDrawNotifyType type) {
  // Copy the callback: a listener may unregister itself while being notified.
  TDXDrawNotifyEvent event = listeners_[index].Event;
  if (event) event(*this, type);
}

void TDXDraw::Notify(TDXDrawNotifyType type) {
  for (std::size_t i = 0; i < listeners_.size(); ++i) NotifyOne(i, type);
}

void TDXDraw::RegisterNotifyEvent(const void* owner, TDXDrawNotifyEvent event) {
  UnRegisterNotifyEvent(owner);
  listeners_.push_back({owner, std::move(event)});
  const std::size_t i = listeners_.size() - 1;
  NotifyOne(i, TDXDrawNotifyType::dxntSetSurfaceSize);
  if (initialized_) {
    NotifyOne(i, TDXDrawNotifyType::dxntInitialize);
    if (surface_) NotifyOne(i, TDXDrawNotifyType::dxntInitializeSurface);
    // During initialisation the display sends the restore itself.
    if (!updating_) NotifyOne(i, TDXDrawNotifyType::dxntRestore);
  }
}

void TDXDraw::UnRegisterNotifyEvent(const void* owner) {
  for (std::size_t i = 0; i < listeners_.size(); ++i) {
    if (listeners_[i].Owner != owner) continue;
    if (initialized_) {
      NotifyOne(i, TDXDrawNotifyType::dxntFinalizeSurface);
      NotifyOne(i, TDXDrawNotifyType::dxntFinalize);
    }
    // The callbacks above may have changed the list; find the entry again.
    auto it = std::find_if(listeners_.begin(), listeners_.end(),
                           [owner](const Listener& l) { return l.Owner == owner; });
    if (it != listeners_.end()) listeners_.erase(it);
    return;
  }
}

void TDXDraw::Initialize() {
  Finalize();
  updating_ = true;
  try {
    Notify(TDXDrawNotifyType::dxntInitializing);
    nowOptions_ = DeriveNowOptions(Options);
    if (platform_ != nullptr) {
      const bool full = (nowOptions_ & doFullScreen) != 0;
      platform_->SetFullScreen(full);
      if (platform_->IsFullScreen() != full) {
        if (full) {
          throw EDXDrawError("Display mode cannot be changed (" + std::to_string(surfaceWidth_) + "x" +
                             std::to_string(surfaceHeight_) + " " + std::to_string(bitCount_) + "bit)");
        }
        throw EDXDrawError("Primary Surface cannot be made");
      }
      // Whatever the renderer lost before now is rebuilt by this initialisation.
      platform_->TakeSurfacesLost();
    }
    if (!surface_) {
      surface_ = std::make_unique<TDirectDrawSurface>(surfaceWidth_, surfaceHeight_);
      canvas_ = std::make_unique<TCanvas>(*surface_, platform_ != nullptr ? &platform_->Text() : nullptr);
    }
    surface_->AttachCanvas(canvas_.get());
  } catch (...) {
    // Nothing was initialised yet, so the display is simply left finalised.
    updating_ = false;
    initialized_ = false;
    throw;
  }
  updating_ = false;
  initialized_ = true;
  Notify(TDXDrawNotifyType::dxntSetSurfaceSize);
  Notify(TDXDrawNotifyType::dxntInitialize);
  Notify(TDXDrawNotifyType::dxntInitializeSurface);
  Restore();
}

void TDXDraw::Finalize() {
  if (!initialized_) return;
  updating_ = true;
  Notify(TDXDrawNotifyType::dxntFinalizeSurface);
  Notify(TDXDrawNotifyType::dxntFinalize);
  // The back surface's memory is kept for the next initialisation, so pointers that listeners
  // dropped on finalise stay harmless; only the initialised state goes.
  initialized_ = false;
  updating_ = false;
}

void TDXDraw::Restore() {
  if (surface_) surface_->Fill(0);
  Notify(TDXDrawNotifyType::dxntRestore);
}

bool TDXDraw::CheckSurfaces() {
  if (platform_ != nullptr && platform_->TakeSurfacesLost()) Restore();
  return true;
}

bool TDXDraw::CanDraw() {
  if (!initialized_ || updating_ || !surface_) return false;
  return CheckSurfaces();
}

void TDXDraw::Flip() {
  if (!initialized_ || updating_ || !surface_) return;
  if (!CheckSurfaces()) return;
  if (platform_ != nullptr)
    platform_->Present(surface_->Pixels(), surface_->Width(), surface_->Height(), surface_->Pitch());
}

}  // namespace kestrune
