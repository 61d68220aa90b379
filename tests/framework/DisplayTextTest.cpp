#include "framework/DisplayText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kestrune {
namespace {

TEST(DisplayText, EscapesWhatATerminalWouldObey) {
  const std::pair<std::string, std::string> cases[] = {
      {"Image 'Tiles' not found", "Image 'Tiles' not found"},
      {"Bad\x1b[2Jname\a", "Bad\\x1B[2Jname\\x07"},
      {"line\nbreak\x7f", "line\\x0Abreak\\x7F"},
      {"caf\xC3\xA9 \xE2\x82\xAC", "caf\xC3\xA9 \xE2\x82\xAC"},  // UTF-8 text stays
      {"\x9B" "31m", "\\x9B31m"},                                  // 8-bit CSI
      {"\xC2\x9B" "31m", "\\xC2\\x9B31m"},                         // the same, UTF-8 encoded
      {"Latin-1 \xE9t\xE9", "Latin-1 \\xE9t\\xE9"},                // not UTF-8
      {"cut \xE2\x82", "cut \\xE2\\x82"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(EscapeForDisplay(in), out) << in;
}

TEST(DisplayText, WrapsAtSpacesAndCutsOverlongWords) {
  EXPECT_EQ(WrapLines("one two three four", 9), "one two\nthree\nfour");
  EXPECT_EQ(WrapLines("abcdefghij", 4), "abcd\nefgh\nij");
  EXPECT_EQ(WrapLines("kept\nbreaks", 20), "kept\nbreaks");
  // Widths count characters, and a cut never splits one.
  EXPECT_EQ(WrapLines("\xC3\xA9\xC3\xA9\xC3\xA9", 2), "\xC3\xA9\xC3\xA9\n\xC3\xA9");
}

TEST(DisplayText, AFilesWarningsAreCappedWithACountOfTheRest) {
  auto lines = [](int n) {
    std::vector<std::string> out;
    for (int i = 1; i <= n; ++i) out.push_back("line " + std::to_string(i));
    return out;
  };
  struct Case {
    int warnings;
    std::size_t shown;
    std::string last;
  };
  const Case cases[] = {{0, 0, ""}, {5, 5, "line 5"}, {6, 6, "... and 1 more"}, {32000, 6, "... and 31995 more"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.warnings);
    const std::vector<std::string> shown = CapWarnings(lines(c.warnings));
    ASSERT_EQ(shown.size(), c.shown);
    if (c.shown == 0) continue;
    EXPECT_EQ(shown.front(), "line 1");
    EXPECT_EQ(shown.back(), c.last);
  }
}

}  // namespace
}  // namespace kestrune
