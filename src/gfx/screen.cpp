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

Screen::Screen(int width, int height) : surface_(width, height), published_(width, height) {
  // Static entries keep their fixed colours; the saver's entries start black
  // until the palette thread animates them.
  for (int i = 0; i < kPaletteSize; ++i) palette_[i] = ToWord(StaticColor(i));
  // Both frames start black: nothing to publish yet.
  surface_.TakeChangedRows();
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
  const RowBand rows = surface_.TakeChangedRows();
  std::lock_guard<std::mutex> lock(publishMutex_);
  if (!rows.Empty()) {
    const size_t offset = static_cast<size_t>(rows.top) * surface_.width();
    std::memcpy(published_.row(rows.top), std::as_const(surface_).data() + offset,
                static_cast<size_t>(rows.Height()) * surface_.width());
    unpresentedRows_.Include(rows);
  }
  serial_ += 1;
}

RowBand Screen::TakePublishedRows() {
  std::lock_guard<std::mutex> lock(publishMutex_);
  return std::exchange(unpresentedRows_, RowBand{});
}

void Screen::Present(uint32_t* destination, int pitchBytes) const {
  const std::array<uint32_t, kPaletteSize> words = PaletteWords();
  Present(destination, pitchBytes, {0, height()}, words.data());
}

void Screen::Present(uint32_t* destination, int pitchBytes, RowBand rows,
                     const uint32_t* palette) const {
  if (destination == nullptr || palette == nullptr) return;
  ReadPublishedRows(rows, [&](const uint8_t* first, int pitch, RowBand clipped) {
    ConvertIndexedImage(ActivePresentPath(), first, pitch, destination, pitchBytes, width(),
                        clipped.Height(), palette);
  });
}

void Screen::ReadPublishedRows(
    RowBand rows, const std::function<void(const uint8_t*, int, RowBand)>& read) const {
  rows.top = std::max(rows.top, 0);
  rows.bottom = std::min(rows.bottom, height());
  if (rows.Empty()) return;
  std::lock_guard<std::mutex> lock(publishMutex_);
  read(std::as_const(published_).row(rows.top), width(), rows);
}

Surface Screen::PublishedFrame() const {
  std::lock_guard<std::mutex> lock(publishMutex_);
  return published_;
}

}  // namespace lumox::gfx
