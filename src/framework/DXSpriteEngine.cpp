#include "framework/Sprite.h"

namespace kestrune {

// Kept apart from the tree code: only the components that really link a display need it.

TDXSpriteEngine::~TDXSpriteEngine() { SetDXDraw(nullptr); }

void TDXSpriteEngine::SetDXDraw(TDXDraw* draw) {
  if (draw == dxDraw_) return;
  if (dxDraw_) {
    dxDraw_->UnRegisterNotifyEvent(this);
    root_->SetSurface(nullptr);
  }
  dxDraw_ = draw;
  if (dxDraw_) {
    dxDraw_->RegisterNotifyEvent(
        this, [this](TDXDraw& sender, TDXDrawNotifyType type) { HandleNotify(type, sender.Surface()); });
  }
}

}  // namespace kestrune
