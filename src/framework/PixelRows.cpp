#include "framework/PixelRows.h"

#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
#define KESTRUNE_SSSE3_ROWS 1
#include <immintrin.h>
#endif

namespace kestrune {

void Bgr24ToRgb565Plain(const std::uint8_t* src, std::uint16_t* dst, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i, src += 3)
    dst[i] = static_cast<std::uint16_t>(((src[2] & 0xF8) << 8) | ((src[1] & 0xFC) << 3) | (src[0] >> 3));
}

#if KESTRUNE_SSSE3_ROWS
namespace {

// Eight pixels from two windows of four pixels each (12 bytes at the start of a 16-byte
// register): byte shuffles gather green and red into one 16-bit lane (green low, red high) and
// blue into another, and masks and shifts put the channels' top bits in place.
__attribute__((target("ssse3"))) inline __m128i EightPixels(__m128i first, __m128i second) {
  constexpr char z = static_cast<char>(0x80);  // a shuffle index that gives a zero byte
  const __m128i greenRedLow = _mm_setr_epi8(1, 2, 4, 5, 7, 8, 10, 11, z, z, z, z, z, z, z, z);
  const __m128i greenRedHigh = _mm_setr_epi8(z, z, z, z, z, z, z, z, 1, 2, 4, 5, 7, 8, 10, 11);
  const __m128i blueLow = _mm_setr_epi8(0, z, 3, z, 6, z, 9, z, z, z, z, z, z, z, z, z);
  const __m128i blueHigh = _mm_setr_epi8(z, z, z, z, z, z, z, z, 0, z, 3, z, 6, z, 9, z);
  const __m128i gr = _mm_or_si128(_mm_shuffle_epi8(first, greenRedLow), _mm_shuffle_epi8(second, greenRedHigh));
  const __m128i b = _mm_or_si128(_mm_shuffle_epi8(first, blueLow), _mm_shuffle_epi8(second, blueHigh));
  const __m128i red = _mm_and_si128(gr, _mm_set1_epi16(static_cast<short>(0xF800)));
  const __m128i green = _mm_slli_epi16(_mm_and_si128(gr, _mm_set1_epi16(0x00FC)), 3);
  return _mm_or_si128(_mm_or_si128(red, green), _mm_srli_epi16(b, 3));
}

// Sixteen pixels (48 bytes) at a time, cut into four windows of four pixels.
__attribute__((target("ssse3"))) void Bgr24ToRgb565Ssse3(const std::uint8_t* src, std::uint16_t* dst,
                                                          std::size_t n) {
  std::size_t i = 0;
  for (; i + 16 <= n; i += 16, src += 48) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 16));
    const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 32));
    const __m128i w1 = _mm_alignr_epi8(b, a, 12);  // pixels 4-7: bytes 12-23
    const __m128i w2 = _mm_alignr_epi8(c, b, 8);   // pixels 8-11: bytes 24-35
    const __m128i w3 = _mm_srli_si128(c, 4);       // pixels 12-15: bytes 36-47
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), EightPixels(a, w1));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i + 8), EightPixels(w2, w3));
  }
  Bgr24ToRgb565Plain(src, dst + i, n - i);
}

bool HasSsse3() {
  static const bool has = __builtin_cpu_supports("ssse3");
  return has;
}

}  // namespace
#endif

void Bgr24ToRgb565(const std::uint8_t* src, std::uint16_t* dst, std::size_t n) {
#if KESTRUNE_SSSE3_ROWS
  if (HasSsse3()) {
    Bgr24ToRgb565Ssse3(src, dst, n);
    return;
  }
#endif
  Bgr24ToRgb565Plain(src, dst, n);
}

}  // namespace kestrune
