#include "platform/PngWriter.h"

#include <png.h>

#include <cstdio>
#include <filesystem>
#include <vector>

namespace kestrune {

bool WritePngRGB565(const std::string& path, const std::uint16_t* pixels, int width, int height,
                    int pitchPixels) {
  if (pixels == nullptr || width <= 0 || height <= 0) return false;
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  std::vector<png_byte> row(static_cast<std::size_t>(width) * 3);
  bool ok = png != nullptr && info != nullptr;
  // libpng reports errors by longjmp; nothing with a destructor is created after this point.
  if (ok && setjmp(png_jmpbuf(png)) != 0) ok = false;
  if (ok) {
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
      const std::uint16_t* src = pixels + static_cast<std::size_t>(y) * pitchPixels;
      for (int x = 0; x < width; ++x) {
        const int p = src[x];
        row[3 * x] = static_cast<png_byte>(((p >> 11) & 0x1F) * 255 / 31);
        row[3 * x + 1] = static_cast<png_byte>(((p >> 5) & 0x3F) * 255 / 63);
        row[3 * x + 2] = static_cast<png_byte>((p & 0x1F) * 255 / 31);
      }
      png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
  }
  png_destroy_write_struct(png != nullptr ? &png : nullptr, info != nullptr ? &info : nullptr);
  const bool closed = std::fclose(file) == 0;
  if (!ok || !closed) {
    // Only a half-written regular file is removed; a device given as the path stays.
    std::error_code error;
    if (std::filesystem::is_regular_file(path, error)) std::filesystem::remove(path, error);
    return false;
  }
  return true;
}

}  // namespace kestrune
