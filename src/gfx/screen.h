// The saver's 256-colour display.
//
// The render thread draws into the screen's surface through canvases; the
// palette thread changes the animated entries with AnimatePalette; the host
// shows the latest published frame through the latest palette. Presenting
// never races with drawing: the render thread publishes a finished frame at
// its flush point, and the host converts the published copy.
//
// Presenting only what changed: a publication copies only the area drawn
// since the last one and adds it to the area the presenter has yet to
// take; a palette change that alters an entry counts a palette generation.
// A PresentTracker turns both into the rectangles to convert at a refresh.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "base/relaxed.h"
#include "gfx/color.h"
#include "gfx/surface.h"

namespace lumox::gfx {

class Screen {
 public:
  Screen(int width, int height);

  int width() const { return surface_.width(); }
  int height() const { return surface_.height(); }

  // The drawing surface: touched only by the thread that draws.
  Surface& surface() { return surface_; }

  // Physical palette entry, any thread.
  Rgb Entry(int physicalIndex) const;
  // Sets saver entries first..first+count-1 (0-based within the 236).
  void AnimatePalette(int first, int count, const Rgb* colors);
  // Entries 0..255 as 0x00RRGGBB words, the form Present uses.
  std::array<uint32_t, kPaletteSize> PaletteWords() const;
  // Counts the AnimatePalette calls that changed an entry. Read before the
  // words: a generation seen promises the words of that generation or
  // newer, and newer words come with a newer generation.
  uint32_t PaletteGeneration() const { return paletteGeneration_.load(std::memory_order_acquire); }

  // Copies the area drawn since the last publication to the published
  // frame (the flush point).
  void Publish();
  // Counts publications, so a host can tell whether a new frame exists.
  uint32_t PublishedSerial() const { return serial_; }
  // The area published since the last call, for the one presenter of this
  // screen; starts afresh.
  ChangedArea TakePublishedArea();
  // Converts the published frame through the current palette into 32-bit
  // 0x00RRGGBB pixels; pitch in bytes.
  void Present(uint32_t* destination, int pitchBytes) const;
  // Converts a rectangle of the published frame (clipped to the screen)
  // through the given 256 words; destination receives its top-left pixel.
  void Present(uint32_t* destination, int pitchBytes, Rect rect, const uint32_t* palette) const;
  // A copy of the published frame's indices.
  Surface PublishedFrame() const;
  // Lends a rectangle of the published frame (clipped to the screen) to
  // read: its top-left pixel, the pitch in bytes and the clipped rectangle.
  // The frame cannot change meanwhile; nothing is lent for an empty one.
  void ReadPublished(Rect rect,
                     const std::function<void(const uint8_t*, int, const Rect&)>& read) const;

 private:
  Surface surface_;
  mutable std::mutex publishMutex_;
  Surface published_;
  ChangedArea unpresented_;  // guarded by publishMutex_
  Relaxed<uint32_t> serial_{0};
  std::atomic<uint32_t> paletteGeneration_{0};
  std::array<Relaxed<uint32_t>, kPaletteSize> palette_;
};

// How indices become pixels: an unrolled table loop anywhere, AVX2 where
// the CPU has it, AVX-512 VBMI byte permutes where it has those (the best
// one is chosen at run time).
enum class PresentPath { Portable, Avx2, BytePermute };
PresentPath ActivePresentPath();
bool PresentPathAvailable(PresentPath path);

// Converts a width x height block of indices (rows sourcePitch bytes apart)
// into 32-bit pixels (rows destinationPitchBytes apart) with the given path;
// an unavailable path falls back to the portable one.
void ConvertIndexedImage(PresentPath path, const uint8_t* source, int sourcePitch,
                         uint32_t* destination, int destinationPitchBytes, int width, int height,
                         const uint32_t* table);

// Converts indices to 32-bit pixels through a 256-word table, using the
// fastest method this CPU offers. Exposed for the benchmark and tests.
void ConvertIndexedRow(const uint8_t* source, uint32_t* destination, int count,
                       const uint32_t* table);
// The portable version, for comparison.
void ConvertIndexedRowPortable(const uint8_t* source, uint32_t* destination, int count,
                               const uint32_t* table);

}  // namespace lumox::gfx
