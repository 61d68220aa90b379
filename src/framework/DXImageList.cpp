#include "framework/PictureCollection.h"

namespace kestrune {

TDXImageList::~TDXImageList() { SetDXDraw(nullptr); }

void TDXImageList::SetDXDraw(TDXDraw* draw) {
  if (draw == dxDraw_) return;
  if (dxDraw_) {
    dxDraw_->UnRegisterNotifyEvent(this);
    Items.Finalize();
  }
  dxDraw_ = draw;
  if (dxDraw_) {
    dxDraw_->RegisterNotifyEvent(this, [this](TDXDraw& sender, TDXDrawNotifyType type) { DXDrawNotify(&sender, type); });
  }
}

void TDXImageList::DXDrawNotify(TDXDraw* sender, TDXDrawNotifyType type) {
  HandleNotify(type, sender && sender->Initialized());
}

void TDXImageList::HandleNotify(TDXDrawNotifyType type, bool displayInitialized) {
  switch (type) {
    case TDXDrawNotifyType::dxntDestroying:
      // The display is going away and forgets its listeners itself.
      dxDraw_ = nullptr;
      break;
    case TDXDrawNotifyType::dxntInitialize:
      Items.Initialize(displayInitialized);
      break;
    case TDXDrawNotifyType::dxntRestore:
      Items.Restore();
      break;
    case TDXDrawNotifyType::dxntFinalize:
      Items.Finalize();
      break;
    default:
      break;
  }
}

}  // namespace kestrune
