#include "shell/TextStyles.h"

namespace kestrune {

namespace {
constexpr const char* kCrystal = "DS Crystal";
constexpr const char* kBeast = "Beast Impacted";
}  // namespace

const std::array<TTextStyle, TextStyleCount + 1> TextStyles = {{
    {"", 0, 0, 0, 0, false},
    {kCrystal, 32, 244, 9, 9, false},      // 1
    {kBeast, 16, 230, 218, 218, false},    // 2  high-score names
    {kCrystal, 26, 244, 9, 9, false},      // 3
    {kBeast, 28, 0, 0, 0, true},           // 4  options: country text
    {kBeast, 36, 244, 9, 9, false},        // 5  overlay messages
    {kCrystal, 28, 255, 255, 255, false},  // 6
    {kCrystal, 20, 255, 255, 255, false},  // 7
    {kCrystal, 16, 255, 255, 255, false},  // 8
    {kBeast, 28, 255, 255, 255, false},    // 9  name entry: score
    {kBeast, 28, 255, 255, 255, false},    // 10 name entry: name
    {kBeast, 26, 255, 255, 255, false},    // 11
    {"Courier", 12, 255, 209, 55, false},  // 12
    {kBeast, 27, 255, 255, 255, false},    // 13 options: "Your country:"
    {kBeast, 27, 244, 134, 26, false},     // 14
    {kBeast, 78, 255, 255, 255, false},    // 15 screen titles
    {kBeast, 56, 255, 255, 255, false},    // 16
    {kBeast, 22, 230, 218, 218, false},    // 17 high-score scores
    {kCrystal, 22, 0, 255, 42, false},     // 18 race HUD
    {kBeast, 28, 255, 255, 255, false},    // 19 help page headings
    {kBeast, 13, 255, 255, 255, false},    // 20 help text lines
    {kBeast, 15, 255, 255, 255, false},    // 21 help sub-headings and bonus names
}};

}  // namespace kestrune
