#include "module_harness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <tuple>

#include "resources/strings.h"
#include "saver/module_table.h"

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
  for (ModuleDescriptor& m : table_)
    std::tie(m.table, m.width, m.height, m.dc) = std::tuple(table_.data(), width, height, &canvas_);
  InstallModule(table_, moduleIndex);
  module().name = kModuleNames[moduleIndex];
}

void InstallModule(ModuleTable& table, int index) {
  const ModuleDefinition& definition = GetModuleDefinition(index);
  ModuleDescriptor& m = table[index];
  m.controls = {};
  for (const ControlRow& row : definition.controls)
    DefineControl(table, index, row.labelId, row.index, row.defaultValue, row.minimum, row.maximum);
  std::tie(m.Draw, m.Init, m.Start, m.Stop) =
      std::tie(definition.Draw, definition.Init, definition.Start, definition.Stop);
}

ModuleHarness::~ModuleHarness() {
  Saver().runFlag = savedRunFlag_;
  SetCurrentSoundShare(nullptr);
  InstallSystemServices(nullptr);
  InstallClock(nullptr);
}

void ModuleHarness::SetAll(Preset preset) {
  for (ModuleControl& c : module().controls)
    if (c.Defined)
      c.Value = preset == Preset::Minimum   ? c.Minimum
                : preset == Preset::Maximum ? c.Maximum : c.Default;
}

int ModuleHarness::SlotLabelled(const std::string& label) const {
  for (const ControlRow& row : GetModuleDefinition(index_).controls)
    if (LoadResourceString(row.labelId) == label) return row.index;
  return -1;
}

void ModuleHarness::ClipInside(int margin) {
  canvas_.IntersectClipRect(margin, margin, surface_.width() - margin,
                            surface_.height() - margin);
}

bool ModuleHarness::TouchedOutside(int margin) const {
  for (int y = 0; y < surface_.height(); ++y)
    for (int x = 0; x < surface_.width(); ++x) {
      const bool inside = x >= margin && y >= margin && x < surface_.width() - margin &&
                          y < surface_.height() - margin;
      if (!inside && surface_.row(y)[x] != kUntouched) return true;
    }
  return false;
}

bool ModuleHarness::Untouched() const {
  return std::all_of(surface_.data(), surface_.data() + surface_.size(),
                     [](uint8_t p) { return p == kUntouched; });
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
  for (size_t i = 0; i < surface.size(); ++i)
    if (surface.data()[i] != 0) colours.insert(surface.data()[i]);
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

int ModuleHarness::FinishPicture(int maxFrames) {
  Init();
  Start();
  for (int frame = 1; frame <= maxFrames; ++frame)
    if (Draw() == kYield) return frame;
  return 0;
}

void ModuleHarness::ExpectHash(uint64_t expected, const std::string& name) const {
  const uint64_t actual = Hash();
  if (actual == expected) return;
  // The physical indices as a binary PGM next to the test program.
  const std::string path = std::string(LUMOX_TEST_OUTPUT_DIR) + "/golden_" + name + ".pgm";
  if (FILE* file = std::fopen(path.c_str(), "wb")) {
    std::fprintf(file, "P5\n%d %d\n255\n", surface_.width(), surface_.height());
    std::fwrite(surface_.data(), 1, surface_.size(), file);
    std::fclose(file);
  }
  ADD_FAILURE() << name << ": hash 0x" << std::hex << actual << ", expected 0x" << expected
                << std::dec << "; picture written to " << path;
}

}  // namespace lumox::testing
