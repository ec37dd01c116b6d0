// Fuzz target for the palette-file (.PAL) reader.
//
// Each input is read into a palette of known colours. Whatever the bytes,
// the reader must take no more whole entries than the input holds (and
// none without the header), leave every other entry as it was, keep every
// flag at 1, and a palette it produced must write and read back the same.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <vector>

#include "config/pal_file.h"

namespace {

using namespace lumox;

void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "pal_file_fuzz: %s\n", what);
    std::abort();
  }
}

CustomPalette KnownPalette() {
  CustomPalette palette;
  for (int i = 0; i < kPaletteEntries; ++i) {
    palette[i].Set(
        {static_cast<uint8_t>(i), static_cast<uint8_t>(i ^ 0x5A), static_cast<uint8_t>(255 - i)});
  }
  return palette;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const CustomPalette known = KnownPalette();
  CustomPalette palette = known;
  const PalReadResult result = ReadPalBytes(std::span(data, size), palette);

  const size_t present = size < kPalHeaderSize ? 0 : (size - kPalHeaderSize) / 4;
  Check(result.isPalFile || result.entriesRead == 0, "entries read without a header");
  Check(result.entriesRead >= 0 && static_cast<size_t>(result.entriesRead) <= present &&
            result.entriesRead <= kPaletteEntries,
        "more entries read than the input holds");
  for (int i = 0; i < kPaletteEntries; ++i) {
    Check(palette[i].flags == kPcReserved, "a flag byte other than 1");
    if (i < result.entriesRead) {
      const uint8_t* entry = data + kPalHeaderSize + 4 * i;
      Check(palette[i].Color() == gfx::Rgb{entry[0], entry[1], entry[2]}, "an entry misread");
    } else {
      Check(palette[i].Color() == known[i].Color(), "an entry past the read ones changed");
    }
  }

  const std::vector<uint8_t> written = WritePalBytes(palette);
  Check(written.size() == kPalFileSize, "a written file of another size");
  CustomPalette again;
  const PalReadResult reread = ReadPalBytes(written, again);
  Check(reread.isPalFile && reread.entriesRead == kPaletteEntries, "a written file reads short");
  Check(WritePalBytes(again) == written, "a round trip changed the palette");
  return 0;
}
