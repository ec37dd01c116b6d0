#include "gfx/screen.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace lumox::gfx {
namespace {

uint32_t ToWord(const Rgb& c) {
  return (static_cast<uint32_t>(c.red) << 16) | (static_cast<uint32_t>(c.green) << 8) | c.blue;
}

}  // namespace

Screen::Screen(int width, int height)
    : surface_(width, height), published_(width, height), unpresented_(width, height) {
  // Static entries keep their fixed colours; the saver's entries start black
  // until the palette thread animates them.
  for (int i = 0; i < kPaletteSize; ++i) palette_[i] = ToWord(StaticColor(i));
  // Both frames start black: nothing to publish yet.
  surface_.TakeChangedArea();
}

Rgb Screen::Entry(int physicalIndex) const {
  if (physicalIndex < 0 || physicalIndex >= kPaletteSize) return {};
  const uint32_t word = palette_[physicalIndex];
  return {static_cast<uint8_t>(word >> 16), static_cast<uint8_t>(word >> 8),
          static_cast<uint8_t>(word)};
}

void Screen::AnimatePalette(int first, int count, const Rgb* colors) {
  if (colors == nullptr || count <= 0 || first >= kSaverColors) return;
  // Entries before the saver's range are skipped along with their colours.
  if (first < 0) {
    colors -= first;
    count += first;
    first = 0;
  }
  count = std::min(count, kSaverColors - first);
  bool changed = false;
  for (int i = 0; i < count; ++i) {
    Relaxed<uint32_t>& entry = palette_[kFirstSaverEntry + first + i];
    const uint32_t word = ToWord(colors[i]);
    if (entry != word) {
      entry = word;
      changed = true;
    }
  }
  // Released after the words, so a presenter that sees this generation
  // sees them too.
  if (changed) paletteGeneration_.fetch_add(1, std::memory_order_release);
}

std::array<uint32_t, kPaletteSize> Screen::PaletteWords() const {
  std::array<uint32_t, kPaletteSize> words;
  for (int i = 0; i < kPaletteSize; ++i) words[i] = palette_[i];
  return words;
}

void Screen::Publish() {
  const ChangedArea drawn = surface_.TakeChangedArea();
  std::lock_guard<std::mutex> lock(publishMutex_);
  for (const Rect& r : drawn.Rects()) {
    for (int y = r.top; y < r.bottom; ++y) {
      std::memcpy(published_.RowToWrite(y, r.left, r.right) + r.left,
                  std::as_const(surface_).row(y) + r.left, static_cast<size_t>(r.right - r.left));
    }
  }
  unpresented_.Include(drawn);
  serial_ += 1;
}

ChangedArea Screen::TakePublishedArea() {
  std::lock_guard<std::mutex> lock(publishMutex_);
  ChangedArea taken = unpresented_;
  unpresented_.Clear();
  return taken;
}

void Screen::Present(uint32_t* destination, int pitchBytes) const {
  const std::array<uint32_t, kPaletteSize> words = PaletteWords();
  Present(destination, pitchBytes, {0, 0, width(), height()}, words.data());
}

void Screen::Present(uint32_t* destination, int pitchBytes, Rect rect,
                     const uint32_t* palette) const {
  if (destination == nullptr || palette == nullptr) return;
  ReadPublished(rect, [&](const uint8_t* first, int pitch, const Rect& clipped) {
    ConvertIndexedImage(ActivePresentPath(), first, pitch, destination, pitchBytes,
                        clipped.right - clipped.left, clipped.bottom - clipped.top, palette);
  });
}

void Screen::ReadPublished(
    Rect rect, const std::function<void(const uint8_t*, int, const Rect&)>& read) const {
  rect.left = std::max(rect.left, 0);
  rect.top = std::max(rect.top, 0);
  rect.right = std::min(rect.right, width());
  rect.bottom = std::min(rect.bottom, height());
  if (rect.Empty()) return;
  std::lock_guard<std::mutex> lock(publishMutex_);
  read(std::as_const(published_).row(rect.top) + rect.left, width(), rect);
}

Surface Screen::PublishedFrame() const {
  std::lock_guard<std::mutex> lock(publishMutex_);
  return published_;
}

}  // namespace lumox::gfx
