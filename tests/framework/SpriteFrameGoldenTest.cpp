// One frame of a small scene (a scrolled background, keyed sprites of several Z, an animated
// sprite, a child sprite) drawn headless and compared with the stored image. Run with
// KESTRUNE_UPDATE_GOLDEN=1 to rewrite the stored image after an intended change; look at it
// (it is a plain PPM) before committing.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "framework/PictureCollection.h"
#include "framework/Sprite.h"

namespace kestrune {
namespace {

std::vector<std::uint8_t> ToPpm(const TDirectDrawSurface& s) {
  const std::string header = "P6\n" + std::to_string(s.Width()) + " " + std::to_string(s.Height()) + "\n255\n";
  std::vector<std::uint8_t> out(header.begin(), header.end());
  for (int y = 0; y < s.Height(); ++y)
    for (int x = 0; x < s.Width(); ++x) {
      const std::uint16_t p = s.Row(y)[x];
      const int r = p >> 11, g = (p >> 5) & 63, b = p & 31;
      out.push_back(static_cast<std::uint8_t>((r << 3) | (r >> 2)));
      out.push_back(static_cast<std::uint8_t>((g << 2) | (g >> 4)));
      out.push_back(static_cast<std::uint8_t>((b << 3) | (b >> 2)));
    }
  return out;
}

TPictureCollectionItem& AddPicture(TPictureCollection& c, const std::string& name, int w, int h, int pw,
                                   std::uint32_t (*pixel)(int, int)) {
  TPictureCollectionItem& item = c.Add();
  item.SetName(name);
  item.Picture.Width = w;
  item.Picture.Height = h;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) item.Picture.Pixels.push_back(pixel(x, y));
  item.PatternWidth = pw;
  item.SetTransparentColor(0xFF00FF);
  return item;
}

TEST(SpriteFrameGolden, SceneMatchesTheStoredImage) {
  TPictureCollection pictures;
  // Two 8 x 8 road tiles: grey with a light edge, and dark green.
  AddPicture(pictures, "Tiles", 16, 8, 8, [](int x, int y) -> std::uint32_t {
    if (x < 8) return (x == 0 || y == 0) ? 0xC0C0C0 : 0x606060;
    return 0x004000;
  });
  // A 6 x 10 car with magenta (key) corners and a red body with a yellow windscreen.
  AddPicture(pictures, "Car", 6, 10, 0, [](int x, int y) -> std::uint32_t {
    if ((x == 0 || x == 5) && (y == 0 || y == 9)) return 0xFF00FF;
    return y == 2 ? 0xFFFF00 : 0xE00000;
  });
  // A 4-frame blinking light, 5 x 5 each: a diamond whose colour changes by frame.
  AddPicture(pictures, "Light", 20, 5, 5, [](int x, int y) -> std::uint32_t {
    const int f = x / 5, lx = x % 5;
    if (std::abs(lx - 2) + std::abs(y - 2) > 2) return 0xFF00FF;
    const std::uint32_t colours[4] = {0x2040FF, 0x40FF40, 0xFFFFFF, 0xFF8000};
    return colours[f];
  });
  pictures.Restore();

  TDirectDrawSurface surface(48, 32);
  TSpriteEngine engine;
  engine.SetSurface(&surface);

  auto* road = new TBackgroundSprite(&engine);
  road->SetMapSize(8, 5);
  for (int row = 0; row < 5; ++row)
    for (int col = 0; col < 8; ++col) road->SetChip(col, row, (col == 0 || col == 7) ? 1 : (row == 3 && col == 4 ? -1 : 0));
  road->SetMapPicture(&pictures.FindPicture("tiles"));
  road->X = -6.5;  // rounds to -6
  road->Y = -3;
  road->SetZ(-10);

  auto* carA = new TImageSprite(&engine);
  carA->SetPicture(&pictures.FindPicture("car"));
  carA->X = 12;
  carA->Y = 9;
  auto* carB = new TImageSprite(&engine);  // same Z, created later: drawn underneath carA
  carB->SetPicture(&pictures.FindPicture("car"));
  carB->X = 15;
  carB->Y = 13;
  auto* top = new TImageSprite(&engine);
  top->SetPicture(&pictures.FindPicture("car"));
  top->X = 44;  // clipped at the right edge
  top->Y = 26;  // and at the bottom
  top->SetZ(3);

  auto* light = new TImageSprite(carA);  // child: drawn after its parent, relative to it
  light->SetPicture(&pictures.FindPicture("light"));
  light->AnimCount = 4;
  light->AnimLooped = true;
  light->AnimSpeed = 0.75;
  light->X = -4;
  light->Y = -3;
  engine.MoveTree(3);  // AnimPos 2.25: frame 2
  EXPECT_EQ(light->DrawIndex(), 2);

  surface.Fill(0);
  engine.Draw();

  const std::string path = std::string(KESTRUNE_TEST_SOURCE_DIR) + "/golden/sprite_frame.ppm";
  const std::vector<std::uint8_t> got = ToPpm(surface);
  const char* update = std::getenv("KESTRUNE_UPDATE_GOLDEN");
  if (update && std::string(update) == "1") {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(got.data()),
                                                static_cast<std::streamsize>(got.size()));
    GTEST_SKIP() << "golden image written to " << path;
  }
  std::ifstream in(path, std::ios::binary);
  ASSERT_TRUE(in) << "missing " << path << " (run with KESTRUNE_UPDATE_GOLDEN=1 to create it)";
  const std::vector<std::uint8_t> want((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_EQ(got.size(), want.size());
  std::size_t firstDiff = 0;
  while (firstDiff < got.size() && got[firstDiff] == want[firstDiff]) ++firstDiff;
  EXPECT_EQ(firstDiff, got.size()) << "images differ from byte " << firstDiff;
}

}  // namespace
}  // namespace kestrune
