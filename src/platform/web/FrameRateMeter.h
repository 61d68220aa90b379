#pragma once
// The display's refresh rate as the browser's frame callback shows it: a page has no way to ask
// the display, so the intervals between frames are measured. A tab in the background or a slow
// frame gives long intervals; the median of a run of frames ignores them.

#include <optional>
#include <vector>

namespace kestrune {

class FrameRateMeter {
 public:
  // Frames per measurement.
  static constexpr int kFrames = 31;

  // The time of a frame in milliseconds. Returns the rate in Hz each time a measurement ends;
  // measuring then starts again, so a change (the window moved to another display) is seen.
  std::optional<int> AddFrame(double milliseconds);

 private:
  std::vector<double> times_;
};

// The usual refresh rate nearest to a measured one (59.94 Hz is 60; 143.9 Hz is 144); rates
// between them round to the whole Hz. Below 20 Hz (a throttled tab): none.
std::optional<int> RefreshRateFromInterval(double milliseconds);

}  // namespace kestrune
