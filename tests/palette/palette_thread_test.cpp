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

using namespace std::chrono_literals;

TEST(PaletteThread, AnimatesTheScreenWhileOtherThreadsWriteTheState) {
  InstallClock(nullptr);  // real time: the thread sleeps between steps
  gfx::Screen screen(32, 24);
  gfx::Canvas renderDc(screen);
  PaletteState* state = CreatePaletteState(&renderDc);
  auto quickly = [&] {  // short steps, effects and events
    for (PaletteParameter p : {kCycleRate, kSeconds, kEvent})
      for (PaletteValue& v : state->settings.values[p]) v.Value = p == kCycleRate ? 10 : 0;
  };
  quickly();
  SaverState saver;
  saver.palette = state;
  saver.runFlag = 1;
  std::thread palette([&] { PaletteThreadMain(*state, screen, saver); });
  std::atomic<bool> stop{false};
  std::thread keys([&] {  // the hot keys
    for (int i = 0; !stop; ++i, std::this_thread::sleep_for(3ms)) {
      for (Relaxed<int32_t>& e : state->settings.Effect) e = i % 7;
      for (ChannelAnimation& a : state->channels) a.ChangeTime = TickCount();
      for (PaletteValue& v : state->settings.values[kDirection]) v.Value = -v.Value;
      state->LiveColors = i % 2;
    }
  });
  std::thread loader([&] {  // the Random module loading another display
    for (uint8_t captured = 0; !stop; std::this_thread::sleep_for(7ms)) {
      SetPaletteDefaults(*state);
      quickly();
      MakeRandomCustomPalette(state->custom, 3, 5, 7);
      ForceNewEffects(*state);
      for (const PaletteEntry& e : state->entries) captured ^= e.red;
    }
  });
  for (int i = 0; i < 10000 && screen.Entry(gfx::kFirstSaverEntry + 100) == gfx::Rgb{}; ++i)
    std::this_thread::sleep_for(1ms);
  EXPECT_NE(screen.Entry(gfx::kFirstSaverEntry + 100), gfx::Rgb{});
  EXPECT_EQ(saver.paletteReady, 1);
  std::this_thread::sleep_for(200ms);
  stop = true;
  keys.join();
  loader.join();
  saver.runFlag = 0;
  palette.join();
  EXPECT_EQ(state->dc, &renderDc);  // the thread put the creator's dc back
  ReleasePaletteState(state);
}

}  // namespace
}  // namespace lumox
