// The saver's render loop driven headless: the runtime's RenderSession and
// HeadlessRun on the calling thread, with the runtime's real services
// except the ones a headless run must not have (no sound block from
// another process, no sound player launched, no priority change).
#include <cstdio>
#include <memory>
#include <string>

#include "gfx/screen.h"
#include "headless_run.h"
#include "saver/render_thread.h"
#include "state/saver_state.h"

namespace lumox::host {
namespace {

class SaverScene final : public HeadlessScene {
 public:
  bool Begin(std::shared_ptr<gfx::Screen> screen, ManualClock& clock, std::string&) override {
    RuntimeServices services = DefaultRuntimeServices();
    services.launchPlayer = nullptr;
    services.setProcessPriority = nullptr;
    // What the saver window reads when it is created: the slogan overlay.
    if (services.readSlogan) {
      const std::string slogan = services.readSlogan();
      std::snprintf(Saver().slogan, kSloganSize, "%s", slogan.c_str());
    }
    session_ = std::make_unique<RenderSession>(Saver(), std::move(screen), nullptr, services,
                                               /*fullScreenWindow=*/false);
    run_ = std::make_unique<HeadlessRun>(*session_, clock);
    run_->Begin();
    return true;
  }
  void Frame() override { run_->Frame(); }
  void End() override {
    if (run_) run_->End();
    run_.reset();
    session_.reset();
  }

 private:
  std::unique_ptr<RenderSession> session_;
  std::unique_ptr<HeadlessRun> run_;
};

}  // namespace

std::unique_ptr<HeadlessScene> MakeSaverScene() { return std::make_unique<SaverScene>(); }

}  // namespace lumox::host
