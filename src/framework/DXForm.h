#pragma once
// The form base of the main window: keeps the window's placement while the display is full
// screen, so leaving full screen puts the window back where it was.

#include <optional>

#include "framework/Platform.h"

namespace kestrune {

class TDXForm {
 public:
  explicit TDXForm(IPlatform* platform) : platform_(platform) {}
  virtual ~TDXForm() = default;

  // Stores the window's position, size and state.
  void SavePlacement();
  // Puts back a stored placement, if any, and forgets it.
  void RestorePlacement();
  bool HasSavedPlacement() const { return placement_.has_value(); }

 protected:
  IPlatform* platform_;

 private:
  std::optional<WindowPlacement> placement_;
};

}  // namespace kestrune
