#pragma once
// The groups of library-1 pictures, each in its own file, and the drawings they share.

#include <cairo.h>

#include "framework/ArchiveTypes.h"

namespace kestrune::lib1 {

void AddIntroScreen(PictureArchive& archive);     // Screen1 and its buttons and link areas
void AddMenuBackground(PictureArchive& archive);  // MMBG
void AddMainMenu(PictureArchive& archive);        // MM_n_0, MM_n_A, MM_n_I
void AddCarChoice(PictureArchive& archive);       // SG_*
void AddOptions(PictureArchive& archive);         // option rows, values, country box, cursor
void AddHighScores(PictureArchive& archive);      // HSCaption, HSTable, HS_Clear, HS_Back
void AddHelp(PictureArchive& archive);            // Help_Prev, Help_Next, HelpLogo
void AddOverlays(PictureArchive& archive);        // dialog window, captions, Yes/No, name entry

// One of the six player cars (model 1..6) seen from above, centred on (cx, cy) at `scale`
// pixels per in-game pixel, its nose turned `angle` radians clockwise from straight up.
// Draws its own soft ground shadow.
void DrawShowroomCar(cairo_t* cr, int model, double cx, double cy, double scale, double angle);

// The game's emblem: a red roundel with a chequered band and a "K" (used on the intro screen
// and on the help page).
void DrawEmblem(cairo_t* cr, double cx, double cy, double radius);

}  // namespace kestrune::lib1
