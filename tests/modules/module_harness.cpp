#include "module_harness.h"

#include <cstdio>

#include "saver/module_table.h"

#if LUMOX_HAVE_PNG
#include <png.h>
#endif

namespace lumox::testing {

ModuleHarness::ModuleHarness(int moduleIndex, int width, int height, uint32_t seed)
    : index_(moduleIndex), surface_(width, height), canvas_(surface_) {
  surface_.Fill(kUntouched);
  InstallClock(&clock_);
  InstallSystemServices(&system_);
  SetCurrentSoundShare(&sound_);
  SeedRandom(seed);
  savedRunFlag_ = Saver().runFlag;
  Saver().runFlag = 1;
  for (ModuleDescriptor& m : table_) {
    m.table = table_.data();
    m.width = width;
    m.height = height;
    m.dc = &canvas_;
  }
  ModuleDescriptor& m = module();
  m.name = kModuleNames[moduleIndex];
  const ModuleDefinition& definition = GetModuleDefinition(moduleIndex);
  for (const ControlRow& row : definition.controls) {
    DefineControl(table_, moduleIndex, row.labelId, row.index, row.defaultValue, row.minimum,
                  row.maximum);
  }
  m.Draw = definition.Draw;
  m.Init = definition.Init;
  m.Start = definition.Start;
  m.Stop = definition.Stop;
}

ModuleHarness::~ModuleHarness() {
  Saver().runFlag = savedRunFlag_;
  SetCurrentSoundShare(nullptr);
  InstallSystemServices(nullptr);
  InstallClock(nullptr);
}

void ModuleHarness::SetAll(Preset preset) {
  for (ModuleControl& c : module().controls) {
    if (!c.Defined) continue;
    switch (preset) {
      case Preset::Minimum: c.Value = c.Minimum; break;
      case Preset::Default: c.Value = c.Default; break;
      case Preset::Maximum: c.Value = c.Maximum; break;
    }
  }
}

void ModuleHarness::ClipInside(int margin) {
  canvas_.IntersectClipRect(margin, margin, surface_.width() - margin,
                            surface_.height() - margin);
}

bool ModuleHarness::TouchedOutside(int margin) const {
  for (int y = 0; y < surface_.height(); ++y) {
    for (int x = 0; x < surface_.width(); ++x) {
      const bool inside = x >= margin && y >= margin && x < surface_.width() - margin &&
                          y < surface_.height() - margin;
      if (!inside && surface_.row(y)[x] != kUntouched) return true;
    }
  }
  return false;
}

bool ModuleHarness::Untouched() const {
  for (size_t i = 0; i < surface_.size(); ++i) {
    if (surface_.data()[i] != kUntouched) return false;
  }
  return true;
}

void ModuleHarness::Run(int frames, uint32_t frameMs) {
  Init();
  Start();
  DrawFrames(frames, frameMs);
}

void ModuleHarness::DrawFrames(int frames, uint32_t frameMs) {
  for (int i = 0; i < frames; ++i) {
    Draw();
    clock_.Advance(frameMs);
  }
}

std::set<uint8_t> ColoursOn(const gfx::Surface& surface) {
  std::set<uint8_t> colours;
  for (size_t i = 0; i < surface.size(); ++i) {
    if (surface.data()[i] != 0) colours.insert(surface.data()[i]);
  }
  return colours;
}

uint64_t ModuleHarness::Hash() const {
  uint64_t hash = 14695981039346656037ull;
  for (size_t i = 0; i < surface_.size(); ++i) {
    hash ^= surface_.data()[i];
    hash *= 1099511628211ull;
  }
  return hash;
}

#if LUMOX_HAVE_PNG
std::string ModuleHarness::WritePng(const std::string& name) const {
  const std::string path = std::string(LUMOX_TEST_OUTPUT_DIR) + "/" + name + ".png";
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return "";
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (png == nullptr || info == nullptr || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    return "";
  }
  png_init_io(png, file);
  const int w = surface_.width(), h = surface_.height();
  png_set_IHDR(png, info, w, h, 8, PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  // A false-colour palette: black stays black, the saver's entries run
  // through a hue ramp, untouched pixels are magenta.
  png_color palette[256];
  for (int i = 0; i < 256; ++i) {
    const int k = (i - gfx::kFirstSaverEntry) * 6 * 255 / gfx::kSaverColors;
    palette[i] = {static_cast<png_byte>(k < 765 ? 255 - k / 3 : (k - 765) / 3),
                  static_cast<png_byte>((k * 7) & 255),
                  static_cast<png_byte>(k < 765 ? k / 3 : 255 - (k - 765) / 3)};
  }
  palette[0] = {0, 0, 0};
  palette[255] = {255, 255, 255};
  palette[kUntouched] = {255, 0, 255};
  png_set_PLTE(png, info, palette, 256);
  png_write_info(png, info);
  for (int y = 0; y < h; ++y) png_write_row(png, const_cast<png_bytep>(surface_.row(y)));
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  std::fclose(file);
  return path;
}
#else
// Without libpng: a binary PGM of the raw physical indices.
std::string ModuleHarness::WritePng(const std::string& name) const {
  const std::string path = std::string(LUMOX_TEST_OUTPUT_DIR) + "/" + name + ".pgm";
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return "";
  std::fprintf(file, "P5\n%d %d\n255\n", surface_.width(), surface_.height());
  std::fwrite(surface_.data(), 1, surface_.size(), file);
  std::fclose(file);
  return path;
}
#endif

}  // namespace lumox::testing
