#include <memory>

#include "control/control_fixture.h"
#include "settings/saved_displays.h"
#include "state/palette_state.h"
#include "state/saver_state.h"

namespace lumox {
namespace {

namespace off = share_offset;

// A control as its module defines it, with the given source.
ModuleControl Defined(int32_t def, int32_t min, int32_t max, int32_t source) {
  ModuleControl control = DefinedControl(0, def, min, max);
  control.Source = source;
  return control;
}

class SoundAvailabilityTest : public BlockTest {
 protected:
  void SetUp() override {
    BlockTest::SetUp();
    state = std::make_unique<SaverState>();
    palette = std::make_unique<PaletteState>();
    state->options.Active[kPattern] = 1;
    state->options.Active[kStar] = 0;
    state->table[kPattern].controls[0] = Defined(1, 0, 9, kSourceLeft);
    state->table[kPattern].controls[1] = Defined(1, 0, 9, kSourceRandom);
    state->table[kPattern].controls[2] = Defined(1, 0, 9, kSourceLastBand);
    state->table[kPattern].controls[3].Source = kSourceVolume;  // not defined
    state->table[kStar].controls[0] = Defined(1, 0, 9, kSourceVolume);
    state->palette = palette.get();
    palette->settings.values[kCycleRate][kGreen].Source = kSourceFirstBand;
    palette->settings.values[kDensity][kBlue].Source = kSourceOscillate;
    share.SetU32(off::PaletteUsesSound, 1);
    share.SetU32(off::SaverUsesSound, 1);
  }

  int32_t PatternSource(int slot) const { return state->table[kPattern].controls[slot].Source; }
  int32_t PaletteSource() const { return palette->settings.values[kCycleRate][kGreen].Source; }

  std::unique_ptr<SaverState> state;
  std::unique_ptr<PaletteState> palette;
};

TEST_F(SoundAvailabilityTest, WithoutThePlayerSoundBecomesOscillation) {
  share.SetU32(off::ModuleSoundEnabled, 1);
  share.SetU32(off::PaletteSoundEnabled, 1);
  ApplySoundAvailability(*state);
  EXPECT_EQ(PatternSource(0), kSourceOscillate);
  EXPECT_EQ(PatternSource(1), kSourceRandom);
  EXPECT_EQ(PatternSource(2), kSourceOscillate);
  EXPECT_EQ(PatternSource(3), kSourceVolume);  // undefined slot untouched
  EXPECT_EQ(state->table[kStar].controls[0].Source, kSourceVolume);  // inactive module
  EXPECT_EQ(PaletteSource(), kSourceOscillate);
  EXPECT_EQ(palette->settings.values[kDensity][kBlue].Source, kSourceOscillate);
  EXPECT_EQ(share.U32(off::PaletteUsesSound), 0u);
  EXPECT_EQ(share.U32(off::SaverUsesSound), 0u);
}

TEST_F(SoundAvailabilityTest, EachSwitchGovernsItsOwnSources) {
  share.SetU32(off::PlayerActive, 1);
  share.SetU32(off::ModuleSoundEnabled, 1);
  share.SetU32(off::PaletteSoundEnabled, 0);
  ApplySoundAvailability(*state);
  EXPECT_EQ(PatternSource(0), kSourceLeft);
  EXPECT_EQ(PatternSource(2), kSourceLastBand);
  EXPECT_EQ(PaletteSource(), kSourceOscillate);
  EXPECT_EQ(share.U32(off::SaverUsesSound), 1u);
  EXPECT_EQ(share.U32(off::PaletteUsesSound), 0u);

  // Palette sound alone also counts as the saver using sound.
  PaletteState& p = *palette;
  p.settings.values[kIntensity][kRed].Source = kSourceRight;
  state->options.Active[kPattern] = 0;
  share.SetU32(off::ModuleSoundEnabled, 0);
  share.SetU32(off::PaletteSoundEnabled, 1);
  ApplySoundAvailability(*state);
  EXPECT_EQ(p.settings.values[kIntensity][kRed].Source, kSourceRight);
  EXPECT_EQ(share.U32(off::SaverUsesSound), 1u);
  EXPECT_EQ(share.U32(off::PaletteUsesSound), 1u);
}

TEST_F(SoundAvailabilityTest, TheOpenDialogKeepsTheUsersChoices) {
  state->configDialogOpen = true;
  ApplySoundAvailability(*state);
  EXPECT_EQ(PatternSource(0), kSourceLeft);
  EXPECT_EQ(PaletteSource(), kSourceFirstBand);
  EXPECT_EQ(share.U32(off::SaverUsesSound), 1u);
  EXPECT_EQ(share.U32(off::PaletteUsesSound), 1u);
}

TEST_F(SoundAvailabilityTest, NoPaletteYetOnlyTouchesModules) {
  state->palette = nullptr;
  ApplySoundAvailability(*state);
  EXPECT_EQ(PatternSource(0), kSourceOscillate);
  EXPECT_EQ(PaletteSource(), kSourceFirstBand);
}

}  // namespace
}  // namespace lumox
