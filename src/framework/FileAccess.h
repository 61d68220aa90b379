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

// The file a path stands for once symbolic links are followed (links to links too); a path that
// is no link comes back as it is, and a link whose target is missing gives that target. A chain
// of more than 40 links is an EFCreateError (ELOOP).
std::string ResolveFileLinks(const std::string& path);

// A new version of a file, written whole and flushed to disk beside the file it will replace
// ("<name>.XXXXXX" in the folder of the file the path's links lead to), but not yet in its
// place. Creating one raises EFCreateError or EWriteError (with SystemError set when the
// system said why) and leaves nothing behind; a folder or a device where the file should be is
// refused. Unless committed or kept, the temporary file is removed when the object goes.
class TStagedFile {
 public:
  TStagedFile(const std::string& path, const std::vector<std::uint8_t>& bytes);
  ~TStagedFile();
  TStagedFile(const TStagedFile&) = delete;
  TStagedFile& operator=(const TStagedFile&) = delete;

  // Renames the temporary file over the target; raises EWriteError, the temporary file then
  // stays until the object goes.
  void Commit();
  // Leaves the temporary file on disk for good (a later start may complete the save with it).
  void Keep() { kept_ = true; }
  // The file that gets replaced (links followed) and the temporary file.
  const std::string& Target() const { return target_; }
  const std::string& TempPath() const { return temp_; }

 private:
  std::string path_;
  std::string target_;
  std::string temp_;
  bool committed_ = false;
  bool kept_ = false;
};

// Flushes a folder's entries to disk, so that the renames done in it survive a power cut.
// Returns false when the folder cannot be flushed.
bool SyncFolder(const std::string& folder);

// The folder holding a file path ("." for a bare name).
std::string FolderOf(const std::string& path);

// True when name is "<base>.XXXXXX" with six letters or digits: the shape of the temporary
// files TStagedFile creates for a file called base.
bool IsStagedFileName(const std::string& name, const std::string& base);

// Replaces the file whole or not at all: a TStagedFile committed at once, then its folder
// flushed. On failure an existing file keeps its old content, no temporary file stays, and
// EFCreateError ("Cannot create file "<path>". <reason>") or EWriteError ("Cannot write file
// "<path>". <reason>") says why. A link is written through: its target is replaced.
void WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes);
void WriteFileAtomically(const std::string& path, const std::string& text);

}  // namespace kestrune
