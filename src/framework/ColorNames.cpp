#include "framework/ColorNames.h"

#include <strings.h>

#include <cstring>

namespace kestrune {
namespace {

struct NamedColor {
  const char* name;
  std::uint32_t value;
};

constexpr NamedColor kColors[] = {
    {"clBlack", 0x000000},
    {"clMaroon", 0x000080},
    {"clGreen", 0x008000},
    {"clOlive", 0x008080},
    {"clNavy", 0x800000},
    {"clPurple", 0x800080},
    {"clTeal", 0x808000},
    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},
    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},
    {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},
    {"clMoneyGreen", 0xC0DCC0},
    {"clSkyBlue", 0xF0CAA6},
    {"clCream", 0xF0FBFF},
    {"clMedGray", 0xA4A0A0},
    // System colours, with the classic scheme's values.
    {"clScrollBar", 0xC0C0C0},
    {"clBackground", 0x808000},
    {"clActiveCaption", 0x800000},
    {"clInactiveCaption", 0x808080},
    {"clMenu", 0xC0C0C0},
    {"clWindow", 0xFFFFFF},
    {"clWindowFrame", 0x000000},
    {"clMenuText", 0x000000},
    {"clWindowText", 0x000000},
    {"clCaptionText", 0xFFFFFF},
    {"clActiveBorder", 0xC0C0C0},
    {"clInactiveBorder", 0xC0C0C0},
    {"clAppWorkSpace", 0x808080},
    {"clHighlight", 0x800000},
    {"clHighlightText", 0xFFFFFF},
    {"clBtnFace", 0xC0C0C0},
    {"clBtnShadow", 0x808080},
    {"clGrayText", 0x808080},
    {"clBtnText", 0x000000},
    {"clInactiveCaptionText", 0xC0C0C0},
    {"clBtnHighlight", 0xFFFFFF},
    {"cl3DDkShadow", 0x000000},
    {"cl3DLight", 0xC0C0C0},
    {"clInfoText", 0x000000},
    {"clInfoBk", 0xE1FFFF},
    {"clHotLight", 0xFF0000},
    {"clGradientActiveCaption", 0xD08410},
    {"clGradientInactiveCaption", 0xB5B5B5},
    {"clMenuHighlight", 0xC56A31},
    {"clMenuBar", 0xC0C0C0},
    // Not colours but values the colour properties may hold.
    {"clNone", 0x1FFFFFFF},
    {"clDefault", 0x20000000},
};

}  // namespace

std::optional<std::uint32_t> ColorFromIdent(const std::string& name) {
  for (const NamedColor& c : kColors)
    if (name.size() == std::strlen(c.name) && strncasecmp(c.name, name.data(), name.size()) == 0)
      return c.value;
  return std::nullopt;
}

}  // namespace kestrune
