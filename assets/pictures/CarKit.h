#pragma once
// Cars seen from above, front pointing up, lit from the upper left. One parametric drawing
// serves the player cars, the traffic, the HUD's small car and the large car-choice views, so
// a car looks the same wherever it appears.

#include "DrawKit.h"

namespace kestrune::art {

struct CarLook {
  double length = 140, width = 60;  // the body, without tyres, mirrors or spoiler
  Rgb paint = Hex(0xD32F2F);
  Rgb accent = Hex(0xF5F5F5);
  enum class Stripes { None, Twin, Centre, Rally } stripes = Stripes::None;
  double frontTaper = 0.12, rearTaper = 0.06;  // narrower nose / tail, as a share of the width
  double noseRound = 10, tailRound = 8;        // corner rounding
  // Cabin along the length, as shares from the front: windscreen from hoodEnd to roofStart,
  // roof to roofEnd, rear window to rearEnd.
  double hoodEnd = 0.30, roofStart = 0.42, roofEnd = 0.68, rearEnd = 0.78;
  double cabinWidth = 0.80;
  bool convertible = false;  // seats instead of a roof
  bool spoiler = false;
  double spoilerWidth = 0;  // 0: body width
  bool scoop = false;
  bool sideIntakes = false;
  bool mirrors = true;
  bool roofRails = false;
  bool spotLights = false;
  const char* roofNumber = nullptr;
  Rgb sideColour = Hex(0xD32F2F);  // rally side stripes
  Rgb seat = Hex(0x8A5A3C);        // open cockpit seats
  bool tyresShow = true;
};

// Draws `look` centred on (cx, cy), turned by `angle` radians clockwise, `scale` times its
// size. The body goes to `body`, its drop shadow (offset in screen space) to `shadow` (may be
// null).
void DrawCar(cairo_t* body, cairo_t* shadow, const CarLook& look, double cx, double cy, double angle,
             double scale = 1.0);

// The six player cars (model 1..6), in the liveries the car-choice showcase uses.
const CarLook& PlayerCarLook(int model);

}  // namespace kestrune::art
