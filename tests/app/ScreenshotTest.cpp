// Screenshot files: their names, their folder, and that taking one never overwrites another.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "app/Screenshots.h"

namespace kestrune {
namespace {

namespace fs = std::filesystem;

TEST(Screenshots, NamesAndFolder) {
  std::tm t{};
  t.tm_year = 126;
  t.tm_mon = 11;
  t.tm_mday = 10;
  t.tm_hour = 9;
  t.tm_min = 5;
  t.tm_sec = 7;
  EXPECT_EQ(ScreenshotFileName(t), "Kestrune 2026-12-10 09-05-07.png");
  EXPECT_EQ(ScreenshotFileName(t, 3), "Kestrune 2026-12-10 09-05-07 (3).png");
  EXPECT_EQ(ScreenshotFolderFor("Data/Save"), fs::path("Data/Screenshots"));
  EXPECT_EQ(ScreenshotFolderFor("/home/a/.local/share/kestrune/Save/"),
            fs::path("/home/a/.local/share/kestrune/Screenshots"));
}

TEST(Screenshots, PicturesInTheSameSecondEachGetTheirOwnFile) {
  const fs::path folder = fs::temp_directory_path() / ("kestrune-shots-" + std::to_string(::getpid()));
  fs::remove_all(folder);
  // A picture with a wider row pitch than its width: only the picture is written.
  std::vector<std::uint16_t> pixels(20 * 10, 0x07E0);
  std::vector<fs::path> files;
  {
    ScreenshotTaker taker(folder);
    for (int i = 0; i < 3; ++i) files.push_back(taker.Take(pixels.data(), 16, 10, 20, 1000000000));
  }
  ASSERT_EQ(files.size(), 3u);
  EXPECT_NE(files[0], files[1]);
  EXPECT_NE(files[1], files[2]);
  EXPECT_EQ(files[1].filename().string().find(" (2).png") != std::string::npos, true) << files[1];
  for (const fs::path& file : files) {
    std::ifstream in(file, std::ios::binary);
    unsigned char header[24] = {};
    ASSERT_TRUE(in.read(reinterpret_cast<char*>(header), sizeof header)) << file;
    EXPECT_EQ(header[1], 'P');
    EXPECT_EQ(header[19], 16);  // width
    EXPECT_EQ(header[23], 10);  // height
  }
  fs::remove_all(folder);
}

// The process's virtual size in kB (each thread kept holds its stack there until it is joined).
long VirtualSizeKb() {
  std::ifstream status("/proc/self/status");
  std::string key;
  long value = 0;
  while (status >> key) {
    if (key == "VmSize:") return status >> value ? value : 0;
    status.ignore(1 << 10, '\n');
  }
  return 0;
}

// A picture that cannot be written (the folder cannot be made: a file stands in its way) is not
// taken: the reason is said at once, and no file name is handed back to be announced as saved.
TEST(Screenshots, APictureThatCannotBeWrittenSaysWhyAndIsNotTaken) {
  const fs::path base = fs::temp_directory_path() / ("kestrune-shots-blocked-" + std::to_string(::getpid()));
  fs::remove_all(base);
  fs::create_directories(base);
  std::ofstream(base / "Screenshots") << "a file, not a folder";
  std::vector<std::uint16_t> pixels(4 * 4, 0x07E0);
  testing::internal::CaptureStderr();
  {
    ScreenshotTaker taker(base / "Screenshots");
    EXPECT_TRUE(taker.Take(pixels.data(), 4, 4, 4, 1000000000).empty());
    taker.Wait();
  }
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("cannot write the screenshot " + (base / "Screenshots").string()), std::string::npos) << said;
  EXPECT_NE(said.find(": Not a directory"), std::string::npos) << said;
  fs::remove_all(base);
}

// F12 pressed a thousand times, each picture written before the next press as a player takes
// them: the memory stays flat (a thread kept for each picture cost 8 MB of address space each).
TEST(Screenshots, AThousandPicturesKeepTheMemoryFlat) {
  const fs::path folder = fs::temp_directory_path() / ("kestrune-shots-many-" + std::to_string(::getpid()));
  fs::remove_all(folder);
  std::vector<std::uint16_t> pixels(16 * 10, 0x001F);
  {
    ScreenshotTaker taker(folder);
    long before = 0;
    for (int i = 0; i < 1000; ++i) {
      if (i == 20) before = VirtualSizeKb();
      // A second apart, so each has a name of its own without counting up.
      const fs::path file = taker.Take(pixels.data(), 16, 10, 16, 1000000000 + i);
      ASSERT_FALSE(file.empty()) << i;
      const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
      std::error_code error;
      while (fs::file_size(file, error) == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    // Measured before any waiting: a wait for the pictures would also end finished threads.
    EXPECT_LT(VirtualSizeKb() - before, 64 * 1024) << "kB grown over 980 pictures";
    taker.Wait();
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1000);
  fs::remove_all(folder);
}

// Pictures taken faster than the disk takes them wait in a queue of bounded length; one taken
// while the queue is full is skipped and leaves no file, and every queued one is written.
TEST(Screenshots, PicturesWaitingForASlowDiskAreBounded) {
  const fs::path folder = fs::temp_directory_path() / ("kestrune-shots-slow-" + std::to_string(::getpid()));
  fs::remove_all(folder);
  std::vector<std::uint16_t> pixels(4 * 4, 0xF800);
  std::promise<void> writing, disk;
  std::shared_future<void> diskReady = disk.get_future().share();
  int taken = 0;
  {
    ScreenshotTaker taker(folder);
    bool first = true;
    taker.BeforeWrite = [&] {
      if (first) {
        first = false;
        writing.set_value();
      }
      diskReady.wait();
    };
    ASSERT_FALSE(taker.Take(pixels.data(), 4, 4, 4, 1000000000).empty());
    writing.get_future().wait();  // the worker holds the first picture
    taken = 1;
    for (int i = 1; i < 20; ++i)
      if (!taker.Take(pixels.data(), 4, 4, 4, 1000000000 + i).empty()) ++taken;
    EXPECT_EQ(taken, 1 + static_cast<int>(ScreenshotTaker::kMaxWaiting));
    disk.set_value();
    taker.Wait();
  }
  int written = 0;
  for (const auto& entry : fs::directory_iterator(folder)) {
    EXPECT_GT(fs::file_size(entry.path()), 0u) << entry.path();
    ++written;
  }
  EXPECT_EQ(written, taken);
  fs::remove_all(folder);
}

}  // namespace
}  // namespace kestrune
