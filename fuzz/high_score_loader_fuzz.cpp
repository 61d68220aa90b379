// libFuzzer target for the high-score file: any bytes must load as a table or give the default
// table, never crash; every name comes out as a single plain line, and the table still takes a
// new score and yields its check string.

#include "SavedFileFuzz.h"
#include "shell/HighScoreTable.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kestrune;
  fuzz::UseSaveFolderOnce();
  fuzz::PutFile(HighScoresPath(), data, size);
  LoadHighScores();
  for (int k = 1; k <= 10; ++k)
    if (!fuzz::SafeText(GameState.HighScores[k].Name)) std::abort();
  HighScoreCheck();
  // A score above the lowest row qualifies (tested only where one exists: the lowest may be the
  // largest score there is).
  const std::int32_t lowest = GameState.HighScores[10].Score;
  if (lowest < 0x7FFFFFFF && !QualifiesForTable(lowest + 1)) std::abort();
  InsertHighScore("FUZZ", 1000);
  HighScoreCheck();
  return 0;
}
