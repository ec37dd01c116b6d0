// The canvas's state, its clip and the pixel-level operations everything
// else is built on.
#include "gfx/canvas.h"

#include <algorithm>
#include <utility>

#include "gfx/canvas_internal.h"
#include "gfx/screen.h"

namespace lumox::gfx {

void FillBytes(uint8_t* destination, uint8_t value, size_t count) {
  std::memset(destination, value, count);
}

void InvertBytes(uint8_t* destination, size_t count) {
  size_t i = 0;
  for (; i + 8 <= count; i += 8) {
    uint64_t word;
    std::memcpy(&word, destination + i, 8);
    word = ~word;
    std::memcpy(destination + i, &word, 8);
  }
  for (; i < count; ++i) destination[i] = static_cast<uint8_t>(~destination[i]);
}

Canvas::Canvas(Screen& screen) : surface_(screen.surface()), screen_(&screen) {}
Canvas::Canvas(Surface& surface) : surface_(surface) {}

// --- state ---

Pen Canvas::SelectPen(const Pen& pen) { return std::exchange(pen_, pen); }
Brush Canvas::SelectBrush(const Brush& brush) { return std::exchange(brush_, brush); }
RasterMode Canvas::SetRasterMode(RasterMode mode) { return std::exchange(rasterMode_, mode); }
FillMode Canvas::SetPolyFillMode(FillMode mode) { return std::exchange(fillMode_, mode); }
StretchMode Canvas::SetStretchMode(StretchMode mode) { return std::exchange(stretchMode_, mode); }

Canvas::Ink Canvas::PenInk() const {
  return {ToPhysical(pen_.color), rasterMode_ == RasterMode::Not};
}
Canvas::Ink Canvas::BrushInk() const {
  return {ToPhysical(brush_.color), rasterMode_ == RasterMode::Not};
}

void Canvas::Flush() {
  if (screen_ != nullptr) screen_->Publish();
}

// --- clipping ---

void Canvas::SelectClipRegion(const Region* region) {
  if (region == nullptr) {
    clip_.reset();
    RebuildClipCache();
  } else {
    StoreClip(*region);
  }
}

void Canvas::ExtSelectClipRegion(const Region& region, RegionOp op) {
  Region combined = ClipRegion();
  combined.Combine(region, op);
  StoreClip(std::move(combined));
}

void Canvas::IntersectClipRect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  const Rect rect{std::min(left, right), std::min(top, bottom), std::max(left, right),
                  std::max(top, bottom)};
  if (!clip_) {
    StoreClip(Region::FromRect(rect.left, rect.top, rect.right, rect.bottom));
    return;
  }
  Region clip = std::move(*clip_);
  clip.IntersectRect(rect);
  StoreClip(std::move(clip));
}

void Canvas::ExcludeClipRect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  ExtSelectClipRegion(Region::FromRect(left, top, right, bottom), RegionOp::Diff);
}

Region Canvas::ClipRegion() const {
  if (clip_) return *clip_;
  return Region::FromRect(0, 0, surface_.width(), surface_.height());
}

void Canvas::StoreClip(Region region) {
  // The clip never reaches past the surface, so drawing needs to test only
  // the region.
  region.IntersectRect({0, 0, surface_.width(), surface_.height()});
  clip_ = std::make_unique<Region>(std::move(region));
  RebuildClipCache();
}

void Canvas::RebuildClipCache() {
  cachedWidth_ = surface_.width();
  cachedHeight_ = surface_.height();
  if (!clip_) {
    clipBox_ = {0, 0, cachedWidth_, cachedHeight_};
    clipRows_.clear();
    return;
  }
  // Only rows inside the clip's bounds are ever looked up, so only they are
  // indexed: a small clip costs as little as its own spans.
  clipBox_ = clip_->Bounds();
  clipRows_.resize(static_cast<size_t>(cachedHeight_) + 1);
  const auto& spans = clip_->spans();
  size_t i = 0;
  for (int32_t y = clipBox_.top; y <= clipBox_.bottom && !clipBox_.Empty(); ++y) {
    while (i < spans.size() && spans[i].y < y) ++i;
    clipRows_[y] = static_cast<uint32_t>(i);
  }
}

bool Canvas::PrepareClip() {
  if (cachedWidth_ != surface_.width() || cachedHeight_ != surface_.height()) {
    if (clip_) {
      Region kept = std::move(*clip_);
      StoreClip(std::move(kept));
    } else {
      RebuildClipCache();
    }
  }
  return !clipBox_.Empty();
}

bool Canvas::Drawable(int64_t x, int64_t y) const {
  if (x < clipBox_.left || x >= clipBox_.right || y < clipBox_.top || y >= clipBox_.bottom)
    return false;
  if (!clip_) return true;
  const auto& spans = clip_->spans();
  for (uint32_t i = clipRows_[y], end = clipRows_[y + 1]; i < end; ++i)
    if (x >= spans[i].left && x < spans[i].right) return true;
  return false;
}

void Canvas::PlotPixel(int64_t x, int64_t y, Ink ink) {
  if (!Drawable(x, y)) return;
  const auto column = static_cast<int>(x);
  uint8_t& p = surface_.RowToWrite(static_cast<int>(y), column, column + 1)[x];
  p = ink.invert ? Invert(p) : ink.color;
}

// --- pixels and rectangles ---

int32_t Canvas::GetPixel(int32_t x, int32_t y) const {
  if (!surface_.Contains(x, y)) return -1;
  if (clip_ && !clip_->Contains(x, y)) return -1;
  return std::as_const(surface_).row(y)[x];
}

void Canvas::SetPixel(int32_t x, int32_t y, ColorRef color) {
  if (!PrepareClip()) return;
  PlotPixel(x, y, CopyInk(color));
}

void Canvas::FillRectangle(int64_t left, int64_t top, int64_t right, int64_t bottom, Ink ink) {
  top = std::max<int64_t>(top, clipBox_.top);
  bottom = std::min<int64_t>(bottom, clipBox_.bottom);
  for (int64_t y = top; y < bottom; ++y) FillRow(y, left, right, ink);
}

void Canvas::FillRect(int32_t left, int32_t top, int32_t right, int32_t bottom,
                      const Brush& brush) {
  if (brush.style == BrushStyle::Null || !PrepareClip()) return;
  // GDI fills a rectangle as a pattern blit of its width and height, so
  // swapped corners fill like negative extents.
  const Extent h = NormalizeExtent(left, int64_t{right} - left);
  const Extent v = NormalizeExtent(top, int64_t{bottom} - top);
  FillRectangle(h.start, v.start, h.start + h.length, v.start + v.length, CopyInk(brush.color));
}

void Canvas::InvertOrFill(int64_t left, int64_t top, int64_t right, int64_t bottom, RasterOp op) {
  switch (op) {
    case RasterOp::Blackness:
      FillRectangle(left, top, right, bottom, {kPhysicalBlack, false});
      break;
    case RasterOp::Whiteness:
      FillRectangle(left, top, right, bottom, {kPhysicalWhite, false});
      break;
    case RasterOp::DstInvert:
      FillRectangle(left, top, right, bottom, {0, true});
      break;
    case RasterOp::SrcCopy:
      break;  // needs a source; PatBlt ignores it
  }
}

void Canvas::PatBlt(int32_t x, int32_t y, int32_t width, int32_t height, RasterOp op) {
  if (!PrepareClip()) return;
  const Extent h = NormalizeExtent(x, width), v = NormalizeExtent(y, height);
  InvertOrFill(h.start, v.start, h.start + h.length, v.start + v.length, op);
}

}  // namespace lumox::gfx
