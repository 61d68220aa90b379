// Writer of picture and sound archives, in exactly the layout the reader accepts: resource
// header, "TPF0", the root component with its "List" collection, one entry per item.

#include <limits>

#include "framework/ArchiveIO.h"
#include "framework/ByteStream.h"
#include "framework/DibCodec.h"
#include "framework/Errors.h"
#include "framework/FileAccess.h"

namespace kestrune {
namespace {

void WriteInteger(ByteWriter& w, std::int32_t v) {
  if (v >= std::numeric_limits<std::int8_t>::min() && v <= std::numeric_limits<std::int8_t>::max()) {
    w.U8(0x02);
    w.U8(static_cast<std::uint8_t>(v));
  } else if (v >= std::numeric_limits<std::int16_t>::min() && v <= std::numeric_limits<std::int16_t>::max()) {
    w.U8(0x03);
    w.U16(static_cast<std::uint16_t>(v));
  } else {
    w.U8(0x04);
    w.I32(v);
  }
}

void WriteString(ByteWriter& w, const std::string& s) {
  if (s.size() <= 255) {
    w.U8(0x06);
    w.ShortString(s);
  } else {
    w.U8(0x0C);
    w.U32(static_cast<std::uint32_t>(s.size()));
    w.Text(s);
  }
}

void WriteBoolean(ByteWriter& w, bool v) { w.U8(v ? 0x09 : 0x08); }

void WriteBinary(ByteWriter& w, const std::vector<std::uint8_t>& bytes) {
  w.U8(0x0A);
  w.U32(static_cast<std::uint32_t>(bytes.size()));
  w.Bytes(bytes);
}

// Property names are short strings, so they are limited to 255 bytes; ours are all short.
void Property(ByteWriter& w, const char* name) { w.ShortString(name); }

// Resource header and signature, then the root's class and (empty) instance name. Returns the
// position of the size field, patched when the stream is complete.
std::size_t BeginArchive(ByteWriter& w, const std::string& rootClass) {
  w.U8(0xFF);
  w.U16(0x000A);
  std::string resourceName;
  for (char c : rootClass) resourceName += static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
  w.Text(resourceName);
  w.U8(0);
  w.U16(0x1030);
  const std::size_t sizeAt = w.Size();
  w.U32(0);
  w.Text("TPF0");
  w.ShortString(rootClass);
  w.ShortString("");
  return sizeAt;
}

std::vector<std::uint8_t> EndArchive(ByteWriter& w, std::size_t sizeAt) {
  w.U8(0);  // end of the root's properties
  w.U8(0);  // end of its (empty) child list
  w.PatchU32(sizeAt, static_cast<std::uint32_t>(w.Size() - sizeAt - 4));
  return w.Take();
}

std::vector<std::uint8_t> PictureData(const PictureItemRecord& item) {
  ByteWriter w;
  if (item.PictureKind == "TBitmap") {
    // A bitmap file: 14-byte file header, then the DIB.
    const std::vector<std::uint8_t> dib = EncodeDib24(item.Picture);
    w.ShortString("TBitmap");
    if (item.Picture.Empty()) {
      w.U32(0);
      return w.Take();
    }
    w.U32(static_cast<std::uint32_t>(14 + dib.size()));
    w.Text("BM");
    w.U32(static_cast<std::uint32_t>(14 + dib.size()));
    w.U32(0);
    w.U32(14 + 40);
    w.Bytes(dib);
  } else if (item.PictureKind != "TDIB" && !item.PictureKind.empty() && item.PictureKind.size() <= 255 &&
             item.Picture.Empty()) {
    // A kind the reader does not decode: kept by name, with no data.
    w.ShortString(item.PictureKind);
  } else {
    w.ShortString("TDIB");
    w.Bytes(EncodeDib24(item.Picture));
  }
  return w.Take();
}

// The archive replaces the old file whole or not at all.
void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) { WriteFileAtomically(path, bytes); }

}  // namespace

std::vector<std::uint8_t> WritePictureArchiveToMemory(const PictureArchive& archive) {
  ByteWriter w;
  const std::size_t sizeAt = BeginArchive(w, "TPictureCollectionComponent");
  Property(w, "List");
  w.U8(0x0E);
  for (const PictureItemRecord& item : archive.Items) {
    w.U8(0x01);
    Property(w, "Name");
    WriteString(w, item.Name);
    Property(w, "PatternHeight");
    WriteInteger(w, item.PatternHeight);
    Property(w, "PatternWidth");
    WriteInteger(w, item.PatternWidth);
    Property(w, "Picture.Data");
    WriteBinary(w, PictureData(item));
    Property(w, "SkipHeight");
    WriteInteger(w, item.SkipHeight);
    Property(w, "SkipWidth");
    WriteInteger(w, item.SkipWidth);
    Property(w, "SystemMemory");
    WriteBoolean(w, item.SystemMemory);
    Property(w, "Transparent");
    WriteBoolean(w, item.Transparent);
    Property(w, "TransparentColor");
    WriteInteger(w, static_cast<std::int32_t>(item.TransparentColor));
    w.U8(0);  // end of the item's properties
  }
  w.U8(0);  // end of the collection
  if (!archive.ColorTable.empty()) {
    // The table is always 1024 bytes: shorter ones are padded with zeros.
    std::vector<std::uint8_t> table = archive.ColorTable;
    table.resize(1024, 0);
    Property(w, "List.ColorTable");
    WriteBinary(w, table);
  }
  return EndArchive(w, sizeAt);
}

std::vector<std::uint8_t> WriteWaveArchiveToMemory(const WaveArchive& archive) {
  ByteWriter w;
  const std::size_t sizeAt = BeginArchive(w, "TWaveCollectionComponent");
  Property(w, "List");
  w.U8(0x0E);
  for (const WaveItemRecord& item : archive.Items) {
    w.U8(0x01);
    Property(w, "Name");
    WriteString(w, item.Name);
    Property(w, "Looped");
    WriteBoolean(w, item.Looped);
    Property(w, "MaxPlayingCount");
    WriteInteger(w, item.MaxPlayingCount);
    if (item.HasWave) {
      Property(w, "Wave.WAVE");
      WriteBinary(w, MakeRiffWave(item.Format, item.Data));
    }
    w.U8(0);
  }
  w.U8(0);
  return EndArchive(w, sizeAt);
}

void WritePictureArchive(const std::string& path, const PictureArchive& archive) {
  WriteFile(path, WritePictureArchiveToMemory(archive));
}

void WriteWaveArchive(const std::string& path, const WaveArchive& archive) {
  WriteFile(path, WriteWaveArchiveToMemory(archive));
}

}  // namespace kestrune
