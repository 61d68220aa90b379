#pragma once
// A collection of named items with a 256-bucket name index, shared by the picture and the wave
// collections. Names compare without regard to letter case. An item is entered at the head of
// its bucket's chain whenever its name is set, so of two items with the same name the one named
// last is found.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kestrune {

class THashCollection;

class THashCollectionItem {
 public:
  virtual ~THashCollectionItem();
  const std::string& Name() const { return name_; }
  // Renames the item and enters it again at the head of its bucket.
  void SetName(const std::string& name);
  int Index() const { return index_; }
  int Bucket() const { return bucket_; }

 protected:
  THashCollectionItem() = default;

 private:
  friend class THashCollection;
  THashCollection* owner_ = nullptr;
  std::string name_;
  int index_ = -1;
  int bucket_ = 0;
  THashCollectionItem* next_ = nullptr;  // next item in the same bucket
};

class THashCollection {
 public:
  THashCollection();
  virtual ~THashCollection();
  THashCollection(const THashCollection&) = delete;
  THashCollection& operator=(const THashCollection&) = delete;

  // The bucket of a name: ((length * 16) + (first char + second-to-last char when the length is
  // at least 2)) mod 256, on the name in lower case.
  static int HashName(const std::string& name);

  int Count() const { return static_cast<int>(items_.size()); }
  // The archive the items were last loaded from (empty when they were not loaded from a file);
  // a name that is not found names it.
  const std::string& SourceFile() const { return sourceFile_; }
  void SetSourceFile(const std::string& path) { sourceFile_ = path; }
  // Takes ownership; the item is appended and entered under its current name.
  THashCollectionItem& AddItem(std::unique_ptr<THashCollectionItem> item);
  THashCollectionItem& ItemAt(int index) const { return *items_.at(static_cast<std::size_t>(index)); }
  // The item found by the name index, or nullptr.
  THashCollectionItem* FindItem(const std::string& name) const;
  void Delete(int index);
  void Clear();

 private:
  std::string sourceFile_;
  friend class THashCollectionItem;
  void Unlink(THashCollectionItem& item);
  void Link(THashCollectionItem& item);

  std::vector<std::unique_ptr<THashCollectionItem>> items_;
  std::array<THashCollectionItem*, 256> buckets_{};
};

}  // namespace kestrune
