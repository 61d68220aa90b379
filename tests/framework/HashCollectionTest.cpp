#include <gtest/gtest.h>

#include "framework/HashCollection.h"

namespace kestrune {
namespace {

struct NamedItem : THashCollectionItem {
  explicit NamedItem(int tag) : Tag(tag) {}
  int Tag;
};

NamedItem& Add(THashCollection& c, const std::string& name, int tag) {
  auto item = std::make_unique<NamedItem>(tag);
  item->SetName(name);
  return static_cast<NamedItem&>(c.AddItem(std::move(item)));
}

TEST(HashCollection, HashFollowsLengthFirstAndSecondToLastCharacter) {
  EXPECT_EQ(THashCollection::HashName(""), 0);
  EXPECT_EQ(THashCollection::HashName("a"), 16);
  // "Car7": 4*16 + 'c' + 'r' = 64 + 99 + 114 = 277 -> 21
  EXPECT_EQ(THashCollection::HashName("Car7"), 21);
  EXPECT_EQ(THashCollection::HashName("CAR7"), THashCollection::HashName("car7"));
}

TEST(HashCollection, LookupIgnoresCaseAndLaterDuplicateWins) {
  THashCollection c;
  Add(c, "Tiles", 1);
  Add(c, "Car7", 2);
  Add(c, "tiles", 3);
  ASSERT_NE(c.FindItem("TILES"), nullptr);
  EXPECT_EQ(static_cast<NamedItem*>(c.FindItem("TILES"))->Tag, 3);
  EXPECT_EQ(static_cast<NamedItem*>(c.FindItem("car7"))->Tag, 2);
  EXPECT_EQ(c.FindItem("Car8"), nullptr);
  c.Delete(2);
  EXPECT_EQ(static_cast<NamedItem*>(c.FindItem("Tiles"))->Tag, 1);
  EXPECT_EQ(c.ItemAt(1).Index(), 1);
}

TEST(HashCollection, RenamingMovesTheItemToTheHeadOfItsNewBucket) {
  THashCollection c;
  NamedItem& a = Add(c, "Alpha", 1);
  Add(c, "Beta", 2);
  a.SetName("Beta");
  EXPECT_EQ(static_cast<NamedItem*>(c.FindItem("beta"))->Tag, 1);
  EXPECT_EQ(c.FindItem("Alpha"), nullptr);
}

}  // namespace
}  // namespace kestrune
