// libFuzzer target for the options file: any bytes must load as options or fall back to the
// defaults, never crash; the switches come out 0 or 1 and the texts as single lines.

#include "SavedFileFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kestrune;
  fuzz::UseSaveFolderOnce();
  fuzz::PutFile(OptionsPath(), data, size);
  LoadOptions();
  const TGameState& s = GameState;
  if (s.FullScreen > 1 || s.MusicOn > 1 || s.SoundOn > 1) std::abort();
  if (!fuzz::SafeText(s.Country)) std::abort();
  // The check string is only compared, never drawn: bytes 32..255 on one line.
  if (s.StoredCheck.size() > kMaxSavedLine || !IsCheckText(s.StoredCheck)) std::abort();
  return 0;
}
