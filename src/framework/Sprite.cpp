#include "framework/Sprite.h"

#include <algorithm>
#include <string>

#include "framework/Errors.h"
#include "framework/Rounding.h"

namespace kestrune {

// ---------------------------------------------------------------------------------------------
// TSprite

TSprite::TSprite(TSprite* parent) : Parent(parent) {
  if (parent) {
    parent->AddChild(this);
    auto* engine = dynamic_cast<TSpriteEngine*>(parent);
    Engine = engine ? engine : parent->Engine;
  }
}

TSprite::~TSprite() {
  Clear();
  if (Parent) Parent->RemoveChild(this);
  if (Dead && Engine) {
    auto& list = Engine->deadList_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
  }
}

void TSprite::HandleCollision(TSprite*, bool&) {}
void TSprite::DrawSelf() {}
void TSprite::MoveSelf(std::int32_t) {}
bool TSprite::TestHit(TSprite*) { return true; }

TRect TSprite::GetBounds() const {
  const std::int32_t left = Round(WorldX()), top = Round(WorldY());
  return {left, top, left + Width, top + Height};
}

void TSprite::AddChild(TSprite* child) {
  if (!children_) {
    children_ = std::make_unique<std::vector<TSprite*>>();
    drawList_ = std::make_unique<std::vector<TSprite*>>();
  }
  children_->push_back(child);
  InsertByZ(child);
}

void TSprite::RemoveChild(TSprite* child) {
  if (!children_) return;
  children_->erase(std::remove(children_->begin(), children_->end(), child), children_->end());
  drawList_->erase(std::remove(drawList_->begin(), drawList_->end(), child), drawList_->end());
  if (children_->empty()) {
    children_.reset();
    drawList_.reset();
  }
}

// Binary search for the first entry whose Z is not below the new one: among equal Z the sprite
// inserted last stands first, so it is drawn underneath the others.
void TSprite::InsertByZ(TSprite* child) {
  std::vector<TSprite*>& list = *drawList_;
  std::int32_t lo = 0, hi = static_cast<std::int32_t>(list.size()) - 1;
  while (hi >= lo) {
    const std::int32_t mid = (lo + hi) / 2;
    if (list[static_cast<std::size_t>(mid)]->z_ < child->z_)
      lo = mid + 1;
    else
      hi = mid - 1;
  }
  list.insert(list.begin() + lo, child);
}

void TSprite::Clear() {
  while (children_) delete children_->back();  // each child unlinks itself; the list goes with the last
}

std::int32_t TSprite::Count() const { return children_ ? static_cast<std::int32_t>(children_->size()) : 0; }

TSprite* TSprite::Items(std::int32_t index) const {
  if (!children_) throw ESpriteError("Index of the list exceeds the range. (" + std::to_string(index) + ")");
  if (index < 0 || index >= Count()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  return (*children_)[static_cast<std::size_t>(index)];
}

void TSprite::MarkDead() {
  if (!Engine || Dead) return;
  Dead = true;
  Engine->deadList_.push_back(this);
}

void TSprite::MoveTree(std::int32_t moveCount) {
  if (!Moves) return;
  MoveSelf(moveCount);
  // Children created during the pass are not visited; the bound check only guards against a
  // child freed directly inside the pass.
  const std::int32_t n = Count();
  for (std::int32_t i = 0; i < n && i < Count(); ++i) (*children_)[static_cast<std::size_t>(i)]->MoveTree(moveCount);
}

bool TSprite::DrawsSelf() const {
  if (!Visible || !Engine) return false;
  const TRect r = GetBounds();
  const TRect& s = Engine->SurfaceRect();
  // A box of no width or height is empty and overlaps nothing, so a sprite of size 0 is never drawn.
  return r.Left < r.Right && r.Top < r.Bottom && r.Left < s.Right && s.Left < r.Right && r.Top < s.Bottom &&
         s.Top < r.Bottom;
}

void TSprite::DrawTree() {
  if (!Visible) return;
  if (DrawsSelf()) DrawSelf();
  const std::size_t n = drawList_ ? drawList_->size() : 0;
  for (std::size_t i = 0; i < n && drawList_ && i < drawList_->size(); ++i) (*drawList_)[i]->DrawTree();
}

double TSprite::WorldX() const { return Parent ? X + Parent->WorldX() : X; }
double TSprite::WorldY() const { return Parent ? Y + Parent->WorldY() : Y; }

void TSprite::SetZ(std::int32_t value) {
  if (value == z_) return;
  z_ = value;
  if (Parent && Parent->drawList_) {
    auto& list = *Parent->drawList_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    Parent->InsertByZ(this);
  }
}

TSprite* TSprite::SpriteAt(std::int32_t x, std::int32_t y) {
  TSprite* result = nullptr;
  const std::int32_t n = Count();
  for (std::int32_t i = 0; i < n; ++i) (*children_)[static_cast<std::size_t>(i)]->SearchAt(x - X, y - Y, result);
  return result;
}

// (px, py) is in the parent's coordinates. Invisible sprites do not match but their children
// are still searched; among equal Z the first match in depth-first order stays.
void TSprite::SearchAt(double px, double py, TSprite*& result) {
  if (Visible) {
    const long long left = Round(X), top = Round(Y);
    const long long qx = Round(px), qy = Round(py);
    if (left <= qx && qx <= left + Width && top <= qy && qy <= top + Height) {
      if (!result || result->z_ < z_) result = this;
    }
  }
  const std::int32_t n = Count();
  for (std::int32_t i = 0; i < n; ++i) (*children_)[static_cast<std::size_t>(i)]->SearchAt(px - X, py - Y, result);
}

// ---------------------------------------------------------------------------------------------
// TSpriteEngine

TSpriteEngine::TSpriteEngine(TSprite* parent) : TSprite(parent) {}

TSpriteEngine::~TSpriteEngine() {
  // Free the tree while the dead list still exists: each sprite leaves it as it goes.
  Clear();
}

void TSpriteEngine::SetSurface(TDirectDrawSurface* surface) {
  surface_ = surface;
  surfaceRect_ = surface ? surface->ClientRect() : TRect{};
  Width = surfaceRect_.Right;
  Height = surfaceRect_.Bottom;
}

void TSpriteEngine::FreeDead() {
  while (!deadList_.empty()) delete deadList_.back();  // the sprite's destructor takes it off the list
}

void TSpriteEngine::Draw() { DrawTree(); }

bool TSpriteEngine::SurfaceCovered() const {
  // The engine itself draws nothing; its first child in draw order is drawn first.
  const std::vector<TSprite*>* list = DrawList();
  if (!Visible || !surface_ || !list || list->empty()) return false;
  const auto* background = dynamic_cast<const TBackgroundSprite*>(list->front());
  return background && background->DrawsSelf() && background->CoversSurface();
}

// ---------------------------------------------------------------------------------------------
// TDXSpriteEngine

TDXSpriteEngine::TDXSpriteEngine() : root_(std::make_unique<TSpriteEngine>(nullptr)) {}

void TDXSpriteEngine::HandleNotify(TDXDrawNotifyType type, TDirectDrawSurface* surface) {
  switch (type) {
    case TDXDrawNotifyType::dxntInitialize:
      root_->SetSurface(surface);
      break;
    case TDXDrawNotifyType::dxntFinalize:
      root_->SetSurface(nullptr);
      break;
    case TDXDrawNotifyType::dxntDestroying:
      dxDraw_ = nullptr;
      root_->SetSurface(nullptr);
      break;
    default:
      break;
  }
}

void TDXSpriteEngine::Move(std::int32_t moveCount) { root_->MoveTree(moveCount); }

void TDXSpriteEngine::Draw() {
  if (dxDraw_ && dxDraw_->Initialized()) root_->Draw();
}

bool TDXSpriteEngine::DrawCoversSurface() const {
  return dxDraw_ && dxDraw_->Initialized() && root_->SurfaceCovered();
}

void TDXSpriteEngine::FreeDead() { root_->FreeDead(); }

}  // namespace kestrune
