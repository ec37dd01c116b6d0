// Fuzz target for the BMP/DIB/RLE decoder and the working image made from
// what it decodes.
//
// Whatever the bytes, decoding must end with a message or with a picture
// whose sizes agree with its buffers; the working image is then made,
// smoothed and given an effect. The sanitizers catch any read or write
// outside a buffer. Pictures are held to 512 pixels a side here so that
// each input stays fast; the size checks are the same as for 16384.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "image/bmp_decoder.h"
#include "image/image_effects.h"
#include "image/indexed_image.h"

namespace {

void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "bmp_decoder_fuzz: %s\n", what);
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace lumox;
  DibPicture picture;
  std::string error;
  if (!DecodeBmp(std::span(data, size), picture, error, 512)) {
    Check(!error.empty(), "a refusal without a message");
    return 0;
  }
  Check(picture.width >= 1 && picture.width <= 512, "width out of range");
  Check(picture.height >= 1 && picture.height <= 512, "height out of range");
  Check(picture.pixels.size() == picture.Stride() * picture.height, "pixel buffer size");
  Check(picture.bitsPerPixel > 8 || picture.colors.size() <= (1u << picture.bitsPerPixel),
        "colour table longer than the depth allows");
  IndexedImage image;
  Check(MakeWorkingImage(picture, size % 2 == 1, image), "no working image");
  const PixelBuffer buffer{image.pixels.data(), image.width, image.height, image.Stride()};
  SmoothImage(buffer, image.width, image.height);
  std::vector<uint8_t> scratch;
  ApplyImageEffect(buffer, 1 + static_cast<int32_t>(size % 20), scratch);
  return 0;
}
