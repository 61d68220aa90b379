#pragma once
// F12 screenshots: the 800 x 600 picture as a PNG in a Screenshots folder beside the saves,
// named by the local date and time. The files are written by one worker thread, in the order
// taken, so taking a picture never holds up a frame and a thousand presses cost one thread.

#include <condition_variable>
#include <cstdint>
#include <ctime>
#include <deque>
#include <filesystem>
#include <functional>
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
  // Writes the pictures still waiting, then ends the worker.
  ~ScreenshotTaker();
  ScreenshotTaker(const ScreenshotTaker&) = delete;
  ScreenshotTaker& operator=(const ScreenshotTaker&) = delete;

  // At most this many pictures wait to be written (about 1 MB each): one taken while as many
  // wait (F12 held down on a slow disk) is skipped.
  static constexpr std::size_t kMaxWaiting = 16;

  // Copies the picture and queues it; returns the file it goes to, or an empty path when it was
  // skipped. A picture that cannot be written is reported in one line on standard error.
  std::filesystem::path Take(const std::uint16_t* pixels, int width, int height, int pitchPixels,
                             std::time_t now);
  // Waits until every picture taken so far is written.
  void Wait();

  // Tests: called by the worker before it writes each picture.
  std::function<void()> BeforeWrite;

 private:
  struct Job {
    std::filesystem::path File;
    std::vector<std::uint16_t> Pixels;
    int Width = 0, Height = 0;
  };
  void Work();

  std::filesystem::path folder_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Job> jobs_;
  bool writing_ = false;   // the worker holds a job taken off the queue
  bool stopping_ = false;
  std::thread worker_;     // started by the first picture
};

}  // namespace kestrune
