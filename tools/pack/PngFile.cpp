#include "PngFile.h"

#include <png.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "OutputFile.h"
#include "PackError.h"
#include "framework/DibCodec.h"

namespace kestrune::pack {

std::vector<std::uint8_t> EncodePng(const TPictureData& picture) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(picture.Width);
  image.height = static_cast<png_uint_32>(picture.Height);
  image.format = PNG_FORMAT_RGB;
  std::vector<png_byte> rgb;
  rgb.reserve(picture.Pixels.size() * 3);
  for (std::uint32_t c : picture.Pixels) {
    rgb.push_back(static_cast<png_byte>(c >> 16));
    rgb.push_back(static_cast<png_byte>(c >> 8));
    rgb.push_back(static_cast<png_byte>(c));
  }
  png_alloc_size_t size = 0;
  if (!png_image_write_get_memory_size(image, size, 0, rgb.data(), 0, nullptr))
    throw std::runtime_error(std::string("cannot encode PNG: ") + image.message);
  std::vector<std::uint8_t> bytes(size);
  if (!png_image_write_to_memory(&image, bytes.data(), &size, 0, rgb.data(), 0, nullptr))
    throw std::runtime_error(std::string("cannot encode PNG: ") + image.message);
  bytes.resize(size);
  return bytes;
}

void WritePng(const std::string& path, const TPictureData& picture) {
  std::vector<std::uint8_t> bytes;
  try {
    bytes = EncodePng(picture);
  } catch (const std::runtime_error& e) {
    throw PackError(path, e.what());
  }
  WriteOutputFile(path, bytes);
}

PngSize ReadPngSize(const std::string& path) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str()))
    throw PackError(path, std::string("cannot read PNG: ") + image.message);
  PngSize size{static_cast<int>(std::min<png_uint_32>(image.width, 1u << 30)),
               static_cast<int>(std::min<png_uint_32>(image.height, 1u << 30))};
  png_image_free(&image);
  return size;
}

PngPicture ReadPng(const std::string& path) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str()))
    throw PackError(path, std::string("cannot read PNG: ") + image.message);
  if (image.width == 0 || image.height == 0 || image.width > kMaxDibSide || image.height > kMaxDibSide ||
      std::uint64_t{image.width} * image.height * 4 > kMaxDibPixelBytes) {
    png_image_free(&image);
    throw PackError(path, "picture is too large (at most 16384 pixels a side and 64 Mi pixels)");
  }
  PngPicture out;
  out.HasAlpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
  image.format = PNG_FORMAT_RGBA;
  std::vector<png_byte> rgba(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr))
    throw PackError(path, std::string("cannot read PNG: ") + image.message);
  out.Picture.Width = static_cast<int>(image.width);
  out.Picture.Height = static_cast<int>(image.height);
  const std::size_t n = std::size_t{image.width} * image.height;
  out.Picture.Pixels.resize(n);
  out.Transparent.assign(n, false);
  for (std::size_t i = 0; i < n; ++i) {
    const png_byte* p = &rgba[4 * i];
    out.Picture.Pixels[i] = (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2];
    out.Transparent[i] = out.HasAlpha && p[3] < 128;
  }
  return out;
}

}  // namespace kestrune::pack
