#include <gtest/gtest.h>

#include "ArchiveFixtures.h"
#include "framework/DibCodec.h"
#include "framework/Errors.h"
#include "framework/PixelRows.h"
#include "framework/Surface.h"

namespace kestrune {
namespace {

using fixtures::Bytes;
using fixtures::InfoHeader;

struct DibCase {
  const char* what;
  std::vector<std::uint8_t> dib;
  int width, height;
  std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, top row first
};

// Colour table entries are blue, green, red(, reserved).
std::vector<DibCase> DibCases() {
  std::vector<DibCase> cases;
  {
    // 1 bit, 3 x 2, bottom-up: stored rows are bottom then top, each padded to 4 bytes.
    Bytes b = InfoHeader(3, 2, 1);
    b.list({0x00, 0x00, 0x00, 0, 0xFF, 0xFF, 0xFF, 0});  // black, white
    b.list({0b10100000, 0, 0, 0});                       // bottom row: 1 0 1
    b.list({0b01000000, 0, 0, 0});                       // top row:    0 1 0
    cases.push_back({"1-bit bottom-up", b.v, 3, 2, {0, 0xFFFFFF, 0, 0xFFFFFF, 0, 0xFFFFFF}});
  }
  {
    // Core header: 16-bit width and height, 3-byte colour table, 4 bits.
    Bytes b;
    b.u32(12).u16(2).u16(2).u16(1).u16(4);
    for (int i = 0; i < 16; ++i)
      b.list({static_cast<std::uint32_t>(i), 0, static_cast<std::uint32_t>(16 * i)});
    b.list({0x12, 0, 0, 0});  // bottom row: 1, 2
    b.list({0xF0, 0, 0, 0});  // top row: 15, 0
    cases.push_back({"4-bit core header", b.v, 2, 2, {0xF0000F, 0x000000, 0x100001, 0x200002}});
  }
  {
    // 8 bits, top-down (negative height), three used colours.
    Bytes b = InfoHeader(2, 2, 8, 0, 3);
    b.list({0xFF, 0, 0, 0, 0, 0xFF, 0, 0, 0, 0, 0xFF, 0});  // blue, green, red
    b.list({0, 1, 0, 0});
    b.list({2, 0, 0, 0});
    b.v[8] = 0xFE, b.v[9] = b.v[10] = b.v[11] = 0xFF;  // height -2
    cases.push_back({"8-bit top-down", b.v, 2, 2, {0x0000FF, 0x00FF00, 0xFF0000, 0x0000FF}});
  }
  {
    // RLE8, 4 x 2: bottom row is a run of 3 then an absolute run of 1 (padded); top row a
    // delta skips one pixel (left at index 0) before a run of 2; then end of bitmap.
    Bytes b = InfoHeader(4, 2, 8, 1, 3);
    b.list({0x00, 0x00, 0x00, 0, 0x00, 0x00, 0xFF, 0, 0xFF, 0x00, 0x00, 0});  // black, red, blue
    b.list({3, 1});                                                           // 3 x red
    b.list({0, 3, 2, 1, 2, 0});  // absolute: blue red blue and a pad byte; only blue fits
    b.list({0, 0});              // end of line
    b.list({0, 2, 1, 0});        // delta: right 1
    b.list({2, 2});              // 2 x blue
    b.list({0, 1});              // end of bitmap
    cases.push_back({"RLE8 runs, absolute, delta",
                     b.v,
                     4,
                     2,
                     {0, 0x0000FF, 0x0000FF, 0, 0xFF0000, 0xFF0000, 0xFF0000, 0x0000FF}});
  }
  {
    // RLE4, 5 x 1: a run alternates its two nibbles, an absolute run of 3 nibbles.
    Bytes b = InfoHeader(5, 1, 4, 2, 3);
    b.list({0, 0, 0, 0, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0});  // black, red, green
    b.list({2, 0x12});                                   // red green
    b.list({0, 3, 0x21, 0x20, 0, 0});                    // green red green, padded
    b.list({0, 1});
    cases.push_back(
        {"RLE4 alternating nibbles", b.v, 5, 1, {0xFF0000, 0x00FF00, 0x00FF00, 0xFF0000, 0x00FF00}});
  }
  {
    // 16 bits without bit fields are 5-5-5; full channels widen to 255.
    Bytes b = InfoHeader(2, 1, 16);
    b.u16(0x7C00).u16(0x03FF);
    cases.push_back({"16-bit 5-5-5", b.v, 2, 1, {0xFF0000, 0x00FFFF}});
  }
  {
    // 16 bits with 5-6-5 bit fields from the file.
    Bytes b = InfoHeader(2, 1, 16, 3);
    b.u32(0xF800).u32(0x07E0).u32(0x001F);
    b.u16(0x07E0).u16(0x8410);
    cases.push_back({"16-bit bit fields 5-6-5", b.v, 2, 1, {0x00FF00, 0x848284}});
  }
  {
    // 24 bits, width 1: each row is padded to 4 bytes.
    Bytes b = InfoHeader(1, 2, 24);
    b.list({0x01, 0x02, 0x03, 0});  // bottom
    b.list({0x0A, 0x0B, 0x0C, 0});  // top
    cases.push_back({"24-bit row padding", b.v, 1, 2, {0x0C0B0A, 0x030201}});
  }
  {
    Bytes b = InfoHeader(1, 1, 32);
    b.list({0x11, 0x22, 0x33, 0x99});
    cases.push_back({"32-bit 8-8-8 ignores the top byte", b.v, 1, 1, {0x332211}});
  }
  {
    // 32 bits with masks that put red in the lowest byte.
    Bytes b = InfoHeader(1, 1, 32, 3);
    b.u32(0x000000FF).u32(0x0000FF00).u32(0x00FF0000);
    b.list({0x11, 0x22, 0x33, 0});
    cases.push_back({"32-bit bit fields", b.v, 1, 1, {0x112233}});
  }
  return cases;
}

TEST(DibCodec, DecodesEveryEncodingToKnownPixels) {
  for (const DibCase& c : DibCases()) {
    SCOPED_TRACE(c.what);
    ByteReader in(c.dib);
    const TPictureData pic = DecodeDib(in);
    ASSERT_EQ(pic.Width, c.width);
    ASSERT_EQ(pic.Height, c.height);
    EXPECT_EQ(pic.Pixels, c.pixels);
  }
}

// The game decodes straight into the display's format: every encoding must give exactly the
// RGB565 of its 32-bit pixels, or the game would show other colours than the tools see.
TEST(DibCodec, DisplayDecodingIsTheRgb565OfTheFullDecoding) {
  for (const DibCase& c : DibCases()) {
    SCOPED_TRACE(c.what);
    ByteReader in(c.dib);
    const TPicture16 pic = DecodeDib16(in);
    ASSERT_EQ(pic.Width, c.width);
    ASSERT_EQ(pic.Height, c.height);
    TPixels16 expected;
    for (std::uint32_t p : c.pixels)
      expected.push_back(RGB565(static_cast<int>(p >> 16), static_cast<int>((p >> 8) & 0xFF), static_cast<int>(p & 0xFF)));
    EXPECT_EQ(pic.Pixels, expected);
  }
}

// The sixteen-at-a-time conversion of 24-bit rows against RGB565() itself, on every row length
// around its stretches (tails of 0 to 15 pixels) and on bytes of every value.
TEST(DibCodec, TwentyFourBitRowsConvertExactlyAsOnePixel) {
  std::vector<std::uint8_t> bytes(3 * 1029);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 97 + i / 251);
  for (std::size_t n : {0, 1, 5, 15, 16, 17, 31, 32, 33, 47, 48, 63, 1029}) {
    SCOPED_TRACE(n);
    std::vector<std::uint16_t> fast(n + 1, 0xABCD), expected(n + 1, 0xABCD);
    Bgr24ToRgb565(bytes.data(), fast.data(), n);
    for (std::size_t i = 0; i < n; ++i) expected[i] = RGB565(bytes[3 * i + 2], bytes[3 * i + 1], bytes[3 * i]);
    EXPECT_EQ(fast, expected);  // and nothing past the row is written
  }
}

TEST(DibCodec, EmptyPayloadAndZeroHeaderGiveEmptyPictures) {
  for (const std::vector<std::uint8_t>& dib :
       {std::vector<std::uint8_t>{}, std::vector<std::uint8_t>{0, 0, 0, 0}}) {
    ByteReader in(dib);
    EXPECT_TRUE(DecodeDib(in).Empty());
  }
}

TEST(DibCodec, RejectsBadHeadersAndAbsurdSizes) {
  struct Bad {
    const char* what;
    std::vector<std::uint8_t> dib;
    const char* message;
  };
  Bytes tooBigCount = InfoHeader(2, 2, 24);
  const std::vector<Bad> cases = {
      {"header size 41", Bytes().u32(41).raw(std::string(37, '\0')).v, "DIB is invalid"},
      {"short header", Bytes().u32(40).u32(1).u32(1).v, "DIB is invalid"},
      {"3 bytes only", Bytes().list({40, 0, 0}).v, "DIB is invalid"},
      {"bit count 7", InfoHeader(1, 1, 7).v, "DIB is invalid"},
      {"compression 4", InfoHeader(1, 1, 8, 4).v, "DIB is invalid"},
      {"RLE8 with 4 bits", InfoHeader(1, 1, 4, 1).v, "DIB is invalid"},
      {"bit fields with 24 bits", InfoHeader(1, 1, 24, 3).v, "DIB is invalid"},
      {"negative width", InfoHeader(-1, 1, 24).v, "DIB is invalid"},
      {"side over 16384", InfoHeader(16385, 1, 24).v, "DIB is invalid"},
      {"over 256 MiB of pixels", InfoHeader(16384, 16384, 1).v, "DIB is invalid"},
      {"most negative height", InfoHeader(1, INT32_MIN, 24).v, "DIB is invalid"},
      {"pixels run out", tooBigCount.list({1, 2, 3}).v, "Stream read error"},
      {"colour table runs out", InfoHeader(1, 1, 8).list({1, 2, 3, 4}).v, "Stream read error"},
      {"bit fields run out", InfoHeader(1, 1, 16, 3).u32(0xF800).v, "Stream read error"},
  };
  for (const Bad& c : cases) {
    SCOPED_TRACE(c.what);
    // Both decodings check the same.
    for (const bool display : {false, true}) {
      ByteReader in(c.dib);
      try {
        if (display)
          DecodeDib16(in);
        else
          DecodeDib(in);
        ADD_FAILURE() << "no error";
      } catch (const EKestruneError& e) {
        EXPECT_STREQ(e.what(), c.message);
      }
    }
  }
}

TEST(DibCodec, BitmapFileUsesItsPixelOffset) {
  // A bitmap file whose pixels start 2 bytes after the header (a gap some tools leave).
  Bytes dib = InfoHeader(1, 1, 24);
  dib.list({0xEE, 0xEE}).list({0x01, 0x02, 0x03, 0});
  Bytes file;
  file.raw("BM").u32(14 + static_cast<std::uint32_t>(dib.v.size())).u32(0).u32(14 + 40 + 2).raw(dib.v);
  Bytes payload;
  payload.u32(static_cast<std::uint32_t>(file.v.size())).raw(file.v);
  ByteReader in(payload.v);
  const TPictureData pic = DecodeBitmapFile(in);
  ASSERT_EQ(pic.Width, 1);
  EXPECT_EQ(pic.Pixels[0], 0x030201u);

  Bytes notBm;
  notBm.u32(16).raw("XM").raw(std::string(14, '\0'));
  ByteReader bad(notBm.v);
  EXPECT_THROW(DecodeBitmapFile(bad), EInvalidGraphic);

  Bytes zero;
  zero.u32(0);
  ByteReader empty(zero.v);
  EXPECT_TRUE(DecodeBitmapFile(empty).Empty());
}

TEST(DibCodec, Encode24RoundTripsOddWidths) {
  // Small odd sizes, and rows longer than the decoder's 512-pixel stretches.
  for (const auto& [width, height] : {std::pair{3, 2}, std::pair{1029, 3}, std::pair{512, 2}}) {
    SCOPED_TRACE(width);
    TPictureData pic;
    pic.Width = width;
    pic.Height = height;
    for (int i = 0; i < width * height; ++i)
      pic.Pixels.push_back(static_cast<std::uint32_t>(i * 0x010305) & 0xFFFFFF);
    const std::vector<std::uint8_t> dib = EncodeDib24(pic);
    ByteReader in(dib);
    const TPictureData back = DecodeDib(in);
    EXPECT_EQ(back.Width, width);
    EXPECT_EQ(back.Height, height);
    EXPECT_EQ(back.Pixels, pic.Pixels);
  }
}

}  // namespace
}  // namespace kestrune
