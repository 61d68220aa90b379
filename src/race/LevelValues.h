#pragma once
// How a level's length, time limit and difficulty follow from its number.

namespace kestrune {

struct TLevelValues {
  int Level = 1;
  int RoadLength = 300;  // rows of road
  int TimeLeft = 54000;  // milliseconds
  int BonusLevelValue = 10;
  int TrafficLevelValue = 10;
};

TLevelValues ComputeLevelValues(int level);

}  // namespace kestrune
