#pragma once
// The sprite tree. Every drawn or moving object is a sprite under one root (TSpriteEngine). A
// sprite is created with its parent and from then on belongs to it: freeing a sprite frees its
// whole subtree, and a child removes itself from its parent (and from the engine's dead list)
// when it is freed. Sprites are therefore made with `new Kind(parent, ...)` and left to the tree;
// a sprite made without a parent (such as the root) belongs to whoever made it.
//
// Game code removes sprites with MarkDead during a pass; the engine frees them in FreeDead
// between passes, so nothing vanishes while a pass walks the tree.

#include <cstdint>
#include <memory>
#include <vector>

#include "framework/DXDraw.h"
#include "framework/Surface.h"

namespace kestrune {

class TSpriteEngine;
class TPictureCollectionItem;

class TSprite {
 public:
  explicit TSprite(TSprite* parent);
  virtual ~TSprite();
  TSprite(const TSprite&) = delete;
  TSprite& operator=(const TSprite&) = delete;

  // Hooks, in their fixed order. HandleCollision and TestHit are not called by any pass.
  virtual void HandleCollision(TSprite* other, bool& done);
  virtual void DrawSelf();
  virtual void MoveSelf(std::int32_t moveCount);
  virtual TRect GetBounds() const;
  virtual bool TestHit(TSprite* other);

  // Frees every child, the last one first.
  void Clear();
  std::int32_t Count() const;
  // Child at that position in creation order. Raises ESpriteError when there is no child at
  // all, EListError for an index out of range.
  TSprite* Items(std::int32_t index) const;
  // Puts the sprite on the engine's dead list once; ignored without an engine.
  void MarkDead();
  void MoveTree(std::int32_t moveCount);
  void DrawTree();
  // Whether DrawTree calls DrawSelf: the sprite is visible, has an engine, and its box overlaps
  // the surface.
  bool DrawsSelf() const;
  double WorldX() const;
  double WorldY() const;
  std::int32_t Z() const { return z_; }
  // Changes the draw order key and re-inserts the sprite among its siblings.
  void SetZ(std::int32_t value);
  // The topmost visible sprite of this subtree whose box (edges included) holds the point.
  TSprite* SpriteAt(std::int32_t x, std::int32_t y);

  // Children in creation order and in draw order (Z ascending); null while there is no child.
  const std::vector<TSprite*>* Children() const { return children_.get(); }
  const std::vector<TSprite*>* DrawList() const { return drawList_.get(); }

  TSpriteEngine* Engine = nullptr;
  TSprite* Parent = nullptr;
  bool Dead = false;
  bool Moves = true;
  bool Visible = true;
  double X = 0, Y = 0;
  std::int32_t Width = 0, Height = 0;

 private:
  void AddChild(TSprite* child);
  void RemoveChild(TSprite* child);
  void InsertByZ(TSprite* child);
  void SearchAt(double px, double py, TSprite*& result);

  std::int32_t z_ = 0;
  std::unique_ptr<std::vector<TSprite*>> children_;
  std::unique_ptr<std::vector<TSprite*>> drawList_;
};

// Draws one pattern of a picture item and animates through its patterns.
class TImageSprite : public TSprite {
 public:
  explicit TImageSprite(TSprite* parent);

  void DrawSelf() override;
  void MoveSelf(std::int32_t moveCount) override;
  TRect GetBounds() const override;
  // Attaches a picture (not owned) and takes its pattern size; nil gives size 0 x 0.
  virtual void SetPicture(TPictureCollectionItem* picture);

  // Round(AnimPos) + AnimStart.
  std::int32_t DrawIndex() const;
  // The bounds with the pattern centred in the sprite's box.
  TRect DrawRect() const;

  std::int32_t AnimCount = 0;
  bool AnimLooped = false;
  double AnimPos = 0;
  double AnimSpeed = 0;
  std::int32_t AnimStart = 0;
  TPictureCollectionItem* Picture = nullptr;
};

// Draws a grid of patterns of one picture from a map of pattern indices.
class TBackgroundSprite : public TSprite {
 public:
  explicit TBackgroundSprite(TSprite* parent);
  ~TBackgroundSprite() override;

  void DrawSelf() override;
  TRect GetBounds() const override;

  // Resizes the map (a size of 0 or less in either direction makes it 0 x 0); every cell is 0
  // afterwards. Nothing happens when the size is unchanged.
  void SetMapSize(std::int32_t width, std::int32_t height);
  // Ignored outside the map.
  void SetChip(std::int32_t col, std::int32_t row, std::int32_t value);
  // -1 outside the map.
  std::int32_t GetChip(std::int32_t col, std::int32_t row) const;
  // Attaches the picture (not owned, not null) and sizes the sprite to the whole map.
  void SetMapPicture(TPictureCollectionItem* picture);

  std::int32_t MapWidth() const { return mapWidth_; }
  std::int32_t MapHeight() const { return mapHeight_; }
  // Pattern index per cell, row after row; negative leaves the cell empty.
  const std::vector<std::int32_t>& ChipMap() const { return chipMap_; }
  // True when DrawSelf writes every pixel of the surface: the cells it draws cover the whole
  // surface and each of them is a full-size pattern without a transparent pixel. (A kind that
  // draws itself differently must answer for itself.)
  virtual bool CoversSurface() const;

  TPictureCollectionItem* Picture = nullptr;

 private:
  template <typename F>
  bool ForEachShownCell(long long& w, long long& h, F&& f) const;

  std::vector<std::int32_t> chipMap_;
  std::int32_t mapWidth_ = 0, mapHeight_ = 0;
};

// The root of the tree: holds the surface drawn on and the dead list.
class TSpriteEngine : public TSprite {
 public:
  explicit TSpriteEngine(TSprite* parent = nullptr);
  ~TSpriteEngine() override;

  // The surface to draw on (nullptr while the display is down); also sets Width and Height.
  virtual void SetSurface(TDirectDrawSurface* surface);
  // Frees every sprite on the dead list, each exactly once.
  void FreeDead();
  void Draw();
  // True when the first sprite Draw draws is a background that covers the whole surface with
  // opaque cells: what the surface held before is then overwritten everywhere, and the frame
  // need not clear it first.
  bool SurfaceCovered() const;

  TDirectDrawSurface* Surface() const { return surface_; }
  const TRect& SurfaceRect() const { return surfaceRect_; }
  const std::vector<TSprite*>& DeadList() const { return deadList_; }

 private:
  friend class TSprite;
  std::vector<TSprite*> deadList_;
  TDirectDrawSurface* surface_ = nullptr;
  TRect surfaceRect_;
};

// The sprite engine component: owns the root and follows the display.
class TDXSpriteEngine {
 public:
  TDXSpriteEngine();
  ~TDXSpriteEngine();
  TDXSpriteEngine(const TDXSpriteEngine&) = delete;
  TDXSpriteEngine& operator=(const TDXSpriteEngine&) = delete;

  TSpriteEngine& Root() { return *root_; }
  TDXDraw* DXDraw() const { return dxDraw_; }
  // Links the engine to a display (registering for its notifications) or unlinks it.
  void SetDXDraw(TDXDraw* draw);
  // The display's notifications: attach the back surface on initialise, detach on finalise,
  // forget the display when it is destroyed.
  void HandleNotify(TDXDrawNotifyType type, TDirectDrawSurface* surface);

  void Move(std::int32_t moveCount);
  // Draws the tree when the display is initialised.
  void Draw();
  // True when Draw draws and its first sprite overwrites every pixel of the root's surface.
  bool DrawCoversSurface() const;
  void FreeDead();

 private:
  std::unique_ptr<TSpriteEngine> root_;
  TDXDraw* dxDraw_ = nullptr;
};

}  // namespace kestrune
