#pragma once
// The high-score table held in GameState.HighScores: entries 1..10 in descending score order,
// entry 11 the slot a new score enters before sorting. Reading and writing the saved file is
// separate; these operations only change the table in memory.

#include <cstdint>
#include <string>

#include "game/GameState.h"

namespace kestrune {

// Entry i becomes ("ANONYMOUS", 5500 - 500 i) for i = 1..10; entry 11 is left alone.
void ResetHighScores();
// The check string stored beside the table in the options file: a table edited outside the game
// no longer matches it. Characters are bytes 32..255, one per character of the longest name.
std::string HighScoreCheck();
// The same for a table that is not (yet) the one in GameState; entries 1..10 count.
std::string HighScoreCheck(const THighScoreTable& table);
// True when the score beats at least one of entries 1..10 (equalling the lowest is not enough).
bool QualifiesForTable(std::int32_t score);
// Puts (name, score) below every entry with an equal or greater score; the lowest of the eleven
// drops out of the table.
void InsertHighScore(const std::string& name, std::int32_t score);

}  // namespace kestrune
