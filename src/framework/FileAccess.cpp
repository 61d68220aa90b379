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
