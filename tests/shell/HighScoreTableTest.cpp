#include "shell/HighScoreTable.h"

#include <gtest/gtest.h>

#include "game/GameState.h"

namespace kestrune {
namespace {

class HighScoreTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GameState.HighScores = {};
    ResetHighScores();
  }
};

TEST_F(HighScoreTableTest, DefaultTableAndItsCheckString) {
  EXPECT_EQ(GameState.HighScores[1].Name, "ANONYMOUS");
  EXPECT_EQ(GameState.HighScores[1].Score, 5000);
  EXPECT_EQ(GameState.HighScores[10].Score, 500);
  const std::string expected = "\x28\xA0\x96\x3C\x7A\xE2\xF6\x52\x3E";
  EXPECT_EQ(HighScoreCheck(), expected);
}

TEST_F(HighScoreTableTest, CheckChangesWithTheTableAndIgnoresDigitsPastTheLongestName) {
  const std::string original = HighScoreCheck();
  GameState.HighScores[4].Score += 1;
  EXPECT_NE(HighScoreCheck(), original);
  // Names of one letter: the scores' extra digits must not reach past the check's length.
  for (int i = 1; i <= 10; ++i) GameState.HighScores[i] = {"A", 123456};
  EXPECT_EQ(HighScoreCheck().size(), 1u);
  for (int i = 1; i <= 10; ++i) GameState.HighScores[i].Name.clear();
  EXPECT_EQ(HighScoreCheck(), "");
}

TEST_F(HighScoreTableTest, QualifyingNeedsToBeatTheLowestEntry) {
  EXPECT_FALSE(QualifiesForTable(500));
  EXPECT_TRUE(QualifiesForTable(501));
}

TEST_F(HighScoreTableTest, InsertionIsStableAndDropsTheLowest) {
  InsertHighScore("NEW", 501);
  EXPECT_EQ(GameState.HighScores[10].Name, "NEW");
  EXPECT_EQ(GameState.HighScores[11].Score, 500);  // dropped out
  InsertHighScore("TIE", 3000);
  // Below the old 3000, above 2500.
  EXPECT_EQ(GameState.HighScores[5].Name, "ANONYMOUS");
  EXPECT_EQ(GameState.HighScores[5].Score, 3000);
  EXPECT_EQ(GameState.HighScores[6].Name, "TIE");
  EXPECT_EQ(GameState.HighScores[7].Score, 2500);
  EXPECT_EQ(GameState.HighScores[11].Name, "NEW");
}

}  // namespace
}  // namespace kestrune
