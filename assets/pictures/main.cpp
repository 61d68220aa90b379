// Draws the default pictures and writes the two image archives:
//   kestrune-pictures OUT_DIR [--sheets SHEET_DIR]
// OUT_DIR receives Res1.dxg, Res2.dxg and the goodbye window's pictures (Goodbye*.bmp); with
// --sheets, SHEET_DIR also receives a contact sheet PNG per library (pictures-1.png, pictures-2.png) and a
// sample stretch of road drawn from the tiles (road-sample.png) and a mock-up of a race screen
// (race-mockup.png). The output depends on nothing but this program: no clock, textures from fixed seeds.

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <string>

#include "ContactSheet.h"
#include "Goodbye.h"
#include "LayoutPreview.h"
#include "ShippedFonts.h"
#include "Library2.h"
#include "framework/ArchiveIO.h"
#include "library1/Library1.h"

int main(int argc, char** argv) {
  if (argc != 2 && !(argc >= 4 && argc <= 7 && std::string(argv[2]) == "--sheets")) {
    std::fprintf(stderr, "usage: %s OUT_DIR [--sheets SHEET_DIR [ZOOM FIRST COUNT]]\n", argv[0]);
    return 2;
  }
  try {
    kestrune::art::UseShippedFonts();
    const std::string out = argv[1];
    kestrune::PictureArchive library1, library2;
    kestrune::AddLibrary1Pictures(library1);
    kestrune::AddLibrary2Pictures(library2);
    kestrune::WritePictureArchive(out + "/Res1.dxg", library1);
    kestrune::WritePictureArchive(out + "/Res2.dxg", library2);
    // The goodbye window's pictures are files of their own beside the archives.
    kestrune::art::WriteGoodbyePictures(out);
    if (argc > 4) {
      // A close-up of a few library-2 pictures, for looking at details.
      const int zoom = std::atoi(argv[4]);
      const std::size_t first = argc > 5 ? std::strtoul(argv[5], nullptr, 10) : 0;
      const std::size_t count = argc > 6 ? std::strtoul(argv[6], nullptr, 10) : 0;
      kestrune::art::WriteContactSheet(library2, std::string(argv[3]) + "/closeup.png", zoom, first, count);
    } else if (argc == 4) {
      kestrune::art::WriteContactSheet(library1, std::string(argv[3]) + "/pictures-1.png");
      kestrune::art::WriteContactSheet(library2, std::string(argv[3]) + "/pictures-2.png");
      kestrune::art::WriteLayoutPreview(library2, std::string(argv[3]) + "/road-sample.png");
      kestrune::art::WriteRaceMockup(library2, std::string(argv[3]) + "/race-mockup.png");
    }
    // The build's record that this run finished.
    std::ofstream(out + "/pictures.stamp") << "ok\n";
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kestrune-pictures: %s\n", e.what());
    return 1;
  }
  return 0;
}
