#pragma once
// Converting rows of stored pixels into the back surface's RGB565, the hot loop of reading the
// picture archives (nearly all their pictures are 24-bit rows).

#include <cstddef>
#include <cstdint>

namespace kestrune {

// n pixels of 24-bit rows (blue, green, red bytes) to RGB565: the top 5, 6 and 5 bits of red,
// green and blue, exactly as RGB565() converts one pixel. Where the processor has SSSE3 byte
// shuffles, sixteen pixels are converted at a time.
void Bgr24ToRgb565(const std::uint8_t* src, std::uint16_t* dst, std::size_t n);

// The one-pixel-at-a-time conversion, for processors without SSSE3 and for the tails of rows.
void Bgr24ToRgb565Plain(const std::uint8_t* src, std::uint16_t* dst, std::size_t n);

}  // namespace kestrune
