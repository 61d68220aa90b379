#pragma once
// PNG files through libpng: pictures are written as 8-bit RGB; any PNG libpng reads is accepted.

#include <cstdint>
#include <string>
#include <vector>

#include "framework/ArchiveTypes.h"

namespace kestrune::pack {

// The picture as the bytes of a PNG file (std::runtime_error if libpng fails).
std::vector<std::uint8_t> EncodePng(const TPictureData& picture);
// Writes it whole or not at all (see OutputFile.h); fails with PackError naming the file.
void WritePng(const std::string& path, const TPictureData& picture);

struct PngPicture {
  TPictureData Picture;           // 0x00RRGGBB
  std::vector<bool> Transparent;  // per pixel, when the file has an alpha channel (alpha < 128)
  bool HasAlpha = false;
};

// Fails with PackError naming the file.
PngPicture ReadPng(const std::string& path);

// The picture's width and height from the file's header, nothing decoded (PackError naming the
// file when it cannot be read).
struct PngSize {
  int Width = 0, Height = 0;
};
PngSize ReadPngSize(const std::string& path);

}  // namespace kestrune::pack
