#pragma once
// What the archive reader produces and the archive writer consumes: the items of a picture
// archive (.dxg) and of a sound archive (.dxw), independent of the libraries that use them.
// The reader (ArchiveReader) and the writer (ArchiveWriter) work on these records; the image
// library builds its display blocks from PictureItemRecord, the sound library its buffers
// from WaveItemRecord.

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace kestrune {

// A decoded picture: Width x Height pixels, top row first, each 0x00RRGGBB.
struct TPictureData {
  int Width = 0, Height = 0;
  std::vector<std::uint32_t> Pixels;
  bool Empty() const { return Width <= 0 || Height <= 0; }
  std::uint32_t At(int x, int y) const { return Pixels[static_cast<std::size_t>(y) * Width + x]; }
};

// Memory for pixels that are written right after it is made: growing a vector with it leaves
// the new elements unset instead of zeroing memory that the decoder overwrites next.
template <class T>
struct TUninitializedAllocator : std::allocator<T> {
  template <class U>
  struct rebind {
    using other = TUninitializedAllocator<U>;
  };
  template <class U>
  void construct(U* p) noexcept {
    ::new (static_cast<void*>(p)) U;
  }
  template <class U, class... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
};
using TPixels16 = std::vector<std::uint16_t, TUninitializedAllocator<std::uint16_t>>;

// The same picture in the back surface's RGB565, for pictures read only to be shown.
struct TPicture16 {
  int Width = 0, Height = 0;
  TPixels16 Pixels;
  bool Empty() const { return Width <= 0 || Height <= 0; }
  std::uint16_t At(int x, int y) const { return Pixels[static_cast<std::size_t>(y) * Width + x]; }
};

struct PictureItemRecord {
  std::string Name;
  // The picture kind named in the archive: "TDIB", "TBitmap", or another (an empty picture).
  std::string PictureKind = "TDIB";
  TPictureData Picture;
  // Filled instead of Picture when the archive was read for display (PictureDepth::Display16).
  TPicture16 Picture16;
  int PatternWidth = 0, PatternHeight = 0;  // 0 or less: the whole picture
  int SkipWidth = 0, SkipHeight = 0;
  bool SystemMemory = false;
  bool Transparent = true;
  std::uint32_t TransparentColor = 0;  // 0x00BBGGRR, as the archive stores colours
};

struct PictureArchive {
  std::vector<std::uint8_t> ColorTable;  // 1024 bytes when the archive has one, else empty
  std::vector<PictureItemRecord> Items;
};

// The format block of a wave ("fmt " chunk) and its sample bytes ("data" chunk).
struct WaveFormat {
  std::uint16_t FormatTag = 1;  // 1 = PCM
  std::uint16_t Channels = 1;
  std::uint32_t SamplesPerSec = 22050;
  std::uint32_t AvgBytesPerSec = 44100;
  std::uint16_t BlockAlign = 2;
  std::uint16_t BitsPerSample = 16;
  std::vector<std::uint8_t> Extra;  // bytes of the format chunk past the first 16
};

struct WaveItemRecord {
  std::string Name;
  bool Looped = false;
  int MaxPlayingCount = 0;  // 0 = no limit
  WaveFormat Format;
  std::vector<std::uint8_t> Data;  // sample bytes
  bool HasWave = false;            // false when the item carries no wave data
};

struct WaveArchive {
  std::vector<WaveItemRecord> Items;
};

}  // namespace kestrune
