#pragma once
// Reading and writing the small text files the game keeps between runs. Reads are capped, so a
// huge or binary file costs nothing; writes replace a file whole or not at all, so a crash, a
// kill or a full disk while saving leaves either the old file or the new one.

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace kestrune {

class TStagedFile;
class EKestruneError;

// A saved file that cannot be written; the message names the file and the reason.
class ESaveFileError : public std::runtime_error {
 public:
  ESaveFileError(const std::string& path, const std::string& reason)
      : std::runtime_error(path + " cannot be written (" + reason + ")"), Path(path), Reason(reason) {}
  std::string Path;    // the file as the game names it
  std::string Reason;  // why, in plain words: "the disk is full"
};

// Why a file operation failed, in words a player understands.
std::string PlainReason(const EKestruneError& error);

// The longest line a saved file may hold; longer lines are not read.
inline constexpr std::size_t kMaxSavedLine = 255;

// The result of reading a saved file: whether it was there at all, why it could not be read (a
// folder or a device in its place, more than maxBytes, a read error), and its bytes.
struct TSavedFileContents {
  bool Exists = false;
  std::string Problem;  // empty when the file was read
  std::string Bytes;
};
TSavedFileContents ReadSavedFile(const std::string& path, std::size_t maxBytes = 1 << 20);

// Splits text into lines ending in CR LF, LF or CR alone (a last line without an end counts too).
// Lines longer than kMaxSavedLine come back as nullopt.
std::vector<std::optional<std::string>> SplitSavedLines(const std::string& bytes);

// A whole line as a signed 32-bit decimal number (blanks around it allowed, an empty line is 0);
// nullopt when it holds anything else or does not fit.
std::optional<std::int32_t> ParseSavedNumber(const std::string& line);

// True when the line holds no control characters (bytes below 32, or 127).
bool IsPlainText(const std::string& line);
// True when the line holds only bytes 32..255, every byte a table's check string can hold.
bool IsCheckText(const std::string& line);

// Replaces the file whole or not at all (a temporary file in the same folder, flushed, then
// renamed over the old one, and the folder flushed); a link is written through (its target is
// replaced, in the target's folder). Creates the folder when it is missing. Raises
// ESaveFileError; the old file is then untouched.
void WriteSavedFile(const std::string& path, const std::string& bytes);

// The first half of WriteSavedFile: the new bytes written and flushed beside the file (its
// folder made when missing), ready to replace it with CommitSavedFile. Raises ESaveFileError.
std::unique_ptr<TStagedFile> StageSavedFile(const std::string& path, const std::string& bytes);
// Puts a staged file in its place; raises ESaveFileError (the staged file then stays staged).
void CommitSavedFile(TStagedFile& staged, const std::string& path);

}  // namespace kestrune
