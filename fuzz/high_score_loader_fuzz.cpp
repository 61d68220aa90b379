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
  if (QualifiesForTable(GameState.HighScores[10].Score + 1) == false &&
      GameState.HighScores[10].Score < 0x7FFFFFFF)
    std::abort();
  InsertHighScore("FUZZ", 1000);
  HighScoreCheck();
  return 0;
}
