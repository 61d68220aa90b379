#include "framework/FileAccess.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "framework/Errors.h"

namespace kestrune {
namespace {

[[noreturn]] void CannotOpen(const std::string& path, const std::string& reason) {
  throw EFOpenError("Cannot open file \"" + path + "\". " + reason);
}

// Closes the descriptor when it goes out of scope.
struct FileDescriptor {
  int fd = -1;
  explicit FileDescriptor(int f) : fd(f) {}
  FileDescriptor(FileDescriptor&& other) noexcept : fd(other.fd) { other.fd = -1; }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() {
    if (fd >= 0) ::close(fd);
  }
};

// Raises the error with the system's reason appended (when there is one) and its number kept.
template <class Error>
[[noreturn]] void Raise(const std::string& message, int error) {
  Error e(error != 0 ? message + std::strerror(error) : message);
  e.SystemError = error;
  throw e;
}

bool WriteAll(int fd, const std::uint8_t* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

namespace {

// Opens a regular file of at most maxBytes bytes; its size goes to size.
FileDescriptor OpenRegularFile(const std::string& path, std::uint64_t maxBytes, std::size_t& size) {
  // Non-blocking, so that a FIFO in place of the file cannot hang the open.
  FileDescriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY)};
  if (file.fd < 0) CannotOpen(path, std::strerror(errno));
  struct stat st {};
  if (::fstat(file.fd, &st) != 0) CannotOpen(path, std::strerror(errno));
  if (S_ISDIR(st.st_mode)) CannotOpen(path, std::strerror(EISDIR));
  if (!S_ISREG(st.st_mode)) CannotOpen(path, "Not a regular file");
  if (static_cast<std::uint64_t>(st.st_size) > maxBytes)
    CannotOpen(path, "File is too large (" + std::to_string(st.st_size) + " bytes, at most " +
                         std::to_string(maxBytes) + ")");
  size = static_cast<std::size_t>(st.st_size);
  return file;
}

// Reads up to capacity bytes into out; returns how many there were.
std::size_t ReadUpTo(int fd, std::uint8_t* out, std::size_t capacity) {
  std::size_t done = 0;
  while (done < capacity) {
    const ssize_t n = ::read(fd, out + done, capacity - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      throw EReadError("Stream read error");
    }
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  return done;
}

// Reads the whole file into memory sized by grow(bytes) and returns its length. The file is read
// straight into place at its stated size; one that grows while it is read still stops at the cap,
// one that shrinks ends where it ends.
template <class Grow>
std::size_t ReadWhole(const std::string& path, std::uint64_t maxBytes, int fd, std::size_t size,
                      Grow&& grow) {
  std::uint8_t* out = grow(size);
  std::size_t length = ReadUpTo(fd, out, size);
  if (length < size) return length;
  std::uint8_t more[65536];
  for (;;) {
    const std::size_t n = ReadUpTo(fd, more, sizeof more);
    if (n == 0) return length;
    if (length + n > maxBytes) CannotOpen(path, "File is too large");
    out = grow(length + n);
    std::memcpy(out + length, more, n);
    length += n;
  }
}

}  // namespace

std::vector<std::uint8_t> ReadRegularFile(const std::string& path, std::uint64_t maxBytes) {
  std::size_t size = 0;
  FileDescriptor file = OpenRegularFile(path, maxBytes, size);
  std::vector<std::uint8_t> bytes;
  const std::size_t length = ReadWhole(path, maxBytes, file.fd, size, [&](std::size_t n) {
    bytes.resize(n);
    return bytes.data();
  });
  bytes.resize(length);
  return bytes;
}

TFileBytes ReadRegularFileBytes(const std::string& path, std::uint64_t maxBytes) {
  std::size_t size = 0;
  FileDescriptor file = OpenRegularFile(path, maxBytes, size);
  std::unique_ptr<std::uint8_t[]> bytes;
  std::size_t capacity = 0;
  const std::size_t length = ReadWhole(path, maxBytes, file.fd, size, [&](std::size_t n) {
    if (n > capacity) {
      // Only a file that grew since its size was read gets here a second time.
      auto larger = std::make_unique_for_overwrite<std::uint8_t[]>(n);
      if (capacity > 0) std::memcpy(larger.get(), bytes.get(), capacity);
      bytes = std::move(larger);
      capacity = n;
    }
    return bytes.get();
  });
  return TFileBytes(std::move(bytes), length);
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

bool IsStagedFileName(const std::string& name, const std::string& base) {
  if (name.size() != base.size() + 7 || name.compare(0, base.size(), base) != 0 || name[base.size()] != '.')
    return false;
  for (std::size_t i = base.size() + 1; i < name.size(); ++i) {
    const char c = name[i];
    const bool letterOrDigit = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
    if (!letterOrDigit) return false;
  }
  return true;
}

std::string ResolveFileLinks(const std::string& path) {
  std::string current = path;
  for (int hops = 0; hops <= 40; ++hops) {
    struct stat st {};
    if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
    std::string link(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
    const ssize_t n = ::readlink(current.c_str(), link.data(), link.size());
    if (n < 0) return current;
    link.resize(static_cast<std::size_t>(n));
    // A relative link is relative to the folder that holds it.
    const std::size_t slash = current.rfind('/');
    current = (link.front() == '/' || slash == std::string::npos) ? link : current.substr(0, slash + 1) + link;
  }
  Raise<EFCreateError>("Cannot create file \"" + path + "\". ", ELOOP);
}

TStagedFile::TStagedFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
    : path_(path), target_(ResolveFileLinks(path)) {
  // Only a regular file may be replaced: renaming over a folder or a device would not write
  // to it but remove it.
  struct stat st {};
  if (::lstat(target_.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
    if (S_ISDIR(st.st_mode)) Raise<EFCreateError>("Cannot create file \"" + path + "\". ", EISDIR);
    Raise<EFCreateError>("Cannot create file \"" + path + "\". Not a regular file", 0);
  }
  std::string temp = target_ + ".XXXXXX";
  FileDescriptor file{::mkostemp(temp.data(), O_CLOEXEC)};
  if (file.fd < 0) Raise<EFCreateError>("Cannot create file \"" + path + "\". ", errno);
  auto fail = [&](int error) {
    ::close(file.fd);
    file.fd = -1;
    ::unlink(temp.c_str());
    Raise<EWriteError>("Cannot write file \"" + path + "\". ", error);
  };
  // mkstemp creates the file for its owner only; give it the usual permissions.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  ::fchmod(file.fd, 0666 & ~mask);
  if (!WriteAll(file.fd, bytes.data(), bytes.size())) fail(errno);
  if (::fsync(file.fd) != 0) fail(errno);
  const int fd = file.fd;
  file.fd = -1;
  if (::close(fd) != 0) {
    const int error = errno;
    ::unlink(temp.c_str());
    Raise<EWriteError>("Cannot write file \"" + path + "\". ", error);
  }
  temp_ = temp;
}

TStagedFile::~TStagedFile() {
  if (!committed_ && !kept_) ::unlink(temp_.c_str());
}

void TStagedFile::Commit() {
  if (committed_) return;
  if (::rename(temp_.c_str(), target_.c_str()) != 0)
    Raise<EWriteError>("Cannot write file \"" + path_ + "\". ", errno);
  committed_ = true;
}

bool SyncFolder(const std::string& folder) {
  FileDescriptor dir{::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
  return dir.fd >= 0 && ::fsync(dir.fd) == 0;
}

void WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  TStagedFile staged(path, bytes);
  staged.Commit();
  SyncFolder(FolderOf(staged.Target()));
}

void WriteFileAtomically(const std::string& path, const std::string& text) {
  WriteFileAtomically(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

}  // namespace kestrune
