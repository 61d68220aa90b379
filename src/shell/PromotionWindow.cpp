#include "shell/PromotionWindow.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

#include "framework/ByteStream.h"
#include "framework/DibCodec.h"
#include "framework/Errors.h"
#include "framework/FileAccess.h"
#include "game/GameState.h"
#include "shell/LocalPages.h"
#include "shell/MainForm.h"
#include "shell/SaveFileIO.h"
#include "shell/SavedFiles.h"

namespace kestrune {
namespace {

constexpr std::uint16_t kBackground = RGB565(218, 228, 253);

bool Inside(const TRect& r, int x, int y) { return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom; }

void FillRect(TDirectDrawSurface& s, TRect r, std::uint16_t pixel) {
  for (int y = std::max(r.Top, 0); y < std::min(r.Bottom, s.Height()); ++y)
    for (int x = std::max(r.Left, 0); x < std::min(r.Right, s.Width()); ++x) s.Row(y)[x] = pixel;
}

constexpr int kVkReturn = 0x0D, kVkEscape = 0x1B;

const TRect kButton1{110, 252, 195, 277};
const TRect kLabelButton1{115, 256, 190, 272};
const TRect kCheck1{72, 206, 283, 223};

}  // namespace

TPictureData LoadPictureFile(const std::string& path, std::string* problem) {
  // Read as the archives are: only a regular file of a bounded size, opened without blocking,
  // so a FIFO or a link to a device in its place cannot hang the start or fill the memory.
  std::vector<std::uint8_t> bytes;
  try {
    bytes = ReadRegularFile(path, kMaxPictureFileBytes);
  } catch (const EKestruneError& e) {
    if (problem != nullptr) *problem = e.what();
    return {};
  }
  try {
    ByteReader reader(bytes);
    if (bytes.size() < 14 || bytes[0] != 'B' || bytes[1] != 'M')
      throw std::runtime_error("not a bitmap file");
    reader.Skip(14);
    // Run-length codes can describe a big picture in a few bytes: a million pixels is plenty.
    std::uint64_t pixelBudget = 1u << 20;
    return DecodeDib(reader, &pixelBudget);
  } catch (const std::exception& e) {
    if (problem != nullptr) *problem = path + " cannot be read (" + e.what() + ")";
    return {};
  }
}

TForm8a::TForm8a(IPlatform& platform, TMForm& mainForm)
    : platform_(platform),
      mainForm_(mainForm),
      surface_(kWidth, kHeight),
      canvas_(surface_, &platform.Text()) {
  CreateForm();
}

void TForm8a::CreateForm() {
  // The pictures; without them the window still works, plain and rectangular.
  std::string problem;
  artwork_ = LoadPictureFile(kGoodbyeArtworkPath, &problem);
  if (artwork_.Width != kWidth || artwork_.Height != kHeight) artwork_ = {};
  buttonNormal_ = LoadPictureFile(kGoodbyeButtonPath, &problem);
  buttonHover_ = LoadPictureFile(kGoodbyeButtonHoverPath, &problem);
  if (!problem.empty()) std::cerr << "Kestrune: the goodbye window is drawn plain: " << problem << std::endl;
  if (!artwork_.Empty()) shape_ = ComputeWindowShape(artwork_);

  actionLabel_ = {{8, 22, 313, 37}, "Thanks for playing Kestrune!", true, true};
  actionLabel_.R = 128, actionLabel_.G = 0, actionLabel_.B = 0;
  label01_ = {{110, 54, 310, 84}, "", true, true, true};
  label02_ = {{154, 92, 172, 106}, "Read", true};
  label03_ = {{0, 92, 51, 106}, "the player's guide", true, false, false, true};
  label04_ = {{110, 110, 310, 124}, "Make the game your own:", true, true};
  label05_ = {{110, 126, 310, 171},
              "every picture and sound unpacks and packs again with the kestrune-pack tool.",
              true,
              true,
              true};
  label06_ = {{110, 178, 310, 192}, "How to change the data set", true, true, false, true};
  label07_ = {{32, 230, 152, 244}, "Free to share:", true};
  label08_ = {{156, 230, 293, 244}, "the MIT licence", true, false, false, true};
  for (Label* link : {&label03_, &label06_, &label08_}) link->R = 0, link->G = 0, link->B = 255;
  labelButton1_ = {kLabelButton1, "Close", true, true};
  labelButton1_.R = 0, labelButton1_.G = 102, labelButton1_.B = 153;
  labelButton1_.SizePt = 10;  // 13 pixels
  checkCaption_ = "Do not show this window again";

  // "Read" takes the width of its text; the link follows it after an 8-pixel gap.
  canvas_.Font = {"Arial", label02_.SizePt, 0, 0, 0, true};
  label02_.Box.Right = label02_.Box.Left + canvas_.TextWidth(label02_.Text);
  const int linkWidth = canvas_.TextWidth(label03_.Text);
  label03_.Box.Left = label02_.Box.Right + 8;
  label03_.Box.Right = label03_.Box.Left + std::max(linkWidth, 51);
}

void TForm8a::ShowInsteadOfMainForm(std::int32_t bestScore) {
  const THighScore& top = GameState.HighScores[1];
  scoreLine_ = bestScore > 0 ? "Your best this time: " + std::to_string(bestScore) : "No points this time";
  scoreLine_ += "\nTop of the table: " + std::to_string(top.Score) + " (" + top.Name + ")";
  label01_.Text = scoreLine_;
  // The game stands still behind it: the frame timer stops with the main window.
  mainForm_.MDXTimer.SetEnabled(false);
  platform_.ShowWindow(false);
  FormShow();
}

void TForm8a::FormShow() {
  promoDisabled_ = ReadPromotionSwitch() ? 1 : 0;
  if (promoDisabled_ == 0) {
    SecondWindowLayout layout;
    layout.Title = "Kestrune";
    layout.Width = kWidth;
    layout.Height = kHeight;
    if (!artwork_.Empty()) layout.Shape = shape_.Mask();
    layout.IsDragArea = [](int x, int y) { return IsCaptionPoint(x, y); };
    // A window that cannot be made ends the game as closing it would.
    if (!platform_.OpenSecondWindow(layout)) promoDisabled_ = 1;
  }
  visible_ = true;
  FormPaint();
}

void TForm8a::FormPaint() {
  if (!visible_) return;
  if (promoDisabled_ == 1) {
    Close();
    mainForm_.ExitGame();
    return;
  }
  Paint();
}

void TForm8a::Close() {
  if (!visible_) return;
  visible_ = false;
  platform_.CloseSecondWindow();
}

void TForm8a::Button1Click() {
  if (!visible_) return;
  try {
    WritePromotionSwitch(checked_);
  } catch (const ESaveFileError& e) {
    // The game still ends and saves the options and the table; the switch stays as it was, and
    // the exit reports it with its own failures in one message box.
    DeferSaveFailure("Your choice about this goodbye window was not saved", e);
  }
  Close();
  mainForm_.ExitGame();
}

void TForm8a::Label03Click() { OpenLocalPage(TLocalPage::Guide); }
void TForm8a::Label06Click() { OpenLocalPage(TLocalPage::Modding); }
void TForm8a::Label08Click() { OpenLocalPage(TLocalPage::Licence); }

void TForm8a::Button1MouseMove() {
  if (hover_) return;
  hover_ = true;
  Paint();
}

void TForm8a::WndImageMouseMove() {
  if (!hover_) return;
  hover_ = false;
  Paint();
}

void TForm8a::HandleEvent(const PlatformEvent& e) {
  if (!visible_) return;
  switch (e.Type) {
    case PlatformEvent::Kind::MouseMove:
      if (Inside(kButton1, e.X, e.Y)) {
        Button1MouseMove();
      } else {
        WndImageMouseMove();
      }
      break;
    case PlatformEvent::Kind::MouseClick:
      if (Inside(kButton1, e.X, e.Y)) {
        Button1Click();
      } else if (Inside(kCheck1, e.X, e.Y)) {
        checked_ = !checked_;
        Paint();
      } else if (Inside(LinkBox(label03_), e.X, e.Y)) {
        Label03Click();
      } else if (Inside(LinkBox(label06_), e.X, e.Y)) {
        Label06Click();
      } else if (Inside(LinkBox(label08_), e.X, e.Y)) {
        Label08Click();
      }
      break;
    case PlatformEvent::Kind::KeyDown:
      // The keyboard's Esc and Enter, and a gamepad's A, B and Start (which send Enter, Esc and
      // P), press the close button: a player without a mouse is never stuck here.
      if (e.VirtualKey == kVkEscape || e.VirtualKey == kVkReturn || (e.FromPad && e.VirtualKey == 'P'))
        Button1Click();
      break;
    case PlatformEvent::Kind::Close:
      // The system's close command (Alt+F4) does what the close button does.
      Button1Click();
      break;
    default:
      break;
  }
}

// --- Drawing ------------------------------------------------------------------------------------

void TForm8a::DrawPicture(const TPictureData& picture, int left, int top) {
  for (int y = 0; y < picture.Height; ++y) {
    if (top + y < 0 || top + y >= kHeight) continue;
    std::uint16_t* row = surface_.Row(top + y);
    for (int x = 0; x < picture.Width; ++x) {
      if (left + x < 0 || left + x >= kWidth) continue;
      const std::uint32_t c = picture.At(x, y);
      row[left + x] = RGB565((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF);
    }
  }
}

TRect TForm8a::LinkBox(const Label& label) {
  canvas_.Font = {"Arial", label.SizePt, label.R, label.G, label.B, label.Bold};
  const int w = std::min(canvas_.TextWidth(label.Text), label.Box.Width());
  const int left = label.Centred ? label.Box.Left + (label.Box.Width() - w) / 2 : label.Box.Left;
  return {left, label.Box.Top, left + w, label.Box.Bottom};
}

std::vector<std::string> TForm8a::WrapLabel(const Label& label) {
  // Word-wrapped labels break between words to stay inside their width; a line break in the
  // text always starts a new line.
  std::vector<std::string> lines;
  if (!label.WordWrap) {
    lines.push_back(label.Text);
    return lines;
  }
  std::string line, word;
  auto flushWord = [&] {
    if (word.empty()) return;
    const std::string joined = line.empty() ? word : line + " " + word;
    if (!line.empty() && canvas_.TextWidth(joined) > label.Box.Width()) {
      lines.push_back(line);
      line = word;
    } else {
      line = joined;
    }
    word.clear();
  };
  for (const char c : label.Text) {
    if (c == ' ') {
      flushWord();
    } else if (c == '\n') {
      flushWord();
      lines.push_back(line);
      line.clear();
    } else {
      word += c;
    }
  }
  flushWord();
  if (!line.empty()) lines.push_back(line);
  return lines;
}

TForm8a::LabelLayout TForm8a::FitLabel(const Label& label) {
  // A text too long for its label (a wide name in the score line wraps to a third line) is set
  // smaller until every line fits, rather than losing what does not fit. The last line may
  // reach a third of its height below the box (the space the letters' descent leaves free).
  LabelLayout layout;
  for (int size = label.SizePt; size >= kSmallestLabelPt; --size) {
    canvas_.Font = {"Arial", size, label.R, label.G, label.B, label.Bold};
    layout.SizePt = size;
    layout.Lines = WrapLabel(label);
    layout.LineHeight = std::max(canvas_.TextHeight("Ag"), 1);
    const int height = static_cast<int>(layout.Lines.size()) * layout.LineHeight;
    bool fits = height <= label.Box.Height() + layout.LineHeight / 3;
    for (const std::string& line : layout.Lines) fits = fits && canvas_.TextWidth(line) <= label.Box.Width();
    if (fits) break;
  }
  return layout;
}

void TForm8a::DrawLabel(const Label& label) {
  const LabelLayout layout = FitLabel(label);
  canvas_.Font = {"Arial", layout.SizePt, label.R, label.G, label.B, label.Bold};
  TDrawnLabel drawn;
  drawn.Text = label.Text;
  drawn.Box = label.Box;
  int y = label.Box.Top;
  for (const std::string& line : layout.Lines) {
    const int w = canvas_.TextWidth(line);
    const int x = label.Centred ? label.Box.Left + (label.Box.Width() - w) / 2 : label.Box.Left;
    canvas_.TextOut(x, y, line);
    if (label.Link)
      FillRect(surface_, {x, y + layout.LineHeight - 2, x + w, y + layout.LineHeight - 1},
               RGB565(label.R, label.G, label.B));
    drawn.Lines.push_back(line);
    drawn.LineBoxes.push_back({x, y, x + w, y + layout.LineHeight});
    y += layout.LineHeight;
  }
  drawnLabels_.push_back(std::move(drawn));
}

void TForm8a::DrawCheckBox() {
  const int bx = kCheck1.Left, by = kCheck1.Top + 2;
  FillRect(surface_, {bx, by, bx + 13, by + 13}, RGB565(28, 81, 128));
  FillRect(surface_, {bx + 1, by + 1, bx + 12, by + 12}, RGB565(255, 255, 255));
  if (checked_) {
    // A tick: a short stroke down to the right, then a long one up.
    const std::uint16_t ink = RGB565(0, 0, 0);
    for (int i = 0; i < 3; ++i) FillRect(surface_, {bx + 3 + i, by + 5 + i, bx + 4 + i, by + 8 + i}, ink);
    for (int i = 0; i < 5; ++i) FillRect(surface_, {bx + 6 + i, by + 6 - i, bx + 7 + i, by + 9 - i}, ink);
  }
  canvas_.Font = {"Arial", 8, 0, 0, 0, false};
  canvas_.TextOut(bx + 17, kCheck1.Top + 1, checkCaption_);
}

void TForm8a::Paint() {
  if (!visible_ || promoDisabled_ == 1) return;
  surface_.Fill(kBackground);
  if (!artwork_.Empty()) DrawPicture(artwork_, 0, 0);
  const TPictureData& button = hover_ ? buttonHover_ : buttonNormal_;
  if (!button.Empty()) {
    DrawPicture(button, kButton1.Left, kButton1.Top);
  } else {
    FillRect(surface_, kButton1, hover_ ? RGB565(0, 102, 153) : RGB565(57, 108, 129));
    FillRect(surface_, {kButton1.Left + 1, kButton1.Top + 1, kButton1.Right - 1, kButton1.Bottom - 1},
             hover_ ? RGB565(236, 244, 255) : RGB565(244, 247, 255));
  }
  drawnLabels_.clear();
  for (const Label* label : {&actionLabel_, &label01_, &label02_, &label03_, &label04_, &label05_, &label06_,
                             &label07_, &label08_})
    DrawLabel(*label);
  DrawCheckBox();
  DrawLabel(labelButton1_);
  platform_.PresentSecondWindow(surface_.Pixels(), surface_.Pitch());
}

}  // namespace kestrune
