#include <gtest/gtest.h>

#include "framework/DXInput.h"
#include "platform/headless/HeadlessPlatform.h"

namespace kestrune {
namespace {

constexpr int kUp = 0x26, kSpace = 0x20, kEnter = 0x0D, kEsc = 0x1B;

struct InputRig {
  HeadlessPlatform platform;
  TDXInput input{&platform};
  InputRig() { input.Keyboard.Assigns = MainFormKeyAssigns(); }
};

TEST(DXInput, MainFormTableMapsKeysToStates) {
  const struct {
    int key;
    int state;
  } cases[] = {{0x26, 0},  {0x28, 1},    {0x25, 2},    {0x27, 3}, {'H', 8},  {'P', 9},  {'Y', 10}, {'N', 11},
               {kEsc, 12}, {kSpace, 13}, {kEnter, 14}, {'Z', 15}, {'B', 19}, {'1', 20}, {'9', 28}, {'0', 29}};
  for (const auto& c : cases) {
    InputRig rig;
    rig.platform.SetKey(c.key, true);
    rig.input.Update();
    TDXInputStates expected;
    expected.set(c.state);
    EXPECT_EQ(rig.input.States, expected) << "key 0x" << std::hex << c.key;
  }
}

TEST(DXInput, StatesFollowHeldKeys) {
  InputRig rig;
  rig.platform.SetKey(kUp, true);
  rig.input.Update();
  rig.platform.SetKey(kSpace, true);
  rig.input.Update();
  EXPECT_TRUE(rig.input.States[isUp]);
  EXPECT_TRUE(rig.input.States[13]);
  rig.platform.SetKey(kUp, false);
  rig.input.Update();
  EXPECT_FALSE(rig.input.States[isUp]);
  EXPECT_TRUE(rig.input.States[13]);
}

TEST(DXInput, StateRemovedByTheGameReturnsOnlyAfterANewPress) {
  InputRig rig;
  rig.platform.SetKey(kSpace, true);
  rig.input.Update();
  rig.input.States.reset(13);
  rig.input.Update();  // still held
  EXPECT_FALSE(rig.input.States[13]);
  rig.platform.SetKey(kSpace, false);
  rig.input.Update();
  rig.platform.SetKey(kSpace, true);
  rig.input.Update();
  EXPECT_TRUE(rig.input.States[13]);
}

TEST(DXInput, BackgroundWindowReadsAllKeysUp) {
  InputRig rig;
  rig.platform.SetKey(kUp, true);
  rig.input.Update();
  rig.platform.SetForeground(false);
  rig.input.Update();
  EXPECT_TRUE(rig.input.States.none());
  rig.input.ActiveOnly = false;
  rig.input.Update();
  EXPECT_TRUE(rig.input.States[isUp]);
}

}  // namespace
}  // namespace kestrune
