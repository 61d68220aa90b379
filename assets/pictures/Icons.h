#pragma once
// Pick-up icons shared by the road bonuses and the HUD, drawn into the box (x, y, w, h).

#include <cairo.h>

namespace kestrune::art {

void NitroBottle(cairo_t* cr, double x, double y, double w, double h);  // lying, valve right
void GunIcon(cairo_t* cr, double x, double y, double w, double h);      // profile, muzzle right
void RocketIcon(cairo_t* cr, double x, double y, double w, double h);   // lying, nose right

}  // namespace kestrune::art
