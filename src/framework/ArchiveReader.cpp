// Reader of picture archives (.dxg) and sound archives (.dxw): a component resource holding a
// tagged property stream whose root has one collection property, "List".

#include <strings.h>

#include <algorithm>
#include <cstring>
#include <functional>

#include "framework/ArchiveIO.h"
#include "framework/ByteStream.h"
#include "framework/ColorNames.h"
#include "framework/DibCodec.h"
#include "framework/Errors.h"
#include "framework/FileAccess.h"
#include "framework/PatternLayout.h"
#include "framework/RiffWave.h"

namespace kestrune {
namespace {

// Value tags of the property stream.
enum Tag : std::uint8_t {
  kNull = 0x00,
  kList = 0x01,
  kInt8 = 0x02,
  kInt16 = 0x03,
  kInt32 = 0x04,
  kString = 0x06,
  kIdent = 0x07,
  kFalse = 0x08,
  kTrue = 0x09,
  kBinary = 0x0A,
  kLString = 0x0C,
  kNil = 0x0D,
  kCollection = 0x0E,
  kWString = 0x12,
  kUtf8String = 0x14,
};

[[noreturn]] void InvalidValue() { throw EReadError("Invalid property value"); }
[[noreturn]] void InvalidFormat() { throw EReadError("Invalid stream format"); }

// Property names are matched without regard to letter case, as property lookup does.
bool SameText(const std::string& a, const char* b) {
  return a.size() == std::strlen(b) && strncasecmp(a.data(), b, a.size()) == 0;
}

void AppendUtf8(std::string& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Tagged values. Each reader accepts the tags its property type can take and fails with
// "Invalid property value" for any other.
class ValueReader {
 public:
  explicit ValueReader(ByteReader& in) : in_(in) {}

  std::int32_t Integer() {
    switch (in_.ReadU8()) {
      case kInt8:
        return in_.ReadI8();
      case kInt16:
        return in_.ReadI16();
      case kInt32:
        return in_.ReadI32();
      default:
        InvalidValue();
    }
  }

  std::string String() {
    switch (in_.ReadU8()) {
      case kString:
        return in_.ReadShortString();
      case kLString:
      case kUtf8String: {
        const std::uint32_t n = in_.ReadU32();
        const std::uint8_t* p = in_.ReadSpan(n);
        return std::string(reinterpret_cast<const char*>(p), n);
      }
      case kWString:
        return WideString();
      default:
        InvalidValue();
    }
  }

  bool Boolean() {
    switch (in_.ReadU8()) {
      case kFalse:
        return false;
      case kTrue:
        return true;
      case kIdent: {
        const std::string ident = in_.ReadShortString();
        if (SameText(ident, "False")) return false;
        if (SameText(ident, "True")) return true;
        InvalidValue();
      }
      default:
        InvalidValue();
    }
  }

  std::uint32_t Color() {
    const std::uint8_t tag = in_.PeekU8();
    if (tag == kIdent) {
      in_.ReadU8();
      const auto color = ColorFromIdent(in_.ReadShortString());
      if (!color) InvalidValue();
      return *color;
    }
    return static_cast<std::uint32_t>(Integer());
  }

  ByteReader Binary() {
    if (in_.ReadU8() != kBinary) InvalidValue();
    const std::uint32_t n = in_.ReadU32();
    return in_.SubReader(n);
  }

 private:
  std::string WideString() {
    const std::uint32_t count = in_.ReadU32();
    const std::uint8_t* p = in_.ReadSpan(std::uint64_t{count} * 2);
    std::string out;
    for (std::uint32_t i = 0; i < count; ++i) {
      std::uint32_t u = p[2 * i] | (p[2 * i + 1] << 8);
      if (u >= 0xD800 && u < 0xDC00 && i + 1 < count) {
        const std::uint32_t lo = p[2 * i + 2] | (p[2 * i + 3] << 8);
        if (lo >= 0xDC00 && lo < 0xE000) {
          u = 0x10000 + ((u - 0xD800) << 10) + (lo - 0xDC00);
          ++i;
        }
      }
      if (u >= 0xD800 && u < 0xE000) u = 0xFFFD;  // an unpaired surrogate
      AppendUtf8(out, u);
    }
    return out;
  }

  ByteReader& in_;
};

// Runs one property read; any failure becomes "Error reading <object>.<property>: <message>".
template <class F>
void ReadInContext(const std::string& objectName, const std::string& property, F&& read) {
  try {
    read();
  } catch (const EKestruneError& e) {
    throw EReadError("Error reading " + objectName + "." + property + ": " + e.what());
  }
}

// What differs between the two archive kinds.
struct CollectionFormat {
  const char* rootClass;
  const char* itemClass;
  std::function<void()> clearItems;
  std::function<int()> itemCount;
  std::function<void()> newItem;
  // Reads the value of an item property; false when the item has no such property.
  std::function<bool(const std::string&, ValueReader&)> itemProperty;
  // Root properties other than "List"; false when there is no such property.
  std::function<bool(const std::string&, ValueReader&)> rootProperty;
  // Checks an item once all its properties are read (may be empty).
  std::function<void()> endItem;
};

void ReadResourceHeader(ByteReader& in) {
  // The header is at most 79 bytes: 0xFF, type 10, a name of up to 75 bytes and its zero,
  // flags and size. The signature follows.
  const std::size_t window = std::min<std::size_t>(79, in.Size());
  if (window < 3) InvalidFormat();
  ByteReader head = in;
  if (head.ReadU8() != 0xFF || head.ReadU16() != 0x000A) InvalidFormat();
  std::size_t nameEnd = 3;
  ByteReader scan = in;
  scan.Skip(3);
  while (nameEnd < window && scan.ReadU8() != 0) ++nameEnd;
  if (nameEnd >= window) InvalidFormat();
  const std::size_t signature = nameEnd + 7;
  if (signature + 4 > in.Size()) InvalidFormat();
  in.Seek(signature);
  const std::uint8_t* sig = in.ReadSpan(4);
  if (std::memcmp(sig, "TPF0", 4) != 0) InvalidFormat();
}

void ReadList(ByteReader& in, ValueReader& values, const CollectionFormat& kind) {
  if (in.ReadU8() != kCollection) InvalidValue();
  bool first = true;
  for (;;) {
    const std::uint8_t next = in.PeekU8();
    if (next == kNull) {
      in.ReadU8();
      return;
    }
    if (next == kInt8 || next == kInt16 || next == kInt32) values.Integer();  // order number, unused
    if (in.ReadU8() != kList) InvalidValue();
    if (first && kind.itemCount() > 0) kind.clearItems();
    first = false;
    kind.newItem();
    for (;;) {
      const std::string property = in.ReadShortString();
      if (property.empty()) break;
      // Collection items have no object name of their own (their Name is just a property), so
      // errors always name them by their class.
      ReadInContext(kind.itemClass, property, [&] {
        if (!kind.itemProperty(property, values))
          throw EReadError("Property " + property + " does not exist");
      });
    }
    if (kind.endItem) kind.endItem();
  }
}

void ReadArchive(const std::uint8_t* data, std::size_t size, const CollectionFormat& kind) {
  ByteReader in(data, size);
  ReadResourceHeader(in);
  ValueReader values(in);
  if (in.PeekU8() >= 0xF0) {
    const std::uint8_t flags = in.ReadU8();
    if (flags & 2) values.Integer();  // position of an inherited component, unused
  }
  in.ReadShortString();  // class name; the root's class is fixed by the archive kind
  std::string rootName = in.ReadShortString();
  if (rootName.empty()) rootName = kind.rootClass;
  for (;;) {
    const std::string property = in.ReadShortString();
    if (property.empty()) break;
    ReadInContext(rootName, property, [&] {
      if (SameText(property, "List"))
        ReadList(in, values, kind);
      else if (!kind.rootProperty(property, values))
        throw EReadError("Property " + property + " does not exist");
    });
  }
  // The root has no child components: their list is empty.
  if (in.ReadU8() != 0) InvalidFormat();
}

}  // namespace

std::vector<std::uint8_t> ReadArchiveFile(const std::string& path) {
  return ReadRegularFile(path, kMaxArchiveFileBytes);
}

ArchiveContent DetectArchiveContent(const std::vector<std::uint8_t>& bytes) {
  try {
    ByteReader in(bytes);
    ReadResourceHeader(in);
    if (in.PeekU8() >= 0xF0) {
      ValueReader values(in);
      if (in.ReadU8() & 2) values.Integer();
    }
    const std::string rootClass = in.ReadShortString();
    if (rootClass == "TPictureCollectionComponent") return ArchiveContent::Pictures;
    if (rootClass == "TWaveCollectionComponent") return ArchiveContent::Waves;
  } catch (const EKestruneError&) {
  }
  return ArchiveContent::Unknown;
}

PictureArchive ReadPictureArchiveFromMemory(const std::vector<std::uint8_t>& bytes) {
  return ReadPictureArchiveFromMemory(bytes.data(), bytes.size());
}

PictureArchive ReadPictureArchiveFromMemory(const std::uint8_t* data, std::size_t size, PictureDepth depth) {
  PictureArchive archive;
  std::uint64_t pixelBudget = kMaxArchivePixels;
  CollectionFormat kind;
  kind.rootClass = "TPictureCollectionComponent";
  kind.itemClass = "TPictureCollectionItem";
  kind.clearItems = [&] { archive.Items.clear(); };
  kind.itemCount = [&] { return static_cast<int>(archive.Items.size()); };
  kind.newItem = [&] { archive.Items.emplace_back(); };
  kind.itemProperty = [&](const std::string& p, ValueReader& v) {
    PictureItemRecord& item = archive.Items.back();
    if (SameText(p, "Name")) {
      item.Name = v.String();
    } else if (SameText(p, "PatternHeight")) {
      item.PatternHeight = v.Integer();
    } else if (SameText(p, "PatternWidth")) {
      item.PatternWidth = v.Integer();
    } else if (SameText(p, "SkipHeight")) {
      item.SkipHeight = v.Integer();
    } else if (SameText(p, "SkipWidth")) {
      item.SkipWidth = v.Integer();
    } else if (SameText(p, "SystemMemory")) {
      item.SystemMemory = v.Boolean();
    } else if (SameText(p, "Transparent")) {
      item.Transparent = v.Boolean();
    } else if (SameText(p, "TransparentColor")) {
      item.TransparentColor = v.Color();
    } else if (SameText(p, "Picture.Data")) {
      ByteReader data = v.Binary();
      const std::string pictureKind = data.ReadShortString();
      item.PictureKind = pictureKind;
      item.Picture = {};
      item.Picture16 = {};
      // The kind name is compared exactly; kinds other than these two leave the picture empty.
      const bool dib = pictureKind == "TDIB", bitmap = pictureKind == "TBitmap";
      if (depth == PictureDepth::Display16) {
        if (dib) item.Picture16 = DecodeDib16(data, &pixelBudget);
        if (bitmap) item.Picture16 = DecodeBitmapFile16(data, &pixelBudget);
      } else {
        if (dib) item.Picture = DecodeDib(data, &pixelBudget);
        if (bitmap) item.Picture = DecodeBitmapFile(data, &pixelBudget);
      }
    } else {
      return false;
    }
    return true;
  };
  // The patterns the items will be cut into are budgeted as their pixels are; an item's layout
  // is known once all its properties are read.
  TPatternBudget patterns;
  kind.endItem = [&] {
    const PictureItemRecord& item = archive.Items.back();
    const int width = depth == PictureDepth::Display16 ? item.Picture16.Width : item.Picture.Width;
    const int height = depth == PictureDepth::Display16 ? item.Picture16.Height : item.Picture.Height;
    const std::string over =
        patterns.Add(LayPatterns(width, height, item.PatternWidth, item.PatternHeight, item.SkipWidth, item.SkipHeight));
    ReadInContext(kind.itemClass, "PatternWidth", [&] {
      if (!over.empty()) throw EReadError(over);
    });
  };
  kind.rootProperty = [&](const std::string& p, ValueReader& v) {
    if (!SameText(p, "List.ColorTable")) return false;
    ByteReader table = v.Binary();
    archive.ColorTable = table.ReadBytes(1024);
    return true;
  };
  ReadArchive(data, size, kind);
  return archive;
}

WaveArchive ReadWaveArchiveFromMemory(const std::vector<std::uint8_t>& bytes) {
  return ReadWaveArchiveFromMemory(bytes.data(), bytes.size());
}

WaveArchive ReadWaveArchiveFromMemory(const std::uint8_t* data, std::size_t size) {
  WaveArchive archive;
  CollectionFormat kind;
  kind.rootClass = "TWaveCollectionComponent";
  kind.itemClass = "TWaveCollectionItem";
  kind.clearItems = [&] { archive.Items.clear(); };
  kind.itemCount = [&] { return static_cast<int>(archive.Items.size()); };
  kind.newItem = [&] { archive.Items.emplace_back(); };
  kind.itemProperty = [&](const std::string& p, ValueReader& v) {
    WaveItemRecord& item = archive.Items.back();
    if (SameText(p, "Name")) {
      item.Name = v.String();
    } else if (SameText(p, "Looped")) {
      item.Looped = v.Boolean();
    } else if (SameText(p, "MaxPlayingCount")) {
      item.MaxPlayingCount = std::max(0, v.Integer());  // negative counts are stored as 0
    } else if (SameText(p, "Wave.WAVE")) {
      ByteReader payload = v.Binary();
      ParseRiffWave(payload, item);
    } else {
      return false;
    }
    return true;
  };
  kind.rootProperty = [](const std::string&, ValueReader&) { return false; };
  ReadArchive(data, size, kind);
  return archive;
}

// The file is read once, straight into memory of its own, and parsed in place.
PictureArchive ReadPictureArchive(const std::string& path, PictureDepth depth) {
  const TFileBytes bytes = ReadRegularFileBytes(path, kMaxArchiveFileBytes);
  return ReadPictureArchiveFromMemory(bytes.data(), bytes.size(), depth);
}

WaveArchive ReadWaveArchive(const std::string& path) {
  const TFileBytes bytes = ReadRegularFileBytes(path, kMaxArchiveFileBytes);
  return ReadWaveArchiveFromMemory(bytes.data(), bytes.size());
}

}  // namespace kestrune
