#pragma once
// Whole-file reading and writing that is safe against what players' folders may hold: special
// files in place of data, huge files, and a crash or a full disk in the middle of a write.

#include <cstdint>
#include <string>
#include <vector>

namespace kestrune {

// The bytes of a regular file of at most maxBytes bytes. Anything else (missing, a folder, a
// FIFO, a device, a link to one of those, a larger file) fails at once with EFOpenError
// "Cannot open file "<path>". <reason>"; opening never blocks.
std::vector<std::uint8_t> ReadRegularFile(const std::string& path, std::uint64_t maxBytes);

// Replaces the file whole or not at all: the bytes go to a temporary file in the same folder,
// which is flushed to disk and then renamed over the old file. On failure the temporary file is
// removed, an existing file keeps its old content, and EFCreateError ("Cannot create file
// "<path>". <reason>") or EWriteError ("Cannot write file "<path>". <reason>") says why. Only
// a regular file is replaced: a folder, a link or a device in its place is an EFCreateError.
void WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes);
void WriteFileAtomically(const std::string& path, const std::string& text);

}  // namespace kestrune
