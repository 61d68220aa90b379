#include <gtest/gtest.h>

#include <set>
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

}  // namespace
}  // namespace kestrune
