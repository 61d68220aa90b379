#pragma once
// Device-independent bitmaps as the picture archives store them: decoding the "TDIB" and
// "TBitmap" picture kinds into TPictureData, and encoding a picture as a 24-bit DIB.

#include <cstdint>
#include <vector>

#include "framework/ArchiveTypes.h"
#include "framework/ByteStream.h"

namespace kestrune {

// Largest picture accepted: a side of more than this many pixels, or more than
// kMaxDibPixelBytes of 32-bit pixels, is "DIB is invalid".
inline constexpr std::uint32_t kMaxDibSide = 16384;
inline constexpr std::uint64_t kMaxDibPixelBytes = 256ull << 20;

// How many pixels all the pictures of one archive may decode to: twenty times what the larger of
// the game's own libraries needs (about 2.9 million), so a picture archive made by a player has
// plenty of room, while a few hundred bytes of run-length codes cannot claim gigabytes.
inline constexpr std::uint64_t kMaxArchivePixels = 64ull << 20;

// Takes a picture's pixels from what is left of an archive's budget (kMaxArchivePixels to
// start); false, taking nothing, when the picture needs more than is left.
inline bool TakeArchivePixels(std::uint64_t& left, std::uint64_t pixels) {
  if (pixels > left) return false;
  left -= pixels;
  return true;
}

// A DIB without file header: the info header (40 bytes) or core header (12 bytes), bit-field
// masks, colour table and pixel rows. No data at all, or a header size of 0, is an empty picture.
// Fails with EInvalidGraphic "DIB is invalid" for a bad header and EReadError "Stream read
// error" when the colour table or pixels run out. With a pixel budget, the picture's pixels are
// taken from it, and a picture larger than what is left is "DIB is invalid" too.
TPictureData DecodeDib(ByteReader& in, std::uint64_t* pixelBudget = nullptr);

// A 32-bit byte count, then (unless it is 0) a bitmap file: "BM" file header and a DIB.
TPictureData DecodeBitmapFile(ByteReader& in, std::uint64_t* pixelBudget = nullptr);

// The same two, decoding straight into the back surface's RGB565, for a picture that is only
// going to be shown: the same checks and errors, and the same display pixels as converting the
// 32-bit picture, without ever holding it.
TPicture16 DecodeDib16(ByteReader& in, std::uint64_t* pixelBudget = nullptr);
TPicture16 DecodeBitmapFile16(ByteReader& in, std::uint64_t* pixelBudget = nullptr);

// The picture as a 24-bit bottom-up DIB with a 40-byte header; an empty picture gives a header
// size of 0 (which decodes as an empty picture again).
std::vector<std::uint8_t> EncodeDib24(const TPictureData& picture);

}  // namespace kestrune
