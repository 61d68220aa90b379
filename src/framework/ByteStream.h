#pragma once
// Little-endian byte readers and writers for the archive formats. The reader never reads past
// the end of its data: every read checks what remains first and fails with EReadError
// "Stream read error" when the data runs out, so hostile lengths cannot cause an overread or
// an allocation larger than the input itself.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kestrune {

class ByteReader {
 public:
  ByteReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  explicit ByteReader(const std::vector<std::uint8_t>& bytes) : ByteReader(bytes.data(), bytes.size()) {}

  std::size_t Position() const { return pos_; }
  std::size_t Size() const { return size_; }
  std::size_t Remaining() const { return size_ - pos_; }
  bool AtEnd() const { return pos_ >= size_; }

  // Fails with "Stream read error" when fewer than n bytes remain.
  void Require(std::uint64_t n) const;
  void Skip(std::uint64_t n);
  void Seek(std::size_t pos);

  std::uint8_t PeekU8() const;
  std::uint8_t ReadU8();
  std::uint16_t ReadU16();
  std::uint32_t ReadU32();
  std::int8_t ReadI8() { return static_cast<std::int8_t>(ReadU8()); }
  std::int16_t ReadI16() { return static_cast<std::int16_t>(ReadU16()); }
  std::int32_t ReadI32() { return static_cast<std::int32_t>(ReadU32()); }

  // A view of the next n bytes, which are consumed.
  const std::uint8_t* ReadSpan(std::uint64_t n);
  std::vector<std::uint8_t> ReadBytes(std::uint64_t n);
  // One length byte, then that many bytes.
  std::string ReadShortString();
  // A sub-reader over the next n bytes, which are consumed.
  ByteReader SubReader(std::uint64_t n);

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

class ByteWriter {
 public:
  void U8(std::uint8_t v) { bytes_.push_back(v); }
  void U16(std::uint16_t v);
  void U32(std::uint32_t v);
  void I32(std::int32_t v) { U32(static_cast<std::uint32_t>(v)); }
  void Bytes(const std::uint8_t* p, std::size_t n) { bytes_.insert(bytes_.end(), p, p + n); }
  void Bytes(const std::vector<std::uint8_t>& v) { bytes_.insert(bytes_.end(), v.begin(), v.end()); }
  void Text(const std::string& s) { bytes_.insert(bytes_.end(), s.begin(), s.end()); }
  // One length byte, then the bytes; the text must be at most 255 bytes long.
  void ShortString(const std::string& s);
  // Overwrites 4 bytes already written at pos.
  void PatchU32(std::size_t pos, std::uint32_t v);

  std::size_t Size() const { return bytes_.size(); }
  const std::vector<std::uint8_t>& Data() const { return bytes_; }
  std::vector<std::uint8_t> Take() { return std::move(bytes_); }

 private:
  std::vector<std::uint8_t> bytes_;
};

}  // namespace kestrune
