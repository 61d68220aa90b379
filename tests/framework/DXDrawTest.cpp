#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/DXDraw.h"
#include "framework/Errors.h"
#include "platform/headless/HeadlessPlatform.h"

namespace kestrune {
namespace {

using Log = std::vector<std::string>;

// Registers a listener that logs "name:code" for each notification.
void Listen(TDXDraw& draw, const void* owner, const std::string& name, Log& log) {
  draw.RegisterNotifyEvent(owner, [&log, name](TDXDraw&, TDXDrawNotifyType t) {
    log.push_back(name + ":" + std::to_string(static_cast<int>(t)));
  });
}

TEST(DXDraw, NotificationOrderThroughItsLife) {
  HeadlessPlatform platform;
  Log log;
  int a = 0, b = 0, late = 0;
  {
    TDXDraw draw(&platform);
    Listen(draw, &a, "a", log);
    Listen(draw, &b, "b", log);
    EXPECT_EQ(log, (Log{"a:7", "b:7"}));

    log.clear();
    draw.Initialize();
    EXPECT_EQ(log, (Log{"a:1", "b:1", "a:7", "b:7", "a:2", "b:2", "a:3", "b:3", "a:6", "b:6"}));

    log.clear();
    Listen(draw, &late, "late", log);  // joining an initialised display catches up
    EXPECT_EQ(log, (Log{"late:7", "late:2", "late:3", "late:6"}));

    log.clear();
    draw.UnRegisterNotifyEvent(&late);
    EXPECT_EQ(log, (Log{"late:5", "late:4"}));

    log.clear();
    draw.Initialize();  // re-initialising finalises first
    EXPECT_EQ(log.front(), "a:5");
    EXPECT_EQ(log[3], "b:4");
    EXPECT_EQ(log[4], "a:1");

    log.clear();
  }
  // Destruction: finalise, then "destroying" from the last registered to the first.
  EXPECT_EQ(log, (Log{"a:5", "b:5", "a:4", "b:4", "b:0", "a:0"}));
}

TEST(DXDraw, LostSurfacesAreRestoredAndCleared) {
  HeadlessPlatform platform;
  // The log outlives the display: destroying the display still notifies its listeners.
  Log log;
  int owner = 0;
  TDXDraw draw(&platform);
  draw.Initialize();
  Listen(draw, &owner, "x", log);
  log.clear();
  draw.Surface()->Fill(0xFFFF);
  platform.LoseSurfaces();
  EXPECT_TRUE(draw.CanDraw());
  EXPECT_EQ(log, (Log{"x:6"}));
  EXPECT_EQ(draw.Surface()->Pixels()[0], 0);
}

TEST(DXDraw, BitCountAcceptsOnlyDisplayDepths) {
  TDXDraw draw(nullptr);
  for (int ok : {8, 16, 24, 32}) {
    draw.SetBitCount(ok);
    EXPECT_EQ(draw.BitCount(), ok);
  }
  draw.SetBitCount(16);
  for (int bad : {15, 0, 64}) {
    try {
      draw.SetBitCount(bad);
      ADD_FAILURE() << bad << " accepted";
    } catch (const EDirectDrawError& e) {
      EXPECT_STREQ(e.what(), "Display requires 8, 16, 24 or 32 bits");
    }
    EXPECT_EQ(draw.BitCount(), 16);
  }
}

TEST(DXDraw, EffectiveOptionsForWindowAndFullScreen) {
  const std::uint32_t form = doAllowReboot | doWaitVBlank | doStretch | doCenter | doFlip | doDirectX7Mode |
                             doRetainedMode | doHardware | doSelectDriver | doZBuffer;
  EXPECT_EQ(DeriveNowOptions(form), static_cast<std::uint32_t>(doWaitVBlank | doStretch | doCenter));
  EXPECT_EQ(DeriveNowOptions(form | doFullScreen),
            static_cast<std::uint32_t>(doFullScreen | doAllowReboot | doWaitVBlank | doStretch | doCenter |
                                       doFlip));
  EXPECT_EQ(DeriveNowOptions(doFullScreen | doFlip | doSystemMemory) & doFlip, 0u);
  EXPECT_EQ(DeriveNowOptions(do3D | doDirectX7Mode | doRetainedMode | doHardware),
            static_cast<std::uint32_t>(do3D | doDirectX7Mode));
}

TEST(DXDraw, DrawsAndPresentsOnlyWhileInitialised) {
  HeadlessPlatform platform;
  TDXDraw draw(&platform);
  EXPECT_FALSE(draw.CanDraw());
  draw.Flip();
  EXPECT_EQ(platform.PresentCount(), 0u);
  draw.Options |= doFullScreen;
  draw.Initialize();
  EXPECT_TRUE(platform.IsFullScreen());
  EXPECT_TRUE(draw.CanDraw());
  draw.Flip();
  EXPECT_EQ(platform.PresentCount(), 1u);
  draw.Finalize();
  EXPECT_FALSE(draw.CanDraw());
  draw.Flip();
  EXPECT_EQ(platform.PresentCount(), 1u);
}

}  // namespace
}  // namespace kestrune
