#include "app/ScriptOutputPath.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

namespace kestrune {
namespace fs = std::filesystem;
namespace {

// True when the file starts with the PNG signature. Opened without following a link and without
// blocking, so a FIFO put there cannot hang the run.
bool IsPngFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY);
  if (fd < 0) return false;
  struct stat st {};
  unsigned char head[8] = {};
  const bool png = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::read(fd, head, sizeof head) == 8 &&
                   std::memcmp(head, "\x89PNG\r\n\x1a\n", 8) == 0;
  ::close(fd);
  return png;
}

}  // namespace

std::string ScriptFileNameProblem(const std::string& name) {
  if (name.empty()) return "an empty file name";
  const fs::path path(name);
  if (path.is_absolute() || name[0] == '/') return "an absolute path (only names inside the output folder)";
  for (const fs::path& part : path)
    if (part == "..") return "a '..' in the path (only names inside the output folder)";
  return {};
}

std::string ScriptOutputPath(const std::string& folder, const std::string& name, std::string& problem) {
  problem = ScriptFileNameProblem(name);
  if (!problem.empty()) return {};
  const fs::path relative = fs::path(name).lexically_normal();
  if (!relative.has_filename()) {
    problem = "a folder, not a file name";
    return {};
  }
  // Every folder on the way must be a real folder: a link could lead out of the output folder.
  fs::path at = folder.empty() ? fs::path(".") : fs::path(folder);
  for (const fs::path& part : relative.parent_path()) {
    if (part == ".") continue;
    at /= part;
    struct stat st {};
    if (::lstat(at.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) {
      problem = "'" + at.string() + "' is not a folder";
      return {};
    }
  }
  const fs::path target = at / relative.filename();
  struct stat st {};
  if (::lstat(target.c_str(), &st) == 0 && !IsPngFile(target.string())) {
    problem = "'" + target.string() + "' exists and is not a PNG picture";
    return {};
  }
  return target.string();
}

}  // namespace kestrune
