#include "shell/SaveFileIO.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>

#include "framework/Errors.h"
#include "framework/FileAccess.h"

namespace kestrune {

TSavedFileContents ReadSavedFile(const std::string& path, std::size_t maxBytes) {
  TSavedFileContents out;
  if (path.empty()) return out;
  std::error_code ec;
  const std::filesystem::file_status status = std::filesystem::status(path, ec);
  if (!std::filesystem::exists(status)) return out;
  out.Exists = true;
  if (std::filesystem::is_directory(status)) {
    out.Problem = "is a folder, not a file";
    return out;
  }
  // A regular file only (never a device or a pipe that would block), and no larger than a
  // saved file can sensibly be.
  try {
    out.Bytes = [&] {
      const std::vector<std::uint8_t> bytes = ReadRegularFile(path, maxBytes);
      return std::string(bytes.begin(), bytes.end());
    }();
  } catch (const std::exception& e) {
    out.Problem = std::string("cannot be read (") + e.what() + ")";
  }
  return out;
}

std::vector<std::optional<std::string>> SplitSavedLines(const std::string& bytes) {
  std::vector<std::optional<std::string>> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    // A line ends at CR LF, LF or a CR alone (old Mac editors write those).
    std::size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string::npos) end = bytes.size();
    if (end - start > kMaxSavedLine) {
      lines.emplace_back(std::nullopt);
    } else {
      lines.emplace_back(bytes.substr(start, end - start));
    }
    std::size_t next = end + 1;
    if (end < bytes.size() && bytes[end] == '\r' && next < bytes.size() && bytes[next] == '\n') ++next;
    start = next;
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

bool IsCheckText(const std::string& line) {
  for (const char c : line)
    if (static_cast<unsigned char>(c) < 32) return false;
  return true;
}

std::string PlainReason(const EKestruneError& error) {
  switch (error.SystemError) {
    case 0:
      return std::string(error.what()).find("Not a regular file") != std::string::npos
                 ? "something other than a file is in its place"
                 : error.what();
    case ENOSPC:
      return "the disk is full";
    case EDQUOT:
      return "the disk quota is used up";
    case EFBIG:
      return "the file is larger than the system allows";
    case EROFS:
      return "the disk is read-only";
    case EACCES:
    case EPERM:
      return "the game is not allowed to write there";
    case EISDIR:
      return "a folder is in its place";
    case ENOENT:
    case ENOTDIR:
      return "its folder is missing";
    case ELOOP:
      return "its links lead round in a circle";
    case EIO:
      return "the disk reported an error";
    default: {
      std::string reason = std::strerror(error.SystemError);
      if (!reason.empty() && reason[0] >= 'A' && reason[0] <= 'Z') reason[0] = static_cast<char>(reason[0] - 'A' + 'a');
      return reason;
    }
  }
}

std::unique_ptr<TStagedFile> StageSavedFile(const std::string& path, const std::string& bytes) {
  // The folder the file lands in: a link's target folder is the player's and is not made.
  const std::filesystem::path target(path);
  std::error_code ec;
  if (target.has_parent_path()) std::filesystem::create_directories(target.parent_path(), ec);
  if (ec) {
    EKestruneError error(ec.message());
    error.SystemError = ec.value();
    throw ESaveFileError(path, "its folder cannot be made: " + PlainReason(error));
  }
  try {
    return std::make_unique<TStagedFile>(path, std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
  } catch (const EKestruneError& e) {
    throw ESaveFileError(path, PlainReason(e));
  }
}

void CommitSavedFile(TStagedFile& staged, const std::string& path) {
  try {
    staged.Commit();
  } catch (const EKestruneError& e) {
    throw ESaveFileError(path, PlainReason(e));
  }
}

void WriteSavedFile(const std::string& path, const std::string& bytes) {
  const std::unique_ptr<TStagedFile> staged = StageSavedFile(path, bytes);
  CommitSavedFile(*staged, path);
  SyncFolder(FolderOf(staged->Target()));
}

}  // namespace kestrune
