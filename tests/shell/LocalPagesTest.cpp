// The game's links open sections of the player's guide the build copies into Docs/.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "shell/LocalPages.h"

namespace kestrune {
namespace {

// Each link's address names the copied guide and a section the guide really has (a renamed
// heading would otherwise leave a link that opens the top of the page).
TEST(LocalPages, EachLinkOpensASectionOfTheCopiedGuide) {
  const std::filesystem::path copied = std::filesystem::absolute("Docs/guide.html");
  std::ifstream in(copied);
  ASSERT_TRUE(in) << copied;
  const std::string html((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  for (TLocalPage page : {TLocalPage::Guide, TLocalPage::Controls, TLocalPage::About, TLocalPage::MoreGames,
                          TLocalPage::Modding, TLocalPage::Licence}) {
    const std::string anchor = LocalPageAnchor(page);
    ASSERT_TRUE(anchor.starts_with("#")) << anchor;
    EXPECT_EQ(LocalPageAddress(page), "file://" + copied.string() + anchor);
    EXPECT_NE(html.find("id=\"" + anchor.substr(1) + "\""), std::string::npos) << anchor << " is not in the guide";
  }
}

// The guide stands alone, offline: it loads nothing from elsewhere, and each of its links goes to
// one of its own sections.
TEST(LocalPages, TheGuideLinksOnlyToItsOwnSections) {
  std::ifstream in("Docs/guide.html");
  ASSERT_TRUE(in);
  const std::string html((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(html.find("src="), std::string::npos);
  EXPECT_EQ(html.find("url("), std::string::npos);
  for (std::size_t at = html.find("href=\""); at != std::string::npos; at = html.find("href=\"", at + 1)) {
    const std::size_t start = at + 6, end = html.find('"', start);
    const std::string target = html.substr(start, end - start);
    ASSERT_TRUE(target.starts_with("#")) << target;
    EXPECT_NE(html.find("id=\"" + target.substr(1) + "\""), std::string::npos) << target << " has no section";
  }
}

}  // namespace
}  // namespace kestrune
