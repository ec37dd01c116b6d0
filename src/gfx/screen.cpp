#include "gfx/screen.h"

#include <algorithm>
#include <cstring>

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
  for (int i = 0; i < count; ++i) palette_[kFirstSaverEntry + first + i] = ToWord(colors[i]);
}

std::array<uint32_t, kPaletteSize> Screen::PaletteWords() const {
  std::array<uint32_t, kPaletteSize> words;
  for (int i = 0; i < kPaletteSize; ++i) words[i] = palette_[i];
  return words;
}

void Screen::Publish() {
  std::lock_guard<std::mutex> lock(publishMutex_);
  if (surface_.size() != 0) std::memcpy(published_.data(), surface_.data(), surface_.size());
  serial_ += 1;
}

void Screen::Present(uint32_t* destination, int pitchBytes) const {
  if (destination == nullptr) return;
  const std::array<uint32_t, kPaletteSize> words = PaletteWords();
  std::lock_guard<std::mutex> lock(publishMutex_);
  ConvertIndexedImage(ActivePresentPath(), published_.data(), published_.width(), destination,
                      pitchBytes, published_.width(), published_.height(), words.data());
}

Surface Screen::PublishedFrame() const {
  std::lock_guard<std::mutex> lock(publishMutex_);
  return published_;
}

}  // namespace lumox::gfx
