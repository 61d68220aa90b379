// The six player cars, "Car1".."Car6": one pattern each, front up, sized so that the picture
// is twice the car's wreck half sizes (the wreck is the same picture drawn rotated).

#include "CarKit.h"
#include "Library2.h"

namespace kestrune::art {

void AddPlayerCars(PictureArchive& archive) {
  const int sizes[6][2] = {{64, 156}, {62, 148}, {82, 156}, {62, 134}, {68, 154}, {64, 144}};
  for (int model = 1; model <= 6; ++model) {
    const int w = sizes[model - 1][0], h = sizes[model - 1][1];
    const CarLook& look = PlayerCarLook(model);
    AddSingle(archive, "Car" + std::to_string(model), w, h, true, [&](Canvas& c) {
      // Centred, nudged up-left so the drop shadow fits inside the picture.
      DrawCar(c.Body(), c.Shadow(), look, w / 2.0 - 0.5, h / 2.0 - 1.5, 0);
    });
  }
}

}  // namespace kestrune::art
