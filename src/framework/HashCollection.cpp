#include "framework/HashCollection.h"

#include <cctype>

namespace kestrune {
namespace {
std::string Lower(const std::string& s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}
bool SameText(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}
}  // namespace

THashCollectionItem::~THashCollectionItem() = default;

void THashCollectionItem::SetName(const std::string& name) {
  if (owner_) owner_->Unlink(*this);
  name_ = name;
  if (owner_) owner_->Link(*this);
}

THashCollection::THashCollection() = default;
THashCollection::~THashCollection() = default;

int THashCollection::HashName(const std::string& name) {
  const std::string lower = Lower(name);
  unsigned h = static_cast<unsigned>(lower.size()) * 16u;
  if (lower.size() >= 2) {
    h += static_cast<unsigned char>(lower[0]);
    h += static_cast<unsigned char>(lower[lower.size() - 2]);
  }
  return static_cast<int>(h % 256u);
}

THashCollectionItem& THashCollection::AddItem(std::unique_ptr<THashCollectionItem> item) {
  THashCollectionItem& ref = *item;
  ref.owner_ = this;
  ref.index_ = Count();
  items_.push_back(std::move(item));
  Link(ref);
  return ref;
}

THashCollectionItem* THashCollection::FindItem(const std::string& name) const {
  for (THashCollectionItem* it = buckets_[static_cast<std::size_t>(HashName(name))]; it; it = it->next_) {
    if (SameText(it->name_, name)) return it;
  }
  return nullptr;
}

void THashCollection::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  Unlink(*items_[static_cast<std::size_t>(index)]);
  items_.erase(items_.begin() + index);
  for (int i = index; i < Count(); ++i) items_[static_cast<std::size_t>(i)]->index_ = i;
}

void THashCollection::Clear() {
  buckets_.fill(nullptr);
  items_.clear();
}

void THashCollection::Unlink(THashCollectionItem& item) {
  THashCollectionItem** link = &buckets_[static_cast<std::size_t>(item.bucket_)];
  while (*link && *link != &item) link = &(*link)->next_;
  if (*link) *link = item.next_;
  item.next_ = nullptr;
}

void THashCollection::Link(THashCollectionItem& item) {
  item.bucket_ = HashName(item.name_);
  item.next_ = buckets_[static_cast<std::size_t>(item.bucket_)];
  buckets_[static_cast<std::size_t>(item.bucket_)] = &item;
}

}  // namespace kestrune
