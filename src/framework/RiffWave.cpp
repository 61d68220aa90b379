#include "framework/RiffWave.h"

#include <cstring>

#include "framework/ArchiveIO.h"
#include "framework/Errors.h"

namespace kestrune {
namespace {

bool IsTag(const std::uint8_t* p, const char* tag) { return std::memcmp(p, tag, 4) == 0; }

WaveFormat ParseFormat(const std::vector<std::uint8_t>& b) {
  // A short format chunk leaves the fields it does not reach at zero.
  auto u16 = [&](std::size_t at) -> std::uint16_t {
    return at + 2 <= b.size() ? static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8)) : 0;
  };
  auto u32 = [&](std::size_t at) -> std::uint32_t {
    return at + 4 <= b.size()
               ? static_cast<std::uint32_t>(u16(at)) | (static_cast<std::uint32_t>(u16(at + 2)) << 16)
               : 0;
  };
  WaveFormat f;
  f.FormatTag = u16(0);
  f.Channels = u16(2);
  f.SamplesPerSec = u32(4);
  f.AvgBytesPerSec = u32(8);
  f.BlockAlign = u16(12);
  f.BitsPerSample = u16(14);
  if (b.size() > 16) f.Extra.assign(b.begin() + 16, b.end());
  return f;
}

WaveFormat NoFormat() {
  WaveFormat f;
  f.FormatTag = 0;
  f.Channels = 0;
  f.SamplesPerSec = 0;
  f.AvgBytesPerSec = 0;
  f.BlockAlign = 0;
  f.BitsPerSample = 0;
  return f;
}

}  // namespace

void ParseRiffWave(ByteReader& in, WaveItemRecord& item) {
  if (in.Remaining() < 12) throw EWaveStreamError("Wave is invalid");
  const std::uint8_t* head = in.ReadSpan(12);
  if (!IsTag(head, "RIFF") || !IsTag(head + 8, "WAVE")) throw EWaveStreamError("Wave is invalid");

  item.HasWave = true;
  item.Format = NoFormat();
  item.Data.clear();
  // Chunks until an identifier of zero or the end of the payload.
  while (in.Remaining() >= 4) {
    const std::uint8_t* id = in.ReadSpan(4);
    if (std::memcmp(id, "\0\0\0\0", 4) == 0) break;
    const std::uint32_t size = in.ReadU32();
    if (IsTag(id, "fmt ")) {
      item.Format = ParseFormat(in.ReadBytes(size));
    } else if (IsTag(id, "data")) {
      item.Data = in.ReadBytes(size);
    } else if (size > in.Remaining()) {
      break;  // an unknown chunk that claims more than is left ends the chunk list
    } else {
      in.Skip(size);
    }
    // A chunk of odd size is followed by a pad byte in files that follow the RIFF rule, and by
    // the next chunk directly in files of writers that leave it out. Chunk identifiers never
    // start with a zero byte, so a zero here is the pad (unless it starts a zero end marker).
    if ((size & 1) != 0 && in.Remaining() >= 2 && in.PeekU8() == 0) {
      const bool endMarker = in.Remaining() >= 4 && [&] {
        ByteReader look = in;
        const std::uint8_t* p = look.ReadSpan(4);
        return std::memcmp(p, "\0\0\0\0", 4) == 0;
      }();
      if (!endMarker) in.Skip(1);
    }
  }
}

std::vector<std::uint8_t> MakeRiffWave(const WaveFormat& format, const std::vector<std::uint8_t>& data) {
  ByteWriter w;
  w.Text("RIFF");
  w.U32(0);  // patched below
  w.Text("WAVE");
  const std::uint32_t fmtSize = static_cast<std::uint32_t>(16 + format.Extra.size());
  w.Text("fmt ");
  w.U32(fmtSize);
  w.U16(format.FormatTag);
  w.U16(format.Channels);
  w.U32(format.SamplesPerSec);
  w.U32(format.AvgBytesPerSec);
  w.U16(format.BlockAlign);
  w.U16(format.BitsPerSample);
  w.Bytes(format.Extra);
  if (fmtSize & 1) w.U8(0);
  w.Text("data");
  w.U32(static_cast<std::uint32_t>(data.size()));
  w.Bytes(data);
  if (data.size() & 1) w.U8(0);
  w.PatchU32(4, static_cast<std::uint32_t>(w.Size() - 8));
  return w.Take();
}

}  // namespace kestrune
