#include "app/Screenshots.h"

#include <cstdio>
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

ScreenshotTaker::~ScreenshotTaker() { Wait(); }

void ScreenshotTaker::Wait() {
  std::vector<std::thread> writers;
  {
    std::lock_guard lock(mutex_);
    writers.swap(writers_);
  }
  for (std::thread& writer : writers) writer.join();
}

fs::path ScreenshotTaker::Take(const std::uint16_t* pixels, int width, int height, int pitchPixels,
                               std::time_t now) {
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
  // Reserve the name now, so a second picture in the same second does not pick it too.
  std::FILE* reserve = std::fopen(file.c_str(), "wb");
  if (reserve != nullptr) std::fclose(reserve);
  std::lock_guard lock(mutex_);
  writers_.emplace_back([file, copy = std::move(copy), width, height] {
    if (!WritePngRGB565(file.string(), copy.data(), width, height, width)) {
      std::error_code ignored;
      fs::remove(file, ignored);
      std::cerr << "Kestrune: cannot write the screenshot " << file.string() << std::endl;
    }
  });
  return file;
}

}  // namespace kestrune
