// Slide Show (module "Bitmap"): pictures on the screen one after another,
// either files that match the module's file name or mask, or a half-size
// grey capture of the screen itself.
//
// Every picture becomes an 8-bit working image drawn in palette-index mode,
// so its pixel values select entries of the animated palette and the palette
// thread keeps recolouring it. The slow work (finding, loading, converting
// and smoothing the picture, and finally drawing it) runs on a loader
// thread; Draw only paces the pictures and starts loaders. The display lock
// keeps the two threads off the canvas at the same time: the render thread
// holds it everywhere except inside this module's Draw, so the loader draws
// only while Draw waits for it.
//
// A loader waits for its turn on a condition variable instead of spinning,
// and checks the run flag at every step, so Stop ends it quickly. A file
// that cannot be read (damaged, of no known format, replaced or deleted
// while it was read) is skipped and the next matching file tried at once,
// each file at most once per picture.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <thread>

#include "base/random.h"
#include "control/controls.h"
#include "gfx/canvas.h"
#include "image/image_effects.h"
#include "image/image_files.h"
#include "image/indexed_image.h"
#include "modules/module_catalog.h"
#include "modules/module_support.h"
#include "platform/clock.h"
#include "platform/picture_folder.h"
#include "platform/system.h"
#include "state/palette_state.h"

namespace lumox {
namespace {

enum BitmapControl : int {
  kDisplayType = 0,
  kForceGradient = 1,
  kDuration = 2,
  kSmoothing = 3,
  kRandomOrder = 4,
  kFileOrScreen = 5,
};

constexpr ControlRow kBitmapControls[] = {
    {104, kDisplayType, 1, 0, 3},
    {105, kForceGradient, 0, 0, 1},
    {106, kDuration, 12, 0, 1000},
    {107, kSmoothing, 2, 0, 10},
    {108, kRandomOrder, 0, 0, 1},
    {109, kFileOrScreen, 0, 0, 1},
    {110, kStrengthSlot, 1, -10, 10},  // "Strength"
};

enum DisplayType : int32_t { kCentred = 0, kStretched = 1, kMirrorTiled = 2, kTiled = 3 };

constexpr uint32_t kStopWaitMs = 2000;
constexpr auto kPollInterval = std::chrono::milliseconds(2);

// The control values a loader works with, taken when it starts.
struct LoaderSettings {
  int32_t displayType = kStretched;
  bool forceGrey = false;
  uint32_t durationMs = 0;
  int32_t smoothing = 0;
  bool randomOrder = false;
  bool screenMode = false;
};

// Shared by the render thread and the loader; a loader abandoned by Stop
// keeps it alive through its own reference.
struct SlideShowState {
  std::mutex display;                        // the display lock
  std::unique_lock<std::mutex> renderHold;   // the render thread's hold on it
  std::mutex signal;                         // guards the flags below
  std::condition_variable changed;
  bool run = false;       // cleared by Stop: the loader draws nothing and ends
  bool show = false;      // set by Draw while a picture is due
  bool waiting = false;   // the loader has its picture ready and waits to draw
  bool finished = true;   // the loader has ended (or none was started)
  bool capturing = false; // the loader waits for the display lock to copy the screen
  std::thread loader;

  LoaderSettings settings;
  std::string mask;
  gfx::Canvas* dc = nullptr;
  const PaletteState* palette = nullptr;
  int32_t width = 0, height = 0;
  int32_t halfWidth = 0, halfHeight = 0;
};

std::shared_ptr<SlideShowState> slideShow;

// When the next picture is due; none before the first loader of the process
// starts, so the first picture of a run shows once it is ready.
bool hasDueTime = false;
uint32_t dueTime = 0;

void TakeControlValues(ModuleDescriptor& module, SlideShowState& s);
void StartLoader(const std::shared_ptr<SlideShowState>& state);
void EndLoader(SlideShowState& s);
void Loader(std::shared_ptr<SlideShowState> state) noexcept;

int32_t Init(ModuleDescriptor& module) noexcept {
  slideShow.reset();
  try {
    slideShow = std::make_shared<SlideShowState>();
  } catch (const std::bad_alloc&) {
    return 0;
  }
  SlideShowState& s = *slideShow;
  s.renderHold = std::unique_lock<std::mutex>(s.display);
  s.dc = module.dc;
  s.palette = module.palette;
  s.width = module.width;
  s.height = module.height;
  s.halfWidth = (module.width + 1) / 2;
  s.halfHeight = (module.height + 1) / 2;
  return 0;
}

int32_t Start(ModuleDescriptor& module) noexcept {
  if (!slideShow) return 0;
  SlideShowState& s = *slideShow;
  TakeControlValues(module, s);
  // An empty text stands for the default pictures, and shows them as the
  // module's text from now on.
  if (module.text[0] == '\0') {
    const std::string mask = DefaultPictureMask();
    mask.copy(module.text, kModuleTextSize - 1);
    module.text[std::min<size_t>(mask.size(), kModuleTextSize - 1)] = '\0';
  }
  s.mask = module.text;
  EndLoader(s);  // Start follows Init, so there is none unless a caller skipped Stop
  StartLoader(slideShow);
  return 0;
}

int32_t Draw(ModuleDescriptor& module) noexcept {
  if (!slideShow || !slideShow->renderHold.owns_lock()) return kYield;
  SlideShowState& s = *slideShow;
  s.renderHold.unlock();
  const uint32_t now = TickCount();
  std::unique_lock<std::mutex> flags(s.signal);
  // A screen capture takes its copy now (the lock is not fair: left to
  // chance, the render thread could take it back every time).
  s.changed.wait(flags, [&] { return !s.capturing; });
  if (!hasDueTime || TickDelta(now, dueTime) > 0) {
    s.show = true;
    // A loader with its picture ready draws it now, while this thread
    // holds no display lock; then the next loader starts.
    if (s.waiting) {
      s.changed.notify_all();
      s.changed.wait(flags, [&] { return s.finished; });
    }
    s.show = false;
    if (s.finished) {
      flags.unlock();
      if (s.loader.joinable()) s.loader.join();
      TakeControlValues(module, s);
      StartLoader(slideShow);
      hasDueTime = true;
      dueTime = now + s.settings.durationMs;
    }
  }
  if (flags.owns_lock()) flags.unlock();
  s.renderHold.lock();
  return 0;
}

int32_t Stop(ModuleDescriptor&) noexcept {
  if (!slideShow) return 0;
  std::shared_ptr<SlideShowState> state = std::move(slideShow);
  SlideShowState& s = *state;
  {
    // The render thread holds the display lock here, so no loader is
    // drawing; once the run flag is clear none ever will.
    std::lock_guard<std::mutex> flags(s.signal);
    s.run = false;
    s.show = true;
  }
  s.changed.notify_all();
  if (s.renderHold.owns_lock()) s.renderHold.unlock();
  std::unique_lock<std::mutex> flags(s.signal);
  const bool ended = s.changed.wait_for(flags, std::chrono::milliseconds(kStopWaitMs),
                                        [&] { return s.finished; });
  flags.unlock();
  if (s.loader.joinable()) {
    if (ended) {
      s.loader.join();
    } else {
      // Still reading a file: it keeps the state alive and ends on its own.
      s.loader.detach();
      System().DebugOutput("Slide show: the picture loader did not end within 2 s; left to end");
    }
  }
  return 0;
}

// RandomizeControls and EvaluateControls, then the six values as the next
// loader works with them.
void TakeControlValues(ModuleDescriptor& module, SlideShowState& s) {
  RandomizeControls(module);
  EvaluateControls(module);
  LoaderSettings& c = s.settings;
  c.displayType = ControlValue(module, kBitmapControls, kDisplayType);
  c.forceGrey = ControlValue(module, kBitmapControls, kForceGradient) != 0;
  c.durationMs = 1000u * static_cast<uint32_t>(ControlValue(module, kBitmapControls, kDuration));
  c.smoothing = ControlValue(module, kBitmapControls, kSmoothing);
  c.randomOrder = ControlValue(module, kBitmapControls, kRandomOrder) != 0;
  c.screenMode = ControlValue(module, kBitmapControls, kFileOrScreen) != 0;
}

void StartLoader(const std::shared_ptr<SlideShowState>& state) {
  SlideShowState& s = *state;
  {
    std::lock_guard<std::mutex> flags(s.signal);
    s.run = true;
    s.show = false;
    s.waiting = false;
    s.finished = false;
  }
  try {
    s.loader = std::thread(Loader, state);
  } catch (const std::system_error&) {
    std::lock_guard<std::mutex> flags(s.signal);
    s.finished = true;  // the next due Draw tries again
  }
}

// Tells a loader to end and waits for it.
void EndLoader(SlideShowState& s) {
  if (!s.loader.joinable()) return;
  {
    std::lock_guard<std::mutex> flags(s.signal);
    s.run = false;
  }
  s.changed.notify_all();
  const bool held = s.renderHold.owns_lock();
  if (held) s.renderHold.unlock();  // a loader may wait for the display lock
  s.loader.join();
  if (held) s.renderHold.lock();
}

// --- the loader thread ---

bool Running(SlideShowState& s) {
  std::lock_guard<std::mutex> flags(s.signal);
  return s.run;
}

// Skips files that cannot be read (damaged, unknown, gone) and tries the
// next, each matching file at most once.
bool LoadFromFiles(SlideShowState& s, const LoaderSettings& c, IndexedImage& image) {
  const int32_t attempts = std::max(1, CountMatchingFiles(s.mask));
  DibPicture picture;
  std::string error;
  for (int32_t attempt = 0; attempt < attempts && Running(s); ++attempt) {
    if (LoadImageFromMask(s.mask, c.randomOrder, picture, error) &&
        MakeWorkingImage(picture, c.forceGrey, image)) {
      return true;
    }
  }
  return false;
}

// The grey-table entry nearest to the colour a screen pixel shows now:
// entry i holds grey level i + 1, entry 255 black.
uint8_t GreyEntryOf(const SlideShowState& s, uint8_t physical) {
  gfx::Rgb color = gfx::StaticColor(physical);
  const int saverEntry = physical - gfx::kFirstSaverEntry;
  if (saverEntry >= 0 && saverEntry < kPaletteEntries) {
    color = s.palette != nullptr ? s.palette->entries[saverEntry].Color()
                                 : gfx::Rgb{physical, physical, physical};
  }
  const int level = (color.red + color.green + color.blue) / 3;
  return static_cast<uint8_t>(level == 0 ? 255 : level - 1);
}

// Waits (in the saver's time) until `due`, or until Stop.
bool WaitUntil(SlideShowState& s, uint32_t due) {
  while (TickDelta(TickCount(), due) < 0) {
    std::unique_lock<std::mutex> flags(s.signal);
    if (s.changed.wait_for(flags, kPollInterval, [&] { return !s.run; })) return false;
  }
  return Running(s);
}

// A half-size grey copy of the screen, taken under the display lock.
bool CaptureScreen(SlideShowState& s, IndexedImage& image) {
  gfx::Surface copy(s.halfWidth, s.halfHeight);
  {
    {
      std::lock_guard<std::mutex> flags(s.signal);
      s.capturing = true;
    }
    std::lock_guard<std::mutex> hold(s.display);
    struct CaptureDone {
      SlideShowState& s;
      ~CaptureDone() {
        {
          std::lock_guard<std::mutex> flags(s.signal);
          s.capturing = false;
        }
        s.changed.notify_all();
      }
    } done{s};
    if (!Running(s) || s.dc == nullptr) return false;
    gfx::Canvas canvas(copy);
    canvas.SetStretchMode(gfx::StretchMode::ColorOnColor);
    canvas.StretchBlt(0, 0, s.halfWidth, s.halfHeight, *s.dc, 0, 0, s.width, s.height);
    if (!CreateIndexedImage(true, s.halfWidth, s.halfHeight, {}, image)) return false;
    for (int32_t y = 0; y < s.halfHeight; ++y) {
      uint8_t* target = image.Row(s.halfHeight - 1 - y);  // the image is bottom-up
      const uint8_t* source = copy.row(y);
      for (int32_t x = 0; x < s.halfWidth; ++x) target[x] = GreyEntryOf(s, source[x]);
    }
  }
  return true;
}

// Draws the image on the window by the display type (w, h: the image's
// size; W, H: the window's). Callers hold the display lock.
void ShowImage(SlideShowState& s, int32_t displayType, const IndexedImage& image) {
  gfx::Canvas& dc = *s.dc;
  const int32_t w = image.width, h = image.height, W = s.width, H = s.height;
  const gfx::DibView view = image.View();
  dc.SetStretchMode(gfx::StretchMode::ColorOnColor);
  switch (displayType) {
    case kCentred:
      dc.StretchDIBits((W >> 1) - (w >> 1), (H >> 1) - (h >> 1), w, h, 0, 0, w, h, view);
      break;
    case kStretched:
      dc.StretchDIBits(0, 0, W, H, 0, 0, w, h, view);
      break;
    case kMirrorTiled: {
      dc.StretchDIBits(0, 0, w, h, 0, 0, w, h, view);
      int64_t k = 0;
      for (int64_t x = w; x < W; x += w, ++k) {
        if (k % 2 == 0) {
          dc.StretchBlt(static_cast<int32_t>(x + w), 0, -(w + 1), h, dc, 0, 0, w, h);
        } else {
          dc.StretchBlt(static_cast<int32_t>(x - 1), 0, w + 1, h, dc, 0, 0, w, h);
        }
      }
      k = 0;
      for (int64_t y = h; y < H; y += h, ++k) {
        if (k % 2 == 0) {
          dc.StretchBlt(0, static_cast<int32_t>(y + h), W, -(h + 1), dc, 0, 0, W, h);
        } else {
          dc.StretchBlt(0, static_cast<int32_t>(y - 1), W, h + 1, dc, 0, 0, W, h);
        }
      }
      break;
    }
    case kTiled:
      dc.StretchDIBits(0, 0, w, h, 0, 0, w, h, view);
      for (int64_t x = int64_t{w} - 1; x < W; x += w) {
        dc.BitBlt(static_cast<int32_t>(x), 0, w, h, dc, 0, 0);
      }
      for (int64_t y = int64_t{h} - 1; y < H; y += h) {
        dc.BitBlt(0, static_cast<int32_t>(y), W, h, dc, 0, 0);
      }
      break;
    default:
      break;
  }
}

void Finish(SlideShowState& s) {
  {
    std::lock_guard<std::mutex> flags(s.signal);
    s.waiting = false;
    s.finished = true;
  }
  s.changed.notify_all();
}

void LoadAndShow(SlideShowState& s) {
  SeedRandom(TickCount());
  const LoaderSettings c = s.settings;  // written only while no loader runs
  IndexedImage image;
  if (c.screenMode) {
    if (!WaitUntil(s, TickCount() + c.durationMs / 2 + 1000) || !CaptureScreen(s, image)) return;
  } else if (!LoadFromFiles(s, c, image)) {
    return;
  }
  const PixelBuffer buffer{image.pixels.data(), image.width, image.height, image.Stride()};
  for (int32_t pass = 0; pass < c.smoothing && Running(s); ++pass) {
    SmoothImage(buffer, image.width, image.height);
  }
  {
    std::unique_lock<std::mutex> flags(s.signal);
    s.waiting = true;
    s.changed.notify_all();
    s.changed.wait(flags, [&] { return s.show || !s.run; });
  }
  std::lock_guard<std::mutex> hold(s.display);
  if (Running(s) && s.dc != nullptr) ShowImage(s, c.displayType, image);
}

void Loader(std::shared_ptr<SlideShowState> state) noexcept {
  try {
    LoadAndShow(*state);
  } catch (...) {
    // Out of memory or a fault in a decoder: this picture is skipped.
  }
  Finish(*state);
}

}  // namespace

const ModuleDefinition kBitmapModule{kBitmapControls, Draw, Init, Start, Stop};

}  // namespace lumox
