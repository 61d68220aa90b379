#pragma once
// Output files of the pack tool: each is written to a temporary file beside it and renamed into
// place, so a failed write (a full disk) never leaves a truncated file or destroys the old one.

#include <cstdint>
#include <string>
#include <vector>

namespace kestrune::pack {

// Fails with PackError naming the file and the reason.
void WriteOutputFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

// The files one command wrote so far; when the command fails, Discard removes them again so
// that a failed extract leaves no partial set behind.
class WrittenFiles {
 public:
  void Write(const std::string& path, const std::vector<std::uint8_t>& bytes);
  void Add(const std::string& path) { paths_.push_back(path); }
  // Removes every file written; returns how many there were.
  std::size_t Discard();

 private:
  std::vector<std::string> paths_;
};

}  // namespace kestrune::pack
