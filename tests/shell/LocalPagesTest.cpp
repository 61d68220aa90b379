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

}  // namespace
}  // namespace kestrune
