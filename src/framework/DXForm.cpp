#include "framework/DXForm.h"

namespace kestrune {

void TDXForm::SavePlacement() {
  if (platform_ == nullptr) return;
  WindowPlacement p;
  if (platform_->GetWindowPlacement(p)) placement_ = p;
}

void TDXForm::RestorePlacement() {
  if (!placement_) return;
  if (platform_ != nullptr) platform_->SetWindowPlacement(*placement_);
  placement_.reset();
}

}  // namespace kestrune
