#include "ShippedFonts.h"

#include <fontconfig/fontconfig.h>

#include <filesystem>
#include <stdexcept>

namespace kestrune::art {
namespace {

// The faces the pictures are lettered in: the display face's bold and book cuts, the sans face.
constexpr const char* kFaceFiles[] = {
    "BebasNeue-Bold.otf",
    "BebasNeue-Book.otf",
    "LiberationSans-Regular.ttf",
    "LiberationSans-Bold.ttf",
};

// Grey-scale anti-aliasing with slight hinting, whatever the machine's own font settings say
// (a user's fontconfig file would otherwise change the pictures).
constexpr const char* kRenderSettings = R"(<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <match target="font">
    <edit name="antialias" mode="assign"><bool>true</bool></edit>
    <edit name="hinting" mode="assign"><bool>true</bool></edit>
    <edit name="hintstyle" mode="assign"><const>hintslight</const></edit>
    <edit name="autohint" mode="assign"><bool>false</bool></edit>
    <edit name="rgba" mode="assign"><const>none</const></edit>
    <edit name="lcdfilter" mode="assign"><const>lcddefault</const></edit>
  </match>
</fontconfig>
)";

}  // namespace

void UseShippedFonts(const std::string& folder) {
  FcInit();
  FcConfig* config = FcConfigCreate();
  if (config == nullptr) throw std::runtime_error("cannot set up fontconfig");
  if (!FcConfigParseAndLoadFromMemory(config, reinterpret_cast<const FcChar8*>(kRenderSettings), FcTrue)) {
    FcConfigDestroy(config);
    throw std::runtime_error("cannot set up fontconfig's rendering settings");
  }
  for (const char* name : kFaceFiles) {
    const std::string file = (std::filesystem::path(folder) / name).string();
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error) ||
        !FcConfigAppFontAddFile(config, reinterpret_cast<const FcChar8*>(file.c_str()))) {
      FcConfigDestroy(config);
      throw std::runtime_error("missing or unreadable font file " + file +
                               " (the pictures are lettered only in the fonts of assets/fonts)");
    }
  }
  FcConfigSetCurrent(config);
  FcConfigDestroy(config);  // the current set-up holds it now
}

void UseShippedFonts() { UseShippedFonts(KESTRUNE_FONT_DIR); }

}  // namespace kestrune::art
