#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

#include <algorithm>
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
  const auto text = CreateTextRenderer();
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

}  // namespace
}  // namespace kestrune
