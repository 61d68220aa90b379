#include "framework/DXSound.h"

#include <algorithm>

#include "framework/Errors.h"
#include "framework/Platform.h"

namespace kestrune {

TDXSound::TDXSound(IAudioOutput* audio) : audio_(audio) {}

TDXSound::~TDXSound() {
  Finalize();
  Notify(TDXSoundNotifyType::dsntDestroying);
}

void TDXSound::Initialize() {
  Finalize();
  Notify(TDXSoundNotifyType::dsntInitializing);
  if (!audio_ || !audio_->IsOpen()) throw EDirectSoundError("Sound device cannot be opened");
  initialized_ = true;
  const bool focusMatters = (Options & (soGlobalFocus | soStickyFocus)) == 0;
  audio_->SetEffectsMuted(focusMatters && !windowActive_);
  Notify(TDXSoundNotifyType::dsntInitialize);
  Notify(TDXSoundNotifyType::dsntRestore);
}

void TDXSound::Finalize() {
  if (!initialized_) return;
  Notify(TDXSoundNotifyType::dsntFinalize);
  initialized_ = false;
}

void TDXSound::Restore() {
  if (initialized_) Notify(TDXSoundNotifyType::dsntRestore);
}

void TDXSound::Loaded() {
  if (!AutoInitialize) return;
  try {
    Initialize();
  } catch (const EDirectSoundError&) {
    // No device: every Play and Stop of the libraries does nothing.
  }
}

void TDXSound::SetWindowActive(bool active) {
  windowActive_ = active;
  if (!initialized_ || (Options & (soGlobalFocus | soStickyFocus)) != 0) return;
  audio_->SetEffectsMuted(!active);
}

void TDXSound::RegisterNotifyEvent(const void* owner, TDXSoundNotifyEvent event) {
  UnRegisterNotifyEvent(owner);
  listeners_.push_back({owner, event});
  if (initialized_) {
    event(*this, TDXSoundNotifyType::dsntInitialize);
    event(*this, TDXSoundNotifyType::dsntRestore);
  }
}

void TDXSound::UnRegisterNotifyEvent(const void* owner) {
  for (auto it = listeners_.begin(); it != listeners_.end(); ++it) {
    if (it->Owner != owner) continue;
    TDXSoundNotifyEvent event = std::move(it->Event);
    listeners_.erase(it);
    if (initialized_) event(*this, TDXSoundNotifyType::dsntFinalize);
    return;
  }
}

void TDXSound::Notify(TDXSoundNotifyType type) {
  // A listener may unregister itself or another while being notified: work on a copy and skip
  // any that has gone.
  const std::vector<Listener> listeners = listeners_;
  for (const Listener& l : listeners) {
    const bool stillThere = std::any_of(listeners_.begin(), listeners_.end(),
                                        [&](const Listener& x) { return x.Owner == l.Owner; });
    if (stillThere) l.Event(*this, type);
  }
}

}  // namespace kestrune
