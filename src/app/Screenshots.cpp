#include "app/Screenshots.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "platform/PngWriter.h"

namespace kestrune {
namespace fs = std::filesystem;

std::string ScreenshotFileName(const std::tm& t, int sequence) {
  char name[64];
  std::snprintf(name, sizeof name, "Kestrune %04d-%02d-%02d %02d-%02d-%02d", t.tm_year + 1900, t.tm_mon + 1,
                t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
  std::string file = name;
  if (sequence > 1) file += " (" + std::to_string(sequence) + ")";
  return file + ".png";
}

fs::path ScreenshotFolderFor(const fs::path& saveFolder) {
  fs::path folder = saveFolder;
  if (!folder.has_filename()) folder = folder.parent_path();
  return folder.parent_path() / "Screenshots";
}

ScreenshotTaker::~ScreenshotTaker() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  if (worker_.joinable()) worker_.join();
}

void ScreenshotTaker::Wait() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return jobs_.empty() && !writing_; });
}

// The worker writes the queued pictures one by one, in the order taken; when the taker goes, the
// pictures still queued are written before it ends.
void ScreenshotTaker::Work() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
    if (jobs_.empty()) return;
    Job job = std::move(jobs_.front());
    jobs_.pop_front();
    writing_ = true;
    lock.unlock();
    if (BeforeWrite) BeforeWrite();
    errno = 0;
    if (!WritePngRGB565(job.File.string(), job.Pixels.data(), job.Width, job.Height, job.Width)) {
      const int reason = errno;
      std::error_code ignored;
      fs::remove(job.File, ignored);
      std::cerr << "Kestrune: cannot write the screenshot " << job.File.string()
                << (reason != 0 ? std::string(": ") + std::strerror(reason) : std::string()) << std::endl;
    }
    lock.lock();
    writing_ = false;
    changed_.notify_all();
  }
}

fs::path ScreenshotTaker::Take(const std::uint16_t* pixels, int width, int height, int pitchPixels,
                               std::time_t now) {
  {
    std::lock_guard lock(mutex_);
    if (jobs_.size() >= kMaxWaiting) {
      std::cerr << "Kestrune: screenshot skipped: " << jobs_.size() << " pictures are still being written"
                << std::endl;
      return {};
    }
  }
  std::vector<std::uint16_t> copy(static_cast<std::size_t>(width) * height);
  for (int y = 0; y < height; ++y)
    std::copy(pixels + static_cast<std::ptrdiff_t>(y) * pitchPixels,
              pixels + static_cast<std::ptrdiff_t>(y) * pitchPixels + width,
              copy.begin() + static_cast<std::ptrdiff_t>(y) * width);
  std::tm local{};
  localtime_r(&now, &local);
  std::error_code error;
  fs::create_directories(folder_, error);
  fs::path file;
  // Never overwrite an earlier picture.
  for (int sequence = 1;; ++sequence) {
    file = folder_ / ScreenshotFileName(local, sequence);
    if (!fs::exists(file, error)) break;
  }
  // Reserve the name now, so a second picture in the same second does not pick it too. Where the
  // file cannot be made, the picture is not queued and the reason is said at once.
  std::FILE* reserve = std::fopen(file.c_str(), "wb");
  if (reserve == nullptr) {
    const int reason = errno;
    std::cerr << "Kestrune: cannot write the screenshot " << file.string() << ": " << std::strerror(reason)
              << std::endl;
    return {};
  }
  std::fclose(reserve);
  {
    std::lock_guard lock(mutex_);
    jobs_.push_back(Job{file, std::move(copy), width, height});
    if (!worker_.joinable()) worker_ = std::thread([this] { Work(); });
  }
  changed_.notify_all();
  return file;
}

}  // namespace kestrune
