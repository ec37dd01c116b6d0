#include "headless_scenes.h"

#include <memory>

#include "headless_run.h"
#include "test_picture.h"

namespace lumox::host {
namespace {

class TestPictureScene final : public HeadlessScene {
 public:
  bool Begin(gfx::Screen& screen, std::string&) override {
    picture_ = std::make_unique<TestPicture>(screen);
    return true;
  }
  void Frame() override { picture_->DrawFrame(++frame_); }
  uint32_t PaletteInterval() override { return TestPicture::kPaletteInterval; }
  void PaletteStep() override { picture_->PaletteStep(); }
  void End() override { picture_.reset(); }

 private:
  std::unique_ptr<TestPicture> picture_;
  uint32_t frame_ = 0;
};

}  // namespace

int RunHeadlessScene(const HostCommand& command) {
  TestPictureScene scene;
  return RunHeadless(command, scene);
}

}  // namespace lumox::host
