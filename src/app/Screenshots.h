#pragma once
// F12 screenshots: the 800 x 600 picture as a PNG in a Screenshots folder beside the saves,
// named by the local date and time. The file is written on a thread of its own, so taking a
// picture never holds up a frame.

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kestrune {

// "Kestrune 2026-12-10 14-05-09.png"; a second picture in the same second gets " (2)", ...
std::string ScreenshotFileName(const std::tm& localTime, int sequence = 1);

// The Screenshots folder beside a save folder ("Data/Save" -> "Data/Screenshots").
std::filesystem::path ScreenshotFolderFor(const std::filesystem::path& saveFolder);

class ScreenshotTaker {
 public:
  explicit ScreenshotTaker(std::filesystem::path folder) : folder_(std::move(folder)) {}
  // Waits for the pictures still being written.
  ~ScreenshotTaker();
  ScreenshotTaker(const ScreenshotTaker&) = delete;
  ScreenshotTaker& operator=(const ScreenshotTaker&) = delete;

  // Copies the picture and starts writing it; returns the file it goes to. A picture that
  // cannot be written is reported in one line on standard error.
  std::filesystem::path Take(const std::uint16_t* pixels, int width, int height, int pitchPixels,
                             std::time_t now);
  // Waits until every picture taken so far is written.
  void Wait();

 private:
  std::filesystem::path folder_;
  std::mutex mutex_;
  std::vector<std::thread> writers_;
};

}  // namespace kestrune
