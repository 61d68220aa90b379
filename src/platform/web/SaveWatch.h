#pragma once
// Tells when the game has written its save folder, so the browser's persistent copy of it is
// brought up to date after each save: the files' names, sizes and times of last writing are
// compared with what they were at the last look.

#include <string>

namespace kestrune {

class SaveWatch {
 public:
  explicit SaveWatch(std::string folder);
  // True when a file in the folder was added, removed or written since the last call (or since
  // the watch began).
  bool Changed();

 private:
  std::string Fingerprint() const;
  std::string folder_;
  std::string last_;
};

}  // namespace kestrune
