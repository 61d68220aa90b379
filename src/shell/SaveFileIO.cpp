#include "shell/SaveFileIO.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>

namespace kestrune {
namespace {

std::string Reason(int error) { return std::strerror(error); }

// Closes a descriptor when it goes out of scope.
struct FileDescriptor {
  int Fd = -1;
  ~FileDescriptor() {
    if (Fd >= 0) ::close(Fd);
  }
};

}  // namespace

TSavedFileContents ReadSavedFile(const std::string& path, std::size_t maxBytes) {
  TSavedFileContents out;
  if (path.empty()) return out;
  FileDescriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
  if (file.Fd < 0) {
    if (errno != ENOENT && errno != ENOTDIR) {
      out.Exists = true;
      out.Problem = "cannot be opened (" + Reason(errno) + ")";
    }
    return out;
  }
  out.Exists = true;
  struct stat info {};
  if (::fstat(file.Fd, &info) == 0 && S_ISDIR(info.st_mode)) {
    out.Problem = "is a folder, not a file";
    return out;
  }
  out.Bytes.resize(maxBytes);
  std::size_t got = 0;
  while (got < maxBytes) {
    const ssize_t n = ::read(file.Fd, out.Bytes.data() + got, maxBytes - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      out.Problem = "cannot be read (" + Reason(errno) + ")";
      out.Bytes.clear();
      return out;
    }
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  out.Bytes.resize(got);
  return out;
}

std::vector<std::optional<std::string>> SplitSavedLines(const std::string& bytes) {
  std::vector<std::optional<std::string>> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    const bool last = end == std::string::npos;
    if (last) end = bytes.size();
    std::size_t contentEnd = end;
    if (!last && contentEnd > start && bytes[contentEnd - 1] == '\r') --contentEnd;
    if (contentEnd - start > kMaxSavedLine) {
      lines.emplace_back(std::nullopt);
    } else {
      lines.emplace_back(bytes.substr(start, contentEnd - start));
    }
    start = end + 1;
  }
  return lines;
}

std::optional<std::int32_t> ParseSavedNumber(const std::string& line) {
  std::size_t first = line.find_first_not_of(" \t");
  if (first == std::string::npos) return 0;
  const std::size_t last = line.find_last_not_of(" \t");
  const char* begin = line.data() + first;
  const char* end = line.data() + last + 1;
  if (*begin == '+') ++begin;
  std::int32_t value = 0;
  const auto [ptr, ec] = std::from_chars(begin, end, value);
  if (ec != std::errc() || ptr != end) return std::nullopt;
  return value;
}

bool IsPlainText(const std::string& line) {
  for (const char c : line) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 32 || byte == 127) return false;
  }
  return true;
}

void WriteFileAtomically(const std::string& path, const std::string& bytes) {
  const std::filesystem::path target(path);
  const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) throw ESaveFileError(path + " cannot be written: the folder cannot be made (" + ec.message() + ")");

  // A unique name in the same folder, so the rename stays on one file system and two writers
  // never share a temporary file.
  std::string temporary = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
  FileDescriptor file{::mkstemp(temporary.data())};
  if (file.Fd < 0) throw ESaveFileError(path + " cannot be written (" + Reason(errno) + ")");
  auto fail = [&](int error) {
    ::unlink(temporary.c_str());
    throw ESaveFileError(path + " cannot be written (" + Reason(error) + ")");
  };
  ::fchmod(file.Fd, 0644);
  std::size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t n = ::write(file.Fd, bytes.data() + written, bytes.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) fail(n < 0 ? errno : ENOSPC);
    written += static_cast<std::size_t>(n);
  }
  if (::fsync(file.Fd) != 0) fail(errno);
  const int fd = file.Fd;
  file.Fd = -1;
  if (::close(fd) != 0) fail(errno);
  if (::rename(temporary.c_str(), path.c_str()) != 0) fail(errno);
  // The rename itself reaches the disk with the folder's entry.
  FileDescriptor dir{::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
  if (dir.Fd >= 0) ::fsync(dir.Fd);
}

}  // namespace kestrune
