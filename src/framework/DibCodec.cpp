#include "framework/DibCodec.h"

#include <algorithm>
#include <array>
#include <bit>
#include <optional>
#include <string>

#include "framework/Errors.h"
#include "framework/PixelRows.h"
#include "framework/Surface.h"

namespace kestrune {
namespace {

[[noreturn]] void Invalid() { throw EInvalidGraphic("DIB is invalid"); }

// One colour channel of a packed 16- or 32-bit pixel, widened to 8 bits.
struct Channel {
  std::uint32_t mask = 0;
  int shift = 0;
  int bits = 0;

  explicit Channel(std::uint32_t m) : mask(m) {
    if (m == 0) return;
    shift = std::countr_zero(m);
    bits = std::bit_width(m >> shift);
  }

  std::uint32_t Get(std::uint32_t pixel) const {
    if (bits == 0) return 0;
    const std::uint32_t v = (pixel & mask) >> shift;
    if (bits >= 8) return (v >> (bits - 8)) & 0xFF;
    // Replicate the high bits into the low ones so full intensity stays full (31 -> 255).
    std::uint32_t result = 0;
    int filled = 0;
    while (filled < 8) {
      result = (result << bits) | v;
      filled += bits;
    }
    return (result >> (filled - 8)) & 0xFF;
  }
};

struct DibHeader {
  std::uint32_t width = 0, height = 0;
  bool topDown = false;
  int bitCount = 0;
  std::uint32_t compression = 0;
  std::uint32_t sizeImage = 0;
  std::uint32_t colorsUsed = 0;
  bool core = false;
};

DibHeader ReadHeader(ByteReader& in, std::uint32_t headerSize) {
  DibHeader h;
  if (headerSize != 40 && headerSize != 12) Invalid();
  if (in.Remaining() < headerSize - 4) Invalid();
  if (headerSize == 12) {
    h.core = true;
    h.width = in.ReadU16();
    h.height = in.ReadU16();
    in.ReadU16();  // planes
    h.bitCount = in.ReadU16();
  } else {
    const std::int32_t width = in.ReadI32();
    const std::int32_t height = in.ReadI32();
    in.ReadU16();  // planes
    h.bitCount = in.ReadU16();
    h.compression = in.ReadU32();
    h.sizeImage = in.ReadU32();
    in.Skip(8);  // resolution
    h.colorsUsed = in.ReadU32();
    in.ReadU32();  // important colours
    if (width < 0) Invalid();
    h.width = static_cast<std::uint32_t>(width);
    h.topDown = height < 0;
    h.height = height < 0 ? static_cast<std::uint32_t>(-static_cast<std::int64_t>(height))
                          : static_cast<std::uint32_t>(height);
  }
  switch (h.bitCount) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
      break;
    default:
      Invalid();
  }
  switch (h.compression) {
    case 0:
      break;
    case 1:
      if (h.bitCount != 8) Invalid();
      break;
    case 2:
      if (h.bitCount != 4) Invalid();
      break;
    case 3:
      if (h.bitCount != 16 && h.bitCount != 32) Invalid();
      break;
    default:
      Invalid();
  }
  if (h.width > kMaxDibSide || h.height > kMaxDibSide) Invalid();
  if (std::uint64_t{h.width} * h.height * 4 > kMaxDibPixelBytes) Invalid();
  return h;
}

// The two pixel formats a picture decodes to: 0x00RRGGBB words, or the back surface's RGB565
// (each pixel converted as the image library converts a 32-bit picture, so both give the same
// display pixels).
std::uint32_t Pack(std::uint32_t rgb, std::uint32_t*) { return rgb; }
std::uint16_t Pack(std::uint32_t rgb, std::uint16_t*) { return Rgb565FromRgb(rgb); }
template <class Picture>
using PixelOf = typename decltype(Picture::Pixels)::value_type;
template <class Pixel>
Pixel PackAs(std::uint32_t rgb) {
  return Pack(rgb, static_cast<Pixel*>(nullptr));
}

template <class Picture>
class PixelSink {
 public:
  PixelSink(const DibHeader& h, Picture& pic) : h_(h), pic_(pic) {}
  // Stored row r (0 = the first row in the data) lands on picture row y.
  PixelOf<Picture>* Row(std::uint64_t storedRow) {
    const std::uint64_t y = h_.topDown ? storedRow : h_.height - 1 - storedRow;
    return pic_.Pixels.data() + y * h_.width;
  }

 private:
  const DibHeader& h_;
  Picture& pic_;
};

// Uncompressed rows, appended to the picture top row first (stored rows are read in picture
// order), so every pixel is written once: through a small buffer, not into memory zeroed first.
template <class Picture>
void DecodeUncompressed(ByteReader& in, const DibHeader& h, const std::array<PixelOf<Picture>, 256>& palette,
                        const std::uint32_t masks[3], Picture& pic) {
  using Pixel = PixelOf<Picture>;
  const std::uint64_t stride = (std::uint64_t{h.width} * h.bitCount + 31) / 32 * 4;
  const std::uint8_t* data = in.ReadSpan(stride * h.height);
  if constexpr (sizeof(Pixel) == 2) {
    // The common case of the game's own archives: each 24-bit row converted straight into its
    // place, every pixel written once.
    if (h.bitCount == 24) {
      pic.Pixels.resize(std::size_t{h.width} * h.height);
      for (std::uint64_t y = 0; y < h.height; ++y) {
        const std::uint64_t storedRow = h.topDown ? y : h.height - 1 - y;
        Bgr24ToRgb565(data + storedRow * stride, pic.Pixels.data() + y * h.width, h.width);
      }
      return;
    }
  }
  const Channel red(masks[0]), green(masks[1]), blue(masks[2]);
  pic.Pixels.reserve(std::size_t{h.width} * h.height);
  constexpr std::uint32_t kChunk = 512;
  Pixel out[kChunk];
  for (std::uint64_t y = 0; y < h.height; ++y) {
    const std::uint64_t storedRow = h.topDown ? y : h.height - 1 - y;
    const std::uint8_t* src = data + storedRow * stride;
    for (std::uint32_t x0 = 0; x0 < h.width; x0 += kChunk) {
      const std::uint32_t n = std::min(kChunk, h.width - x0);
      // One loop per pixel format, so the format is not decided again for every pixel.
      switch (h.bitCount) {
        case 1:
          for (std::uint32_t i = 0, x = x0; i < n; ++i, ++x)
            out[i] = palette[(src[x >> 3] >> (7 - (x & 7))) & 1];
          break;
        case 4:
          for (std::uint32_t i = 0, x = x0; i < n; ++i, ++x)
            out[i] = palette[(src[x >> 1] >> ((x & 1) ? 0 : 4)) & 15];
          break;
        case 8:
          for (std::uint32_t i = 0, x = x0; i < n; ++i, ++x) out[i] = palette[src[x]];
          break;
        case 16:
          for (std::uint32_t i = 0, x = x0; i < n; ++i, ++x) {
            const std::uint32_t v = src[2 * x] | (src[2 * x + 1] << 8);
            out[i] = PackAs<Pixel>((red.Get(v) << 16) | (green.Get(v) << 8) | blue.Get(v));
          }
          break;
        case 24:
          for (std::uint32_t i = 0, x = x0; i < n; ++i, ++x)
            out[i] = PackAs<Pixel>((std::uint32_t{src[3 * x + 2]} << 16) | (src[3 * x + 1] << 8) | src[3 * x]);
          break;
        case 32:
          for (std::uint32_t i = 0, x = x0; i < n; ++i, ++x) {
            const std::uint8_t* p = src + 4 * x;
            const std::uint32_t v = p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t{p[3]} << 24);
            out[i] = PackAs<Pixel>((red.Get(v) << 16) | (green.Get(v) << 8) | blue.Get(v));
          }
          break;
      }
      pic.Pixels.insert(pic.Pixels.end(), out, out + n);
    }
  }
}

// Run-length encoded 8- or 4-bit data. Runs and deltas that leave the picture are clipped;
// pixels no run reaches keep colour index 0. Data that ends without an end-of-bitmap code
// simply ends the picture. Each run is clipped once and written as a span, so a picture of
// long runs decodes at the speed of a memory fill.
template <class Picture>
void DecodeRle(ByteReader& in, const DibHeader& h, const std::array<PixelOf<Picture>, 256>& palette,
               Picture& pic) {
  using Pixel = PixelOf<Picture>;
  const std::size_t n = h.sizeImage != 0 ? h.sizeImage : in.Remaining();
  const std::uint8_t* d = in.ReadSpan(n);
  const bool four = h.compression == 2;
  PixelSink<Picture> sink(h, pic);
  std::uint64_t x = 0, row = 0;
  // How many of `count` pixels starting at x land inside the current row.
  auto visible = [&](std::uint64_t count) -> std::uint64_t {
    return x < h.width ? std::min<std::uint64_t>(count, h.width - x) : 0;
  };
  std::size_t pos = 0;
  while (pos + 1 < n && row < h.height) {
    const std::uint8_t a = d[pos], b = d[pos + 1];
    pos += 2;
    if (a > 0) {
      const std::uint64_t shown = visible(a);
      Pixel* dst = shown ? sink.Row(row) + x : nullptr;
      if (!four) {
        std::fill_n(dst, shown, palette[b]);
      } else {
        const Pixel even = palette[b >> 4], odd = palette[b & 15];
        for (std::uint64_t i = 0; i < shown; ++i) dst[i] = (i & 1) ? odd : even;
      }
      x += a;
    } else if (b == 0) {
      x = 0;
      ++row;
    } else if (b == 1) {
      break;
    } else if (b == 2) {
      if (pos + 1 >= n) break;
      x += d[pos];
      row += d[pos + 1];
      pos += 2;
    } else {
      const std::size_t bytes = four ? (b + 1u) / 2 : b;
      if (pos + bytes > n) break;
      const std::uint64_t shown = visible(b);
      Pixel* dst = shown ? sink.Row(row) + x : nullptr;
      const std::uint8_t* src = d + pos;
      for (std::uint64_t i = 0; i < shown; ++i)
        dst[i] = palette[four ? ((i & 1) ? (src[i / 2] & 15) : (src[i / 2] >> 4)) : src[i]];
      x += b;
      pos += bytes + (bytes & 1);  // absolute runs are padded to a 16-bit boundary
    }
  }
}

// pixelOffset: where the pixel rows start, counted from the start of the header, when a file
// header says so; otherwise they follow the colour table.
template <class Picture>
Picture DecodeDibAt(ByteReader& in, std::optional<std::uint64_t> pixelOffset, std::uint64_t* pixelBudget) {
  using Pixel = PixelOf<Picture>;
  if (in.AtEnd()) return {};
  const std::size_t start = in.Position();
  if (in.Remaining() < 4) Invalid();
  const std::uint32_t headerSize = in.ReadU32();
  if (headerSize == 0) return {};
  const DibHeader h = ReadHeader(in, headerSize);

  std::uint32_t masks[3] = {0, 0, 0};
  if (h.compression == 3) {
    for (auto& m : masks) m = in.ReadU32();
  } else if (h.bitCount == 16) {
    masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
  } else if (h.bitCount == 32) {
    masks[0] = 0xFF0000, masks[1] = 0x00FF00, masks[2] = 0x0000FF;
  }

  std::uint32_t colours = h.colorsUsed;
  if (colours == 0 && h.bitCount <= 8) colours = 1u << h.bitCount;
  if (colours > 256) colours = 256;
  const int entrySize = h.core ? 3 : 4;
  // Entries the table does not give are black, in either format.
  std::array<Pixel, 256> palette{};
  const std::uint8_t* table = in.ReadSpan(std::uint64_t{colours} * entrySize);
  for (std::uint32_t i = 0; i < colours; ++i) {
    const std::uint8_t* e = table + i * entrySize;
    palette[i] = PackAs<Pixel>((std::uint32_t{e[2]} << 16) | (e[1] << 8) | e[0]);
  }

  if (pixelOffset && start + *pixelOffset >= in.Position() && start + *pixelOffset <= in.Size())
    in.Seek(static_cast<std::size_t>(start + *pixelOffset));

  Picture pic;
  if (h.width == 0 || h.height == 0) return pic;
  // Small data can describe a huge picture (run-length codes, 1-bit rows): the budget bounds what
  // all the pictures of one archive may decode to.
  const std::uint64_t pixels = std::uint64_t{h.width} * h.height;
  if (pixelBudget && !TakeArchivePixels(*pixelBudget, pixels)) Invalid();
  pic.Width = static_cast<int>(h.width);
  pic.Height = static_cast<int>(h.height);
  if (h.compression == 1 || h.compression == 2) {
    pic.Pixels.assign(std::size_t{h.width} * h.height, palette[0]);
    DecodeRle(in, h, palette, pic);
  } else {
    // The rows must all be there before the pixel buffer is made.
    in.Require((std::uint64_t{h.width} * h.bitCount + 31) / 32 * 4 * h.height);
    DecodeUncompressed(in, h, palette, masks, pic);
  }
  return pic;
}

}  // namespace

TPictureData DecodeDib(ByteReader& in, std::uint64_t* pixelBudget) {
  return DecodeDibAt<TPictureData>(in, std::nullopt, pixelBudget);
}

TPicture16 DecodeDib16(ByteReader& in, std::uint64_t* pixelBudget) {
  return DecodeDibAt<TPicture16>(in, std::nullopt, pixelBudget);
}

namespace {
template <class Picture>
Picture DecodeBitmapFileAs(ByteReader& in, std::uint64_t* pixelBudget) {
  const std::uint32_t count = in.ReadU32();
  if (count == 0) return {};
  ByteReader file = in.SubReader(count);
  if (file.Remaining() < 2 || file.ReadU8() != 'B' || file.ReadU8() != 'M')
    throw EInvalidGraphic("Bitmap image is not valid");
  file.Skip(8);  // file size, reserved
  const std::uint32_t offBits = file.ReadU32();
  std::optional<std::uint64_t> pixelOffset;
  if (offBits >= 14) pixelOffset = offBits - 14;
  ByteReader dib(file.ReadSpan(file.Remaining()), count - 14);
  return DecodeDibAt<Picture>(dib, pixelOffset, pixelBudget);
}
}  // namespace

TPictureData DecodeBitmapFile(ByteReader& in, std::uint64_t* pixelBudget) {
  return DecodeBitmapFileAs<TPictureData>(in, pixelBudget);
}

TPicture16 DecodeBitmapFile16(ByteReader& in, std::uint64_t* pixelBudget) {
  return DecodeBitmapFileAs<TPicture16>(in, pixelBudget);
}

std::vector<std::uint8_t> EncodeDib24(const TPictureData& picture) {
  ByteWriter w;
  if (picture.Empty()) {
    w.U32(0);
    return w.Take();
  }
  if (picture.Pixels.size() !=
      static_cast<std::size_t>(picture.Width) * static_cast<std::size_t>(picture.Height))
    throw EInvalidGraphic("Picture size does not match its pixel count");
  // Readers refuse larger pictures, so they are not written either.
  if (picture.Width > static_cast<int>(kMaxDibSide) || picture.Height > static_cast<int>(kMaxDibSide) ||
      picture.Pixels.size() * 4 > kMaxDibPixelBytes)
    throw EInvalidGraphic("Picture is too large to store (" + std::to_string(picture.Width) + " x " +
                          std::to_string(picture.Height) + ")");
  const std::uint32_t width = static_cast<std::uint32_t>(picture.Width);
  const std::uint32_t height = static_cast<std::uint32_t>(picture.Height);
  const std::uint32_t stride = (width * 24 + 31) / 32 * 4;
  w.U32(40);
  w.I32(picture.Width);
  w.I32(picture.Height);  // positive: bottom row first
  w.U16(1);
  w.U16(24);
  w.U32(0);
  w.U32(stride * height);
  w.U32(2835);  // 72 dots per inch
  w.U32(2835);
  w.U32(0);
  w.U32(0);
  for (std::uint32_t r = 0; r < height; ++r) {
    const std::uint32_t y = height - 1 - r;
    for (std::uint32_t x = 0; x < width; ++x) {
      const std::uint32_t c = picture.At(static_cast<int>(x), static_cast<int>(y));
      w.U8(static_cast<std::uint8_t>(c));
      w.U8(static_cast<std::uint8_t>(c >> 8));
      w.U8(static_cast<std::uint8_t>(c >> 16));
    }
    for (std::uint32_t p = width * 3; p < stride; ++p) w.U8(0);
  }
  return w.Take();
}

}  // namespace kestrune
