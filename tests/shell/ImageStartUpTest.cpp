// Start-up loading of the two image archives and the sprite engine's place in the frame loop.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "framework/ArchiveFixtures.h"
#include "framework/ArchiveIO.h"
#include "game/GameState.h"
#include "game/MyImageSprite.h"
#include "platform/headless/HeadlessPlatform.h"
#include "shell/Game.h"
#include "shell/MainForm.h"

namespace kestrune {
namespace {

namespace fs = std::filesystem;

struct InDirectory {
  explicit InDirectory(const fs::path& dir) : previous(fs::current_path()) { fs::current_path(dir); }
  ~InDirectory() { fs::current_path(previous); }
  fs::path previous;
};

// The start-up message in a directory holding only the given archive files (name -> bytes).
std::string StartUpMessage(const std::vector<std::pair<std::string, std::vector<std::uint8_t>>>& files) {
  const fs::path dir = fs::temp_directory_path() / ("kestrune_images_" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir / "Data/Res");
  for (const auto& [name, bytes] : files)
    std::ofstream(dir / "Data/Res" / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  std::string message;
  {
    InDirectory there(dir);
    HeadlessPlatform platform;
    TGameSession game(platform, 1);
    if (game.Start()) {
      message = "started";
    } else if (!platform.MessageBoxes().empty()) {
      message = platform.MessageBoxes()[0].Text;
    }
  }
  fs::remove_all(dir);
  return message;
}

TEST(ImageStartUp, AMissingOrBadImageArchiveEndsTheStartUpWithItsMessage) {
  const std::vector<std::uint8_t> empty = WritePictureArchiveToMemory(PictureArchive{});
  EXPECT_EQ(StartUpMessage({}).rfind("Cannot open file \"Data/Res/Res1.dxg\".", 0), 0u) << StartUpMessage({});
  const std::string second = StartUpMessage({{"Res1.dxg", empty}});
  EXPECT_EQ(second.rfind("Cannot open file \"Data/Res/Res2.dxg\".", 0), 0u) << second;
  // A damaged archive is named before the reader's message.
  EXPECT_EQ(StartUpMessage({{"Res1.dxg", empty}, {"Res2.dxg", {1, 2, 3}}}), "Data/Res/Res2.dxg: Invalid stream format");
}

TEST(ImageStartUp, ArchiveBytesInMessagesAreShownEscaped) {
  // The archive's own name, which errors in its items repeat, holds a terminal escape sequence.
  using namespace fixtures;
  const std::vector<std::uint8_t> bytes =
      OneItemArchive(Bytes().prop("Picture.Data").binary(TdibPayload(Bytes().u32(64).v)), "Evil\x1b]2;pwned\x07");
  const std::string message = StartUpMessage({{"Res1.dxg", bytes}});
  EXPECT_EQ(message.find('\x1b'), std::string::npos) << message;
  EXPECT_EQ(message.find('\x07'), std::string::npos) << message;
  EXPECT_NE(message.find("Evil\\x1B]2;pwned\\x07.List"), std::string::npos) << message;
  EXPECT_EQ(message.rfind("Data/Res/Res1.dxg: ", 0), 0u) << message;
}

// A started game in the build directory with the built data, no screen opened, so the frames
// hold only what a test puts there.
struct Session {
  HeadlessPlatform platform;
  TGameSession game{platform, 7};
  Session() {
    game.BeforeFormCreate = [](TMForm& form) { form.Handlers.OpenIntroScreen = nullptr; };
    EXPECT_TRUE(game.Start());
  }
  TMForm& Form() { return *game.Form(); }
};

// The first item of library 1 with a pattern holding at least one pixel that is not the key.
TPictureCollectionItem* SomeVisiblePicture(TPictureCollection& library) {
  for (int i = 0; i < library.Count(); ++i) {
    TPictureCollectionItem& item = library.Items(i);
    if (item.PatternCount() == 0 || !item.Initialized()) continue;
    const TPattern& p = item.PatternAt(0);
    if (!p.Runs.empty() && item.GetWidth() <= 200 && item.GetHeight() <= 200) return &item;
  }
  return nullptr;
}

TEST(ImageStartUp, TheFrameLoopDrawsSpritesFromTheArchiveAndFreesTheDead) {
  Session s;
  TMForm& form = s.Form();
  ASSERT_GT(form.MDXImageList1.Items.Count(), 0);
  EXPECT_EQ(form.MDXSpriteEngine.Root().Surface(), form.MDXDraw.Surface());
  TPictureCollectionItem* item = SomeVisiblePicture(form.MDXImageList1.Items);
  ASSERT_NE(item, nullptr);

  auto* sprite = TMyImageSprite::CreateAt(1, item->Name(), 100, 120, 0);
  s.game.Step();
  const HeadlessPlatform::Frame* frame = s.platform.LastFrame();
  ASSERT_NE(frame, nullptr);
  TDirectDrawSurface expected(800, 600);
  item->Draw(expected, 100, 120, 0);
  EXPECT_TRUE(std::equal(frame->Pixels.begin(), frame->Pixels.end(), expected.Pixels()));

  sprite->Kill();
  s.game.Step();  // drawn once more, then freed at the end of the frame
  EXPECT_EQ(form.MDXSpriteEngine.Root().Count(), 0);
  s.game.Step();
  EXPECT_TRUE(std::all_of(s.platform.LastFrame()->Pixels.begin(), s.platform.LastFrame()->Pixels.end(),
                          [](std::uint16_t p) { return p == 0; }));
}

TEST(ImageStartUp, ADisplayModeSwitchRebuildsThePicturesAndReattachesTheSurface) {
  Session s;
  TMForm& form = s.Form();
  TPictureCollectionItem* item = SomeVisiblePicture(form.MDXImageList1.Items);
  ASSERT_NE(item, nullptr);
  const int patterns = item->PatternCount();
  GameState.FullScreen = 1;
  form.ApplyDisplayMode();
  EXPECT_TRUE(item->Initialized());
  EXPECT_EQ(item->PatternCount(), patterns);
  EXPECT_EQ(form.MDXSpriteEngine.Root().Surface(), form.MDXDraw.Surface());
  EXPECT_NE(form.MDXSpriteEngine.Root().Surface(), nullptr);
  form.MDXDraw.Finalize();
  EXPECT_FALSE(item->Initialized());
  EXPECT_EQ(form.MDXSpriteEngine.Root().Surface(), nullptr);
}

}  // namespace
}  // namespace kestrune
