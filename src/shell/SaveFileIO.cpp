#include "shell/SaveFileIO.h"

#include <charconv>
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

void WriteSavedFile(const std::string& path, const std::string& bytes) {
  const std::filesystem::path target(path);
  std::error_code ec;
  if (target.has_parent_path()) std::filesystem::create_directories(target.parent_path(), ec);
  if (ec) throw ESaveFileError(path + " cannot be written: its folder cannot be made (" + ec.message() + ")");
  try {
    WriteFileAtomically(path, bytes);
  } catch (const EKestruneError& e) {
    throw ESaveFileError(path + " cannot be written (" + e.what() + ")");
  }
}

}  // namespace kestrune
