#pragma once
// PNG files through libpng: pictures are written as 8-bit RGB; any PNG libpng reads is accepted.

#include <string>
#include <vector>

#include "framework/ArchiveTypes.h"

namespace kestrune::pack {

void WritePng(const std::string& path, const TPictureData& picture);

struct PngPicture {
  TPictureData Picture;           // 0x00RRGGBB
  std::vector<bool> Transparent;  // per pixel, when the file has an alpha channel (alpha < 128)
  bool HasAlpha = false;
};

// Fails with PackError naming the file.
PngPicture ReadPng(const std::string& path);

}  // namespace kestrune::pack
