#include "shell/HighScoreTable.h"

#include <algorithm>
#include <utility>

#include "game/GameState.h"

namespace kestrune {

void ResetHighScores() {
  for (int i = 1; i <= 10; ++i) GameState.HighScores[i] = {"ANONYMOUS", 5500 - 500 * i};
}

std::string HighScoreCheck() { return HighScoreCheck(GameState.HighScores); }

std::string HighScoreCheck(const THighScoreTable& table) {
  std::size_t length = 0;
  for (int k = 1; k <= 10; ++k) length = std::max(length, table[k].Name.size());
  std::string check(length, ' ');
  // Folds the text into the check; characters past the check's length (a score with more digits
  // than the longest name) are left out.
  auto fold = [&check](const std::string& text) {
    const std::size_t n = std::min(text.size(), check.size());
    for (std::size_t j = 0; j < n; ++j) {
      const unsigned sum = static_cast<unsigned char>(check[j]) + static_cast<unsigned char>(text[j]);
      check[j] = static_cast<char>(static_cast<unsigned char>(sum % 224 + 32));
    }
  };
  for (int k = 1; k <= 10; ++k) {
    fold(table[k].Name);
    fold(std::to_string(table[k].Score));
  }
  return check;
}

bool QualifiesForTable(std::int32_t score) {
  for (int k = 1; k <= 10; ++k)
    if (GameState.HighScores[k].Score < score) return true;
  return false;
}

void InsertHighScore(const std::string& name, std::int32_t score) {
  auto& table = GameState.HighScores;
  table[11] = {name, score};
  for (int pass = 1; pass <= 10; ++pass)
    for (int j = 1; j <= 11 - pass; ++j)
      if (table[j].Score < table[j + 1].Score) std::swap(table[j], table[j + 1]);
}

}  // namespace kestrune
