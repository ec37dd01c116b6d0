// The 8-bit working image the modules show through the saver's animated
// palette, and its creation from a picture of any depth.
//
// Pixel value v always shows saver palette entry v: the image is drawn in
// palette-index mode with the identity table (View()). The picture's own
// colours matter only while it is turned into the image: pictures of 8 or
// fewer bits keep their pixel values (or land on the nearest grey when grey
// is forced), deeper ones become grey levels.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "gfx/canvas.h"
#include "platform/picture_import.h"

namespace lumox {

struct IndexedImage {
  int32_t width = 0, height = 0;
  // The colour table the picture was converted with, as 0x00RRGGBB.
  std::array<uint32_t, 256> colors{};
  // Rows of Stride() bytes, bottom row first.
  std::vector<uint8_t> pixels;

  int32_t Stride() const { return (width + 3) & ~3; }
  uint8_t* Row(int32_t memoryRow) { return pixels.data() + static_cast<size_t>(memoryRow) * Stride(); }
  // The image as a bottom-up DIB in palette-index mode.
  gfx::DibView View() const { return {pixels.data(), width, height, nullptr, 0}; }
};

// Entry i of the grey table: red = green = blue = (i + 1) mod 256, so
// entries 0..254 hold the greys 1..255 and entry 255 holds black.
uint32_t GreyTableEntry(int i);

// A zero-filled image of the given size with the grey table, or (grey
// false) the first 256 entries of `sourceColors`. False when the size is
// not 1..kMaxPictureSide or the memory cannot be had.
bool CreateIndexedImage(bool grey, int32_t width, int32_t height,
                        const std::vector<uint32_t>& sourceColors, IndexedImage& image);

// Grey levels of a 16-, 24- or 32-bit picture into an image of its size;
// the picture's top row becomes the image's top row. Other depths, or an
// image of another size, are left alone.
void ConvertToGrey(const DibPicture& picture, IndexedImage& image);

// The working image of a picture: grey when forceGrey is set or the picture
// has more than 8 bits a pixel. Pictures of 8 or fewer bits copy their
// pixel values unchanged, or with forceGrey each colour's nearest grey
// entry. False when the image cannot be created.
bool MakeWorkingImage(const DibPicture& picture, bool forceGrey, IndexedImage& image);

}  // namespace lumox
