// The test picture driven as a real run: a render thread and a palette
// thread, each ending at its next step once the run flag drops.
#include <atomic>
#include <thread>

#include "drawing_threads.h"
#include "frame_pacer.h"
#include "platform/clock.h"
#include "test_picture.h"

namespace lumox::host {
namespace {

class TestPictureThreads final : public DrawingThreads {
 public:
  ~TestPictureThreads() override { Stop(); }

  bool Start(gfx::Screen& screen, std::chrono::nanoseconds framePeriod) override {
    picture_ = std::make_unique<TestPicture>(screen);
    running_ = true;
    render_ = std::thread([this, framePeriod] { RenderLoop(framePeriod); });
    palette_ = std::thread([this] { PaletteLoop(); });
    return true;
  }

  void Stop() override {
    running_ = false;
    if (render_.joinable()) render_.join();
    if (palette_.joinable()) palette_.join();
  }

 private:
  void RenderLoop(std::chrono::nanoseconds framePeriod) noexcept {
    const bool paced = framePeriod.count() > 0;
    FramePacer pacer(paced ? 1e9 / static_cast<double>(framePeriod.count()) : 60.0);
    for (uint32_t frame = 1; running_; ++frame) {
      picture_->DrawFrame(frame);
      if (paced) pacer.Wait();
    }
  }

  void PaletteLoop() noexcept {
    while (running_) {
      picture_->PaletteStep();
      SleepMs(TestPicture::kPaletteInterval);
    }
  }

  std::unique_ptr<TestPicture> picture_;
  std::atomic<bool> running_{false};
  std::thread render_;
  std::thread palette_;
};

}  // namespace

std::unique_ptr<DrawingThreads> MakeTestPictureThreads() {
  return std::make_unique<TestPictureThreads>();
}

}  // namespace lumox::host
