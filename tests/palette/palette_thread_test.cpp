// The real palette thread, with other threads writing into the palette
// state the way the hot keys and the Random module do. Run under the thread
// sanitizer, this shows that every shared access is whole.
#include "palette/palette_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "gfx/canvas.h"
#include "gfx/screen.h"
#include "palette/palette.h"
#include "platform/clock.h"
#include "state/saver_state.h"

namespace lumox {
namespace {

void WaitFor(const Relaxed<int32_t>& flag) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!flag && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
}

TEST(PaletteThread, AnimatesTheScreenWhileOtherThreadsWriteTheState) {
  InstallClock(nullptr);  // real time: the thread sleeps between steps
  gfx::Screen screen(32, 24);
  gfx::Canvas renderDc(screen);
  PaletteState* state = CreatePaletteState(&renderDc);
  SaverState saver;
  saver.palette = state;
  for (PaletteValue& v : state->settings.values[kCycleRate]) v.Value = 10;
  for (PaletteValue& v : state->settings.values[kSeconds]) v.Value = 0;  // change often
  for (PaletteValue& v : state->settings.values[kEvent]) v.Value = 5;

  saver.runFlag = 1;
  std::thread palette([&] { PaletteThreadMain(*state, screen, saver); });
  WaitFor(saver.paletteReady);
  ASSERT_TRUE(saver.paletteReady);

  // The hot keys and the Random module, from two other threads.
  std::atomic<bool> stop{false};
  std::thread keys([&] {
    for (int i = 0; !stop; ++i) {
      switch (i % 4) {
        case 0:  // capture the shown colours as a custom palette
          for (Relaxed<int32_t>& e : state->settings.Effect) e = kEffectCustom;
          state->LiveColors = 1;
          break;
        case 1:  // new effects now
          for (ChannelAnimation& a : state->channels) a.ChangeTime = TickCount();
          break;
        case 2:  // reverse the cycling
          for (PaletteValue& v : state->settings.values[kDirection]) v.Value = -v.Value;
          break;
        default:
          saver.palettePaused = !saver.palettePaused;
          break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(3));
    }
    saver.palettePaused = 0;
  });
  std::thread loader([&] {
    for (int i = 0; !stop; ++i) {
      SetPaletteDefaults(*state);
      for (PaletteValue& v : state->settings.values[kCycleRate]) v.Value = 10;
      state->settings.Effect[i % kChannels] = i % 7;
      MakeRandomCustomPalette(state->custom, 3, 5, 7);
      ForceNewEffects(*state);
      // The capture reads the colours on show.
      gfx::Rgb sum{};
      for (const PaletteEntry& e : state->entries) sum.red ^= e.red;
      (void)sum;
      std::this_thread::sleep_for(std::chrono::milliseconds(7));
    }
  });

  // The palette reaches the screen while all this goes on.
  bool changed = false;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!changed && std::chrono::steady_clock::now() < deadline) {
    for (int k = 0; k < kPaletteEntries; ++k) {
      changed |= screen.Entry(gfx::kFirstSaverEntry + k) != gfx::Rgb{};
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  stop = true;
  keys.join();
  loader.join();
  saver.runFlag = 0;
  palette.join();

  EXPECT_TRUE(changed);
  EXPECT_EQ(state->dc, &renderDc);  // the thread put the creator's dc back
  ReleasePaletteState(state);
}

TEST(PaletteThread, PausedThreadLeavesThePaletteAlone) {
  InstallClock(nullptr);
  gfx::Screen screen(4, 4);
  PaletteState* state = CreatePaletteState(nullptr);
  SaverState saver;
  saver.runFlag = 1;
  saver.palettePaused = 1;
  std::thread palette([&] { PaletteThreadMain(*state, screen, saver); });
  WaitFor(saver.paletteReady);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  saver.runFlag = 0;
  palette.join();
  // Begin generated the first rows, but no step handed them over.
  EXPECT_EQ(state->channels[kRed].Counter, kPaletteEntries);
  for (int k = 0; k < kPaletteEntries; ++k) {
    ASSERT_EQ(state->entries[k].Color(), gfx::Rgb{}) << k;
  }
  EXPECT_EQ(state->dc, nullptr);
  ReleasePaletteState(state);
}

}  // namespace
}  // namespace lumox
