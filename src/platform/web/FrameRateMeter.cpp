#include "platform/web/FrameRateMeter.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace kestrune {

std::optional<int> RefreshRateFromInterval(double milliseconds) {
  if (!(milliseconds > 0.0)) return std::nullopt;
  const double hz = 1000.0 / milliseconds;
  if (hz < 20.0 || hz > 1000.0) return std::nullopt;
  static constexpr int kUsual[] = {24, 25, 30, 48, 50, 60, 72, 75, 90, 100, 120, 144, 165, 240};
  for (const int usual : kUsual)
    if (std::abs(hz - usual) <= usual * 0.02) return usual;
  return static_cast<int>(std::lround(hz));
}

std::optional<int> FrameRateMeter::AddFrame(double milliseconds) {
  times_.push_back(milliseconds);
  if (static_cast<int>(times_.size()) < kFrames) return std::nullopt;
  std::vector<double> intervals;
  for (std::size_t i = 1; i < times_.size(); ++i) intervals.push_back(times_[i] - times_[i - 1]);
  times_.clear();
  times_.push_back(milliseconds);  // the next run's intervals start from this frame
  std::nth_element(intervals.begin(), intervals.begin() + intervals.size() / 2, intervals.end());
  return RefreshRateFromInterval(intervals[intervals.size() / 2]);
}

}  // namespace kestrune
