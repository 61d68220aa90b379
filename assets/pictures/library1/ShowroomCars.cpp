// Large views of the six player cars for the car choice and the intro artwork: the same
// drawing as the race's Car1..Car6, scaled up and turned.
#include <algorithm>
#include <cmath>

#include "CarKit.h"
#include "library1/Library1Parts.h"

namespace kestrune::lib1 {

void DrawShowroomCar(cairo_t* cr, int model, double cx, double cy, double scale, double angle) {
  // The soft shadow goes into the same drawing (under the car), so it blends with whatever
  // ground the picture is finished over.
  art::DrawCar(cr, cr, art::PlayerCarLook(std::clamp(model, 1, 6)), cx, cy, angle, scale);
}

}  // namespace kestrune::lib1
