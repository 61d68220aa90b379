#include "framework/DXInput.h"

#include "framework/Platform.h"

namespace kestrune {

TKeyAssignList MainFormKeyAssigns() {
  TKeyAssignList a{};
  a[isUp][0] = 0x26;
  a[isDown][0] = 0x28;
  a[isLeft][0] = 0x25;
  a[isRight][0] = 0x27;
  a[8][0] = 'H';
  a[9][0] = 'P';
  a[10][0] = 'Y';
  a[11][0] = 'N';
  a[12][0] = 0x1B;  // Esc
  a[13][0] = 0x20;  // Space
  a[14][0] = 0x0D;  // Enter
  a[15][0] = 'Z';
  a[16][0] = 'X';
  a[17][0] = 'C';
  a[18][0] = 'V';
  a[19][0] = 'B';
  for (int i = 0; i < 9; ++i) a[20 + i][0] = '1' + i;
  a[29][0] = '0';
  return a;
}

void TKeyboard::Update(IPlatform* platform, bool foregroundOnly) {
  Keys.fill(0);
  States.reset();
  if (!Enabled || platform == nullptr) return;
  if (foregroundOnly && !platform->IsForeground()) return;
  platform->ReadKeyboard(Keys.data());
  for (int i = 0; i < InputStateCount; ++i) {
    for (int code : Assigns[i]) {
      if (code >= 1 && code <= 255 && (Keys[code] & 0x80) != 0) {
        States.set(i);
        break;
      }
    }
  }
}

TDXInput::TDXInput(IPlatform* platform) : platform_(platform) {}

void TDXInput::Update() {
  TDXInputStates s;
  Keyboard.Update(platform_, ActiveOnly);
  if (Keyboard.BindInputStates) s |= Keyboard.States;
  // Only changes of the raw set touch States, so a state the game removed stays removed while
  // its key is held.
  for (int i = 0; i < InputStateCount; ++i) {
    if (s[i] && !previousRaw_[i]) States.set(i);
    if (!s[i] && previousRaw_[i]) States.reset(i);
  }
  previousRaw_ = s;
}

}  // namespace kestrune
