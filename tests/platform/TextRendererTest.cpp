#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <utility>
#include <string>

#include "platform/TextRenderer.h"

namespace kestrune {
namespace {

// A machine without any font: a font set-up with no font directories at all.
struct NoFonts {
  NoFonts() : previous(FcConfigReference(nullptr)) {
    FcConfig* empty = FcConfigCreate();
    FcConfigSetCurrent(empty);
    FcConfigDestroy(empty);  // the current set-up holds it now
  }
  ~NoFonts() {
    FcConfigSetCurrent(previous);
    FcConfigDestroy(previous);
  }
  FcConfig* previous;
};

TEST(TextRenderer, EachFamilyWithoutAFontIsReportedOnceWithItsPackage) {
  NoFonts none;
  const auto text = CreateTextRenderer("");
  ::testing::internal::CaptureStderr();
  for (int size : {16, 28})
    for (bool bold : {false, true}) {
      EXPECT_EQ(text->Width({"Beast Impacted", size, bold}, "OPTIONS"), 0);
      EXPECT_EQ(text->Render({"DS Crystal", size, bold}, "12:34").Width, 0);
      text->Height({"Nonesuch Sans", size, bold}, "x");
    }
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 3) << err;
  for (const char* line :
       {"Kestrune: no font for \"Beast Impacted\" (its stand-in Bebas Neue comes with the package "
        "fonts-bebas-neue); its text is not drawn\n",
        "Kestrune: no font for \"DS Crystal\" (its stand-in DSEG7 Classic comes with the package "
        "fonts-dseg); its text is not drawn\n",
        "Kestrune: no font for \"Nonesuch Sans\"; its text is not drawn\n"})
    EXPECT_NE(err.find(line), std::string::npos) << line << "missing from\n" << err;
}

// The game's families are drawn from the font folder's files even where the machine has no font
// at all; the folder's bold cut where it has one.
TEST(TextRenderer, FamiliesAreDrawnFromTheShippedFontFiles) {
  NoFonts none;
  const auto text = CreateTextRenderer();  // the build's Data/Fonts
  ::testing::internal::CaptureStderr();
  for (const char* family : {"DS Crystal", "Beast Impacted", "Courier", "Arial"}) {
    EXPECT_GT(text->Width({family, 20, false}, "LEVEL 12"), 0) << family;
    EXPECT_FALSE(text->Render({family, 20, true}, "12:34").Coverage.empty()) << family;
  }
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  const std::pair<const char*, const char*> files[] = {
      {"Beast Impacted", "BebasNeue-Bold.otf"},
      {"Arial", "LiberationSans-Bold.ttf"},
      {"DS Crystal", "DSEG7Classic-Regular.ttf"},  // no bold cut: emboldened when drawn
  };
  for (const auto& [family, file] : files)
    EXPECT_EQ(std::filesystem::path(ResolveFontFile(family, true)).filename(), file) << family;
  EXPECT_EQ(std::filesystem::path(ResolveFontFile("Courier", false)).filename(), "LiberationMono-Regular.ttf");
}

// A damaged file in the font folder is not the end of the family's text: the installed font stands
// in, as for a data set without the folder.
TEST(TextRenderer, ADamagedShippedFileFallsBackToTheInstalledFont) {
  if (ResolveFontFile("Arial", false, "").empty()) GTEST_SKIP() << "no installed stand-in for Arial";
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("kestrune-bad-fonts-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  std::ofstream(folder / "LiberationSans-Regular.ttf") << "not a font";
  const auto text = CreateTextRenderer(folder.string());
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(text->Render({"Arial", 12, false}, "Close").Coverage.empty());
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace kestrune
