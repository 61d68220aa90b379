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

void WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  // Only a regular file may be replaced: renaming over a device or a link would not write
  // through it but remove it.
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
    throw EFCreateError("Cannot create file \"" + path + "\". " +
                        (S_ISDIR(st.st_mode) ? std::strerror(EISDIR) : "Not a regular file"));
  std::string temp = path + ".XXXXXX";
  FileDescriptor file{::mkstemp(temp.data())};
  if (file.fd < 0) throw EFCreateError("Cannot create file \"" + path + "\". " + std::strerror(errno));
  ::fcntl(file.fd, F_SETFD, FD_CLOEXEC);
  auto fail = [&](int error) {
    ::close(file.fd);
    file.fd = -1;
    ::unlink(temp.c_str());
    throw EWriteError("Cannot write file \"" + path + "\". " + std::strerror(error));
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
    throw EWriteError("Cannot write file \"" + path + "\". " + std::strerror(error));
  }
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    const int error = errno;
    ::unlink(temp.c_str());
    throw EWriteError("Cannot write file \"" + path + "\". " + std::strerror(error));
  }
}

void WriteFileAtomically(const std::string& path, const std::string& text) {
  WriteFileAtomically(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

}  // namespace kestrune
