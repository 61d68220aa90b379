#pragma once
// The image library: named pictures cut into equal patterns (animation frames or tiles), held
// as RGB565 blocks ready for drawing into the back surface, with keyed, alpha-blended and
// rotated drawing.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/ArchiveTypes.h"
#include "framework/DXDraw.h"
#include "framework/HashCollection.h"
#include "framework/Surface.h"

namespace kestrune {

class TPictureCollection;

// A picture converted to the display's pixel format. Blocks are cut along whole pattern cells.
struct TImageBlock {
  int Width = 0, Height = 0;
  std::vector<std::uint16_t> Pixels;  // Width * Height, top row first
  std::uint16_t Key = 0;              // transparent colour in the same pixel format
  std::uint16_t At(int x, int y) const { return Pixels[static_cast<std::size_t>(y) * Width + x]; }
};

// One opaque stretch of a pattern row: pixels [X, X + Length) are not the key.
struct TOpaqueRun {
  std::uint16_t X = 0, Length = 0;
};

struct TPattern {
  TRect Rect;            // source rectangle in picture coordinates
  int Block = 0;         // index into the item's blocks
  int OffX = 0, OffY = 0;  // top-left of the pattern inside its block
  // Opaque runs per pattern row: the runs of row y are Runs[RowStart[y] .. RowStart[y + 1]).
  std::vector<std::uint32_t> RowStart;
  std::vector<TOpaqueRun> Runs;
  bool Opaque = false;  // no key pixel at all: rows are copied whole
};

class TPictureCollectionItem : public THashCollectionItem {
 public:
  TPictureCollectionItem() = default;

  // The loaded picture (0x00RRGGBB pixels); empty when the archive gave no usable data.
  TPictureData Picture;
  // Or the picture already in the display's format, which is what a library read from a file
  // holds (Picture is then empty); when both are set this one is shown.
  TPicture16 Picture16;
  std::string PictureKind = "TDIB";
  int PatternWidth = 0, PatternHeight = 0;  // 0 or less: the whole picture
  int SkipWidth = 0, SkipHeight = 0;
  bool SystemMemory = false;
  bool Transparent = true;

  std::uint32_t TransparentColor() const { return transparentColor_; }
  // Sets the colour (0x00BBGGRR) and re-keys every block of the item.
  void SetTransparentColor(std::uint32_t color);

  // The size of the picture held, in whichever format.
  int PictureWidth() const;
  int PictureHeight() const;
  // Effective pattern size: the stored one, or the picture's when it is 0 or less.
  int GetWidth() const;
  int GetHeight() const;
  int PatternCount() const {
    EnsureBuilt();
    return static_cast<int>(patterns_.size());
  }
  // The pattern's source rectangle, or (0, 0, 0, 0) for an index out of range.
  TRect PatternRect(int index) const;
  bool Initialized() const {
    EnsureBuilt();
    return initialized_;
  }

  // Frees the old display blocks and patterns and has new ones built from the picture. They are
  // built when first used (drawn or asked about), so a picture only takes display memory once it
  // is shown, and a display that is set up twice in a row converts nothing twice.
  void Restore();
  // Frees blocks and patterns; the item then draws nothing until built again.
  void Finalize();

  void Draw(TDirectDrawSurface& dest, int x, int y, int patternIndex) const;
  void DrawAlpha(TDirectDrawSurface& dest, const TRect& destRect, int patternIndex, int alpha) const;
  void DrawRotate(TDirectDrawSurface& dest, int x, int y, int width, int height, int patternIndex,
                  double centerX, double centerY, int angle) const;

  // Read-only views for tests and tools.
  const std::vector<TImageBlock>& Blocks() const {
    EnsureBuilt();
    return blocks_;
  }
  const TPattern& PatternAt(int index) const {
    EnsureBuilt();
    return patterns_.at(static_cast<std::size_t>(index));
  }

 private:
  void ApplyKey() const;
  void EnsureBuilt() const {
    if (buildPending_) Build();
  }
  void Build() const;
  template <class Source>
  void BuildFrom(const Source& picture) const;
  const TPattern* DrawablePattern(int index) const;

  std::uint32_t transparentColor_ = 0;
  // What Restore asked for and the first use builds; the results are kept in the fields below.
  mutable bool buildPending_ = false;
  mutable bool initialized_ = false;
  mutable std::vector<TImageBlock> blocks_;
  mutable std::vector<TPattern> patterns_;
};

class TPictureCollection : public THashCollection {
 public:
  TPictureCollection() = default;

  // 1024 bytes (256 entries of blue, green, red, reserved) when the archive had one; kept only.
  std::vector<std::uint8_t> ColorTable;

  // Reads a picture archive into the collection (cleared first). When the display is
  // initialised the items are restored at once (each builds its blocks when first used).
  void LoadFromFile(const std::string& path);
  // Replaces the contents with the given records (what LoadFromFile does after reading).
  void LoadFromArchive(const PictureArchive& archive);
  // The same, taking the pictures over instead of copying them.
  void LoadFromArchive(PictureArchive&& archive);
  TPictureCollectionItem& Add();

  TPictureCollectionItem& Items(int index) const;
  // The item of that name (letter case ignored; of equal names the one named last), or raises
  // EPictureCollectionError "Image '%s' not found".
  TPictureCollectionItem& FindPicture(const std::string& name) const;

  // Display life cycle. Initialize takes the display link and drops all blocks (they belonged to
  // the old display); it fails when the display is not actually initialised. Restore restores every
  // item (see TPictureCollectionItem::Restore); Finalize frees every item's blocks and drops the link.
  void Initialize(bool displayInitialized);
  void Restore();
  void Finalize();
  bool DisplayLinked() const { return displayLinked_; }

 private:
  bool displayLinked_ = false;
};

// The image library component: a picture collection that follows the display's life cycle.
class TDXImageList {
 public:
  TDXImageList() = default;
  ~TDXImageList();
  TDXImageList(const TDXImageList&) = delete;
  TDXImageList& operator=(const TDXImageList&) = delete;

  TPictureCollection Items;

  TDXDraw* DXDraw() const { return dxDraw_; }
  // Links the library to a display (registering for its notifications) or unlinks it (nullptr).
  void SetDXDraw(TDXDraw* draw);
  // What the display's notifications do; public so a display stand-in can drive it.
  void DXDrawNotify(TDXDraw* sender, TDXDrawNotifyType type);
  void HandleNotify(TDXDrawNotifyType type, bool displayInitialized);

 private:
  TDXDraw* dxDraw_ = nullptr;
};

// The 256-entry cosine table used by rotated drawing, filled once: table[i] = cos(i * 2 pi / 256).
const double* CosineTable();

}  // namespace kestrune
