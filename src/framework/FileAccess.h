#pragma once
// Whole-file reading and writing that is safe against what players' folders may hold: special
// files in place of data, huge files, and a crash or a full disk in the middle of a write.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kestrune {

// The bytes of a regular file of at most maxBytes bytes. Anything else (missing, a folder, a
// FIFO, a device, a link to one of those, a larger file) fails at once with EFOpenError
// "Cannot open file "<path>". <reason>"; opening never blocks.
std::vector<std::uint8_t> ReadRegularFile(const std::string& path, std::uint64_t maxBytes);

// The bytes of a whole file read straight into memory of their own: no zeroing first, no staging
// buffer. For large files that are parsed and then dropped (the archives).
class TFileBytes {
 public:
  TFileBytes() = default;
  TFileBytes(std::unique_ptr<std::uint8_t[]> bytes, std::size_t size)
      : bytes_(std::move(bytes)), size_(size) {}
  const std::uint8_t* data() const { return bytes_.get(); }
  std::size_t size() const { return size_; }

 private:
  std::unique_ptr<std::uint8_t[]> bytes_;
  std::size_t size_ = 0;
};

// As ReadRegularFile, with the same checks and errors.
TFileBytes ReadRegularFileBytes(const std::string& path, std::uint64_t maxBytes);

// Replaces the file whole or not at all: the bytes go to a temporary file in the same folder,
// which is flushed to disk and then renamed over the old file. On failure the temporary file is
// removed, an existing file keeps its old content, and EFCreateError ("Cannot create file
// "<path>". <reason>") or EWriteError ("Cannot write file "<path>". <reason>") says why. Only
// a regular file is replaced: a folder, a link or a device in its place is an EFCreateError.
void WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes);
void WriteFileAtomically(const std::string& path, const std::string& text);

}  // namespace kestrune
