#pragma once
// The six player cars' looks, shared by the in-race pictures (Car1..Car6) and the car-choice
// showcase (SG_Car1..SG_Car6) so both show the same car: body style, paint and trim colour.

#include "DrawKit.h"

namespace kestrune::art {

enum class CarStyle { SportsCoupe, MuscleCar, Supercar, CompactHatch, RallyCar, Roadster };

struct CarLivery {
  CarStyle style;
  Rgb paint;  // main body colour
  Rgb trim;   // stripes, decals, wing
};

// Index 0 is Car1: a red sports coupe with white pin-stripes, a blue muscle car with white
// racing stripes, a wide yellow supercar with a black spine, a green compact hatch, a white
// rally car in blue with orange lines and the number 5, a silver roadster with a red interior.
inline constexpr CarLivery kPlayerCarLiveries[6] = {
    {CarStyle::SportsCoupe, {0.86, 0.10, 0.10}, {1.00, 1.00, 1.00}},
    {CarStyle::MuscleCar, {0.12, 0.30, 0.78}, {0.96, 0.96, 0.98}},
    {CarStyle::Supercar, {1.00, 0.78, 0.06}, {0.10, 0.10, 0.12}},
    {CarStyle::CompactHatch, {0.14, 0.62, 0.36}, {0.12, 0.12, 0.14}},
    {CarStyle::RallyCar, {0.95, 0.95, 0.96}, {0.10, 0.32, 0.78}},
    {CarStyle::Roadster, {0.74, 0.76, 0.80}, {0.10, 0.10, 0.11}},
};

}  // namespace kestrune::art
