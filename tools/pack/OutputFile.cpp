#include "OutputFile.h"

#include <cstdio>

#include "PackError.h"
#include "framework/Errors.h"
#include "framework/FileAccess.h"

namespace kestrune::pack {

void WriteOutputFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  try {
    WriteFileAtomically(path, bytes);
  } catch (const EKestruneError& e) {
    throw PackError(path, e.what());
  }
}

void WrittenFiles::Write(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  WriteOutputFile(path, bytes);
  paths_.push_back(path);
}

std::size_t WrittenFiles::Discard() {
  for (const std::string& path : paths_) std::remove(path.c_str());
  const std::size_t n = paths_.size();
  paths_.clear();
  return n;
}

}  // namespace kestrune::pack
