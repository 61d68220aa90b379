#include "framework/ByteStream.h"

#include <algorithm>

#include "framework/Errors.h"

namespace kestrune {

void ByteReader::Require(std::uint64_t n) const {
  if (n > Remaining()) throw EReadError("Stream read error");
}

void ByteReader::Skip(std::uint64_t n) {
  Require(n);
  pos_ += static_cast<std::size_t>(n);
}

void ByteReader::Seek(std::size_t pos) {
  if (pos > size_) throw EReadError("Stream read error");
  pos_ = pos;
}

std::uint8_t ByteReader::PeekU8() const {
  Require(1);
  return data_[pos_];
}

std::uint8_t ByteReader::ReadU8() {
  Require(1);
  return data_[pos_++];
}

std::uint16_t ByteReader::ReadU16() {
  Require(2);
  const std::uint8_t* p = data_ + pos_;
  pos_ += 2;
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t ByteReader::ReadU32() {
  Require(4);
  const std::uint8_t* p = data_ + pos_;
  pos_ += 4;
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

const std::uint8_t* ByteReader::ReadSpan(std::uint64_t n) {
  Require(n);
  const std::uint8_t* p = data_ + pos_;
  pos_ += static_cast<std::size_t>(n);
  return p;
}

std::vector<std::uint8_t> ByteReader::ReadBytes(std::uint64_t n) {
  const std::uint8_t* p = ReadSpan(n);
  return std::vector<std::uint8_t>(p, p + n);
}

std::string ByteReader::ReadShortString() {
  const std::uint8_t n = ReadU8();
  const std::uint8_t* p = ReadSpan(n);
  return std::string(reinterpret_cast<const char*>(p), n);
}

ByteReader ByteReader::SubReader(std::uint64_t n) {
  const std::uint8_t* p = ReadSpan(n);
  return ByteReader(p, static_cast<std::size_t>(n));
}

void ByteWriter::U16(std::uint16_t v) {
  U8(static_cast<std::uint8_t>(v));
  U8(static_cast<std::uint8_t>(v >> 8));
}

void ByteWriter::U32(std::uint32_t v) {
  for (int i = 0; i < 4; ++i) U8(static_cast<std::uint8_t>(v >> (8 * i)));
}

void ByteWriter::ShortString(const std::string& s) {
  const std::size_t n = std::min<std::size_t>(s.size(), 255);
  U8(static_cast<std::uint8_t>(n));
  bytes_.insert(bytes_.end(), s.begin(), s.begin() + static_cast<std::ptrdiff_t>(n));
}

void ByteWriter::PatchU32(std::size_t pos, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) bytes_.at(pos + i) = static_cast<std::uint8_t>(v >> (8 * i));
}

}  // namespace kestrune
