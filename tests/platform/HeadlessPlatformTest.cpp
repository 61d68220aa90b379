#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/headless/HeadlessPlatform.h"

namespace kestrune {
namespace {

TEST(HeadlessPlatform, KeepsTheNewestFramesInReusedBuffers) {
  HeadlessPlatform platform;
  platform.SetFramesKept(2);
  constexpr int kW = 8, kH = 4, kPitch = 10;
  std::vector<std::uint16_t> surface(kPitch * kH);
  std::set<const std::uint16_t*> buffers;
  for (std::uint16_t n = 1; n <= 12; ++n) {
    std::fill(surface.begin(), surface.end(), n);
    // The last frame is smaller: a buffer of another size is reused just the same.
    platform.Present(surface.data(), n == 12 ? 3 : kW, n == 12 ? 2 : kH, kPitch);
    buffers.insert(platform.LastFrame()->Pixels.data());
  }
  // Two buffers in all, however many frames were presented.
  EXPECT_EQ(buffers.size(), 2u);
  ASSERT_EQ(platform.Frames().size(), 2u);
  EXPECT_EQ(platform.Frames()[0].Pixels, std::vector<std::uint16_t>(kW * kH, 11));
  EXPECT_EQ(platform.Frames()[1].Pixels, std::vector<std::uint16_t>(3 * 2, 12));
  EXPECT_EQ(platform.Frames()[1].Width, 3);
  EXPECT_EQ(platform.PresentCount(), 12u);
}

// The platform's own save folder lies in the shared temporary folder, where anyone can plant a
// link under a name they expect it to take (once the process id and a counter). It must be a
// fresh folder of a random name only this user can enter, never a path found in place, and it
// goes with the platform.
TEST(HeadlessPlatform, ItsOwnSaveFolderIsFreshPrivateAndGoesWithIt) {
  namespace fs = std::filesystem;
  const fs::path tmp = fs::temp_directory_path() / ("kestrune-shared-tmp-" + std::to_string(::getpid()));
  fs::remove_all(tmp);
  fs::create_directories(tmp / "players-files");
  for (int n = 0; n < 100; ++n)
    fs::create_directory_symlink(tmp / "players-files",
                                 tmp / ("kestrune-headless-" + std::to_string(::getpid()) + "-" + std::to_string(n)));
  const char* oldTmp = std::getenv("TMPDIR");
  const std::optional<std::string> restore = oldTmp ? std::optional<std::string>(oldTmp) : std::nullopt;
  ::setenv("TMPDIR", tmp.c_str(), 1);
  std::vector<fs::path> folders;
  {
    HeadlessPlatform first, second;
    for (const HeadlessPlatform* platform : {&first, &second}) {
      const fs::path folder = platform->SaveFolder();
      folders.push_back(folder);
      struct stat info {};
      ASSERT_EQ(::lstat(folder.c_str(), &info), 0) << folder;
      EXPECT_TRUE(S_ISDIR(info.st_mode)) << folder << " is not a folder of its own";
      EXPECT_EQ(info.st_mode & 07777, 0700u) << folder;
      EXPECT_EQ(info.st_uid, ::getuid());
      EXPECT_EQ(folder.parent_path(), tmp);
    }
    EXPECT_NE(folders[0], folders[1]);
  }
  if (restore)
    ::setenv("TMPDIR", restore->c_str(), 1);
  else
    ::unsetenv("TMPDIR");
  for (const fs::path& folder : folders) EXPECT_FALSE(fs::exists(fs::symlink_status(folder))) << folder;
  EXPECT_TRUE(fs::is_empty(tmp / "players-files"));
  fs::remove_all(tmp);
}

}  // namespace
}  // namespace kestrune
