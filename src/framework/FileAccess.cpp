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

std::vector<std::uint8_t> ReadRegularFile(const std::string& path, std::uint64_t maxBytes) {
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
  std::vector<std::uint8_t> bytes;
  bytes.reserve(static_cast<std::size_t>(st.st_size));
  std::uint8_t buffer[65536];
  for (;;) {
    const ssize_t n = ::read(file.fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      throw EReadError("Stream read error");
    }
    if (n == 0) break;
    // A file that grows while it is read still stops at the cap.
    if (bytes.size() + static_cast<std::size_t>(n) > maxBytes) CannotOpen(path, "File is too large");
    bytes.insert(bytes.end(), buffer, buffer + n);
  }
  return bytes;
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
