#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "fixtures/Files.h"
#include "game/GameState.h"
#include "platform/GamepadMap.h"
#include "platform/headless/HeadlessPlatform.h"
#include "shell/Game.h"
#include "shell/MainForm.h"
#include "shell/PromotionWindow.h"
#include "shell/WindowShape.h"

namespace kestrune {
namespace {

namespace fs = std::filesystem;

TEST(WindowShape, CutsKeyColouredRunsOutOfTheFrameAndKeepsTheInside) {
  // 20 x 20: strips are rows 0..7 (top), rows 12..19 (bottom), and columns 0..7 / 12..19 of
  // rows 8..11 (left, right); the inside is (8, 8) to (12, 12).
  constexpr std::uint32_t K = 0xFF00FF, A = 0x112233, B = 0x445566;
  TPictureData art;
  art.Width = art.Height = 20;
  art.Pixels.assign(400, A);
  auto set = [&](int x, int y, std::uint32_t c) { art.Pixels[y * 20 + x] = c; };
  for (int x = 0; x < 3; ++x) set(x, 1, K);     // (1, 1) names the key: the run x 0..2 of row 1
  set(5, 1, K), set(6, 1, K), set(7, 1, B);     // a second key run in the same row, then another colour
  set(0, 9, K);                                 // left strip
  set(19, 11, K), set(18, 11, K);               // right strip
  set(10, 10, K);                               // inside: stays
  for (int x = 14; x < 20; ++x) set(x, 19, K);  // bottom strip, up to the edge

  const TWindowShape shape = ComputeWindowShape(art);
  const std::vector<TRect> expected = {
      {0, 1, 3, 2}, {5, 1, 7, 2}, {0, 9, 1, 10}, {18, 11, 20, 12}, {14, 19, 20, 20}};
  EXPECT_EQ(shape.RemovedRuns, expected);
  EXPECT_EQ(shape.Inner, (TRect{8, 8, 12, 12}));
  const std::vector<std::uint8_t> mask = shape.Mask();
  EXPECT_EQ(mask[1 * 20 + 0], 0);
  EXPECT_EQ(mask[1 * 20 + 3], 1);
  EXPECT_EQ(mask[1 * 20 + 7], 1);
  EXPECT_EQ(mask[10 * 20 + 10], 1);
  EXPECT_EQ(mask[19 * 20 + 13], 1);
  EXPECT_EQ(std::count(mask.begin(), mask.end(), 0), 3 + 2 + 1 + 2 + 6);
}

PlatformEvent Mouse(PlatformEvent::Kind kind, int x, int y) {
  PlatformEvent e;
  e.Type = kind;
  e.Window = 1;
  e.X = x;
  e.Y = y;
  return e;
}

struct Session {
  HeadlessPlatform platform;
  TGameSession game{platform, 5};
  Session() {
    game.BeforeFormCreate = [](TMForm& form) { form.Handlers.OpenIntroScreen = nullptr; };
    EXPECT_TRUE(game.Start());
  }
  fs::path Save() const { return platform.SaveFolder(); }
  void Leave() { game.Form()->Handlers.ShowPromotionWindow(); }
  void Send(const PlatformEvent& e) {
    platform.PushEvent(e);
    game.Step();
  }
};

// The window's pictures are read as the archives are: a FIFO, a device or a huge file in their
// place is refused at once (the window is then drawn plain), never waited on or read whole.
TEST(PromotionWindow, PicturesAreReadOnlyFromSmallRegularFiles) {
  const fs::path dir = fs::temp_directory_path() / ("kestrune_goodbye_" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  ASSERT_EQ(::mkfifo((dir / "fifo.bmp").c_str(), 0600), 0);
  fs::create_symlink("/dev/zero", dir / "zero.bmp");
  {
    std::ofstream big(dir / "big.bmp", std::ios::binary);
    big << "BM";
    big.seekp(static_cast<std::streamoff>(kMaxPictureFileBytes) + 10);
    big << 'x';
  }
  const std::pair<const char*, const char*> cases[] = {
      {"fifo.bmp", "Not a regular file"}, {"zero.bmp", "Not a regular file"}, {"big.bmp", "too large"}};
  for (const auto& [name, reason] : cases) {
    std::string problem;
    EXPECT_TRUE(LoadPictureFile((dir / name).string(), &problem).Empty()) << name;
    EXPECT_NE(problem.find(reason), std::string::npos) << name << ": " << problem;
  }
  fs::remove_all(dir);
}

TEST(PromotionWindow, ShowsShapedInPlaceOfTheMainWindowAndEndsTheGameWhenClosed) {
  Session s;
  // Made when first shown, not at start-up.
  EXPECT_EQ(s.game.Form8a(), nullptr);
  GameState.Score = 7350;
  s.game.Step();
  GameState.Score = 0;  // a new game started since: the best of the sitting stays
  s.Leave();
  EXPECT_FALSE(s.platform.WindowVisible());
  ASSERT_TRUE(s.platform.SecondWindowOpen());
  EXPECT_FALSE(s.game.Form()->Terminated());
  EXPECT_EQ(s.game.Form8a()->ScoreLine(), "Your best this time: 7350\nTop of the table: 5000 (ANONYMOUS)");

  // Shaped by the generated artwork: the rounded corners are holes, the inside is kept.
  const SecondWindowLayout& layout = s.platform.SecondWindow();
  ASSERT_EQ(layout.Shape.size(), 320u * 300u);
  EXPECT_EQ(layout.Shape[0], 0);
  EXPECT_EQ(layout.Shape[299 * 320 + 319], 0);
  EXPECT_EQ(layout.Shape[150 * 320 + 160], 1);
  EXPECT_EQ(layout.Shape[0 * 320 + 160], 1);  // the top edge between the corners
  const HeadlessPlatform::Frame* frame = s.platform.SecondWindowFrame();
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->Pixels[150 * 320 + 200], RGB565(218, 228, 253) & 0xFFFF) << "paper colour expected";

  // The frame timer stands still behind it.
  const std::uint64_t presented = s.platform.PresentCount();
  s.game.Step();
  EXPECT_EQ(s.platform.PresentCount(), presented);

  // Dragged by its top 40 pixels only.
  EXPECT_TRUE(s.platform.DragSecondWindow(100, 39, 10, 5));
  EXPECT_FALSE(s.platform.DragSecondWindow(100, 40, 10, 5));
  EXPECT_EQ(s.platform.SecondWindowX(), (1024 - 320) / 2 + 10);

  // The close button's hover look comes and goes with the mouse.
  const std::uint64_t normal = frame->Hash();
  s.Send(Mouse(PlatformEvent::Kind::MouseMove, 150, 260));
  EXPECT_TRUE(s.game.Form8a()->HoverLookShown());
  EXPECT_NE(s.platform.SecondWindowFrame()->Hash(), normal);
  s.Send(Mouse(PlatformEvent::Kind::MouseMove, 150, 150));
  EXPECT_FALSE(s.game.Form8a()->HoverLookShown());
  EXPECT_EQ(s.platform.SecondWindowFrame()->Hash(), normal);

  // The links open sections of the player's guide; the window stays.
  s.Send(Mouse(PlatformEvent::Kind::MouseClick, 210, 185));
  s.Send(Mouse(PlatformEvent::Kind::MouseClick, 200, 237));
  ASSERT_EQ(s.platform.OpenedUrls().size(), 2u);
  const std::string guide = "file://" + fs::absolute("Docs/guide.html").string();
  EXPECT_EQ(s.platform.OpenedUrls()[0], guide + "#your-own-data");
  EXPECT_EQ(s.platform.OpenedUrls()[1], guide + "#licence");

  // Tick the box, close: the switch is written, then the options and the table.
  s.Send(Mouse(PlatformEvent::Kind::MouseClick, 80, 214));
  EXPECT_TRUE(s.game.Form8a()->Checked());
  s.Send(Mouse(PlatformEvent::Kind::MouseClick, 150, 260));
  EXPECT_TRUE(s.game.Finished());
  EXPECT_FALSE(s.platform.SecondWindowOpen());
  EXPECT_EQ(ReadAll(s.Save() / "form"), std::string(1, '\x01'));
  EXPECT_TRUE(fs::exists(s.Save() / "options"));
  EXPECT_TRUE(fs::exists(s.Save() / "hs"));
}

TEST(PromotionWindow, SwitchDecidesWhetherItShowsAgain) {
  for (const char stored : {'\x00', '\x01'}) {
    SCOPED_TRACE(static_cast<int>(stored));
    Session s;
    fs::create_directories(s.Save());
    std::ofstream(s.Save() / "form", std::ios::binary) << stored;
    s.Leave();
    if (stored == 1) {
      // Switched off: the game ends at the first paint, and still saves.
      EXPECT_TRUE(s.game.Form()->Terminated());
      EXPECT_EQ(s.platform.SecondWindowPresentCount(), 0u);
      EXPECT_TRUE(fs::exists(s.Save() / "options"));
      EXPECT_TRUE(fs::exists(s.Save() / "hs"));
    } else {
      ASSERT_TRUE(s.platform.SecondWindowOpen());
      // The system's close command (Alt+F4) closes it like the button, box clear: 0 again.
      PlatformEvent close;
      close.Type = PlatformEvent::Kind::Close;
      close.Window = 1;
      s.Send(close);
      EXPECT_TRUE(s.game.Finished());
      EXPECT_EQ(ReadAll(s.Save() / "form"), std::string(1, '\x00'));
    }
  }
}

// Closing the window when nothing can be saved (folders in the files' places): one message box
// lists the switch, the options and the table, and the game ends with a failure status.
TEST(PromotionWindow, FailedSavesOnClosingAreOneMessageBoxAndAFailedExit) {
  Session s;
  for (const char* name : {"form", "options"}) fs::create_directories(s.Save() / name / "inside");
  s.Leave();
  ASSERT_TRUE(s.platform.SecondWindowOpen());
  s.Send(Mouse(PlatformEvent::Kind::MouseClick, 150, 260));
  EXPECT_TRUE(s.game.Finished());
  ASSERT_EQ(s.platform.MessageBoxes().size(), 1u);
  const std::string& box = s.platform.MessageBoxes()[0].Text;
  for (const char* what : {"goodbye window was not saved", "options were not saved", "table was not saved"})
    EXPECT_NE(box.find(what), std::string::npos) << box;
  EXPECT_NE(s.game.ExitCode(), 0);
}

// A gamepad alone closes the window: A, B and Start act as its Close button (the pad sends
// Enter, Esc and P, which belong to no window). The keyboard's P and the pad's Y do not.
TEST(PromotionWindow, PadButtonsCloseIt) {
  const struct {
    PadButton button;
    bool closes;
  } cases[] = {{PadButton::A, true}, {PadButton::B, true}, {PadButton::Start, true}, {PadButton::Y, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.button));
    Session s;
    s.Leave();
    ASSERT_TRUE(s.platform.SecondWindowOpen());
    PlatformEvent keyboardP;
    keyboardP.Type = PlatformEvent::Kind::KeyDown;
    keyboardP.VirtualKey = 'P';
    keyboardP.Window = 1;
    s.Send(keyboardP);
    EXPECT_TRUE(s.platform.SecondWindowOpen());
    s.platform.PadButton(c.button, true);
    s.platform.PadButton(c.button, false);
    s.game.Step();
    EXPECT_EQ(s.game.Finished(), c.closes);
    EXPECT_EQ(s.platform.SecondWindowOpen(), !c.closes);
  }
}

// Every label shows all of its text inside its box, also with the widest name the table can
// hold and the largest scores: the score line is set smaller rather than losing the name.
TEST(PromotionWindow, EveryLabelFitsWithTheWidestNameAndScore) {
  Session s;
  GameState.HighScores[1] = {"WWWWWWWWWWWW", 2147483647};
  GameState.Score = 2147483647;
  s.game.Step();
  s.Leave();
  ASSERT_TRUE(s.platform.SecondWindowOpen());
  const std::vector<TDrawnLabel>& labels = s.game.Form8a()->DrawnLabels();
  ASSERT_EQ(labels.size(), 10u);
  auto words = [](const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string w; in >> w;) out.push_back(w);
    return out;
  };
  bool sawName = false;
  for (const TDrawnLabel& label : labels) {
    SCOPED_TRACE(label.Text);
    std::string shown;
    for (const std::string& line : label.Lines) shown += line + "\n";
    EXPECT_EQ(words(shown), words(label.Text));
    for (const TRect& line : label.LineBoxes) {
      EXPECT_GE(line.Left, label.Box.Left);
      EXPECT_LE(line.Right, label.Box.Right);
      // The last line may reach a third of its height below the box.
      EXPECT_LE(line.Bottom, label.Box.Bottom + line.Height() / 3);
    }
    sawName = sawName || shown.find("(WWWWWWWWWWWW)") != std::string::npos;
  }
  EXPECT_TRUE(sawName);
  EXPECT_NE(s.game.Form8a()->ScoreLine().find("2147483647"), std::string::npos);
}

}  // namespace
}  // namespace kestrune
