#pragma once
// A bad input file of the pack tool: the message names the file (and the line, for manifests).

#include <stdexcept>
#include <string>

namespace kestrune::pack {

class PackError : public std::runtime_error {
 public:
  PackError(const std::string& file, const std::string& message)
      : std::runtime_error(file + ": " + message) {}
};

}  // namespace kestrune::pack
