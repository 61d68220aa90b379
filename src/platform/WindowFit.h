#pragma once
// Where the game's window goes and where its picture sits inside it: the size a new window opens
// at, whether a remembered place can still be seen, the picture's rectangle in the window's
// drawable area and the way back from a mouse position to a picture pixel.

#include <optional>
#include <vector>

namespace kestrune {

struct PixelRect {
  int X = 0, Y = 0, W = 0, H = 0;
  bool operator==(const PixelRect&) const = default;
};

// The window a first start opens: the largest whole multiple of the picture that fits in 85% of
// the usable desktop area (work area without panels), centred in it. Where not even one picture
// fits there, the largest size of the picture's shape that does.
PixelRect FirstWindowRect(const PixelRect& usable, int pictureWidth, int pictureHeight);

// True when enough of the window's top edge (where its title bar is) lies on one of the displays
// for the player to reach and drag it: a place remembered from another monitor setup may not.
bool WindowReachable(const PixelRect& window, const std::vector<PixelRect>& displays);

// The window a remembered place reopens: unset where it cannot be reached. A window larger than
// the display its top edge is on (remembered from a larger monitor) opens as a first start
// would on that display (FirstWindowRect), title bar and all on the screen.
std::optional<PixelRect> ReopenedWindowRect(const PixelRect& last, const std::vector<PixelRect>& displays,
                                            int pictureWidth, int pictureHeight);

// The picture's rectangle in an output (the window's drawable area, in pixels): scaled to fit
// with its shape kept, or by the largest whole multiple that fits (fit where not even one does),
// centred with black bars around.
PixelRect PictureRect(int outputWidth, int outputHeight, int pictureWidth, int pictureHeight, bool integerScale);

// A mouse position in window coordinates to a picture pixel. The drawable area can have more
// pixels than the window has coordinates (high-DPI). False over the bars around the picture.
bool WindowToPicture(int x, int y, int windowWidth, int windowHeight, const PixelRect& picture,
                     int outputWidth, int outputHeight, int pictureWidth, int pictureHeight, int& pictureX,
                     int& pictureY);

}  // namespace kestrune
