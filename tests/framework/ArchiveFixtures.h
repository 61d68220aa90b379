#pragma once
// Byte-by-byte builders for archive fixtures, written independently of the archive writer so
// that reader tests do not depend on it.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace kestrune::fixtures {

struct Bytes {
  std::vector<std::uint8_t> v;

  Bytes& u8(std::uint32_t x) {
    v.push_back(static_cast<std::uint8_t>(x));
    return *this;
  }
  Bytes& u16(std::uint32_t x) { return u8(x).u8(x >> 8); }
  Bytes& u32(std::uint32_t x) { return u16(x).u16(x >> 16); }
  Bytes& raw(const std::string& s) {
    v.insert(v.end(), s.begin(), s.end());
    return *this;
  }
  Bytes& raw(const std::vector<std::uint8_t>& b) {
    v.insert(v.end(), b.begin(), b.end());
    return *this;
  }
  Bytes& list(std::initializer_list<std::uint32_t> xs) {
    for (auto x : xs) u8(x);
    return *this;
  }
  Bytes& sstr(const std::string& s) { return u8(static_cast<std::uint32_t>(s.size())).raw(s); }

  // Property name followed by a tagged value.
  Bytes& prop(const std::string& name) { return sstr(name); }
  Bytes& int8(std::int32_t x) { return u8(0x02).u8(static_cast<std::uint32_t>(x)); }
  Bytes& int32(std::int32_t x) { return u8(0x04).u32(static_cast<std::uint32_t>(x)); }
  Bytes& str(const std::string& s) { return u8(0x06).sstr(s); }
  Bytes& ident(const std::string& s) { return u8(0x07).sstr(s); }
  Bytes& binary(const std::vector<std::uint8_t>& b) {
    return u8(0x0A).u32(static_cast<std::uint32_t>(b.size())).raw(b);
  }
};

// Resource header, signature, root class and instance name: the start of every archive.
inline Bytes ArchiveStart(const std::string& rootClass = "TPictureCollectionComponent",
                          const std::string& instance = "") {
  Bytes b;
  b.u8(0xFF).u16(0x000A).raw("ROOT").u8(0).u16(0x1030).u32(0).raw("TPF0");
  b.sstr(rootClass).sstr(instance);
  return b;
}

// Closes the root's property list and its empty child list.
inline std::vector<std::uint8_t> ArchiveEnd(Bytes b) {
  b.u8(0).u8(0);
  return b.v;
}

// A 40-byte DIB info header.
inline Bytes InfoHeader(std::int32_t width, std::int32_t height, int bits, std::uint32_t compression = 0,
                        std::uint32_t colorsUsed = 0, std::uint32_t sizeImage = 0) {
  Bytes b;
  b.u32(40).u32(static_cast<std::uint32_t>(width)).u32(static_cast<std::uint32_t>(height)).u16(1).u16(bits);
  b.u32(compression).u32(sizeImage).u32(0).u32(0).u32(colorsUsed).u32(0);
  return b;
}

// "Picture.Data" payload of kind TDIB.
inline std::vector<std::uint8_t> TdibPayload(const std::vector<std::uint8_t>& dib) {
  Bytes b;
  b.sstr("TDIB").raw(dib);
  return b.v;
}

// A picture archive with one item whose properties are given as raw bytes.
inline std::vector<std::uint8_t> OneItemArchive(const Bytes& itemProperties,
                                                const std::string& instance = "") {
  Bytes b = ArchiveStart("TPictureCollectionComponent", instance);
  b.prop("List").u8(0x0E).u8(0x01).raw(itemProperties.v).u8(0).u8(0);
  return ArchiveEnd(b);
}

}  // namespace kestrune::fixtures
