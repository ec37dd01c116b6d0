#include "gl_presenter.h"

#include <optional>

#include "gl_palette_lookup.h"

namespace lumox::host {
namespace {

class GlPresenter final : public SdlPresenter {
 public:
  GlPresenter(SDL_Window* window, SDL_GLContext context) : window_(window), context_(context) {}
  ~GlPresenter() override {
    SDL_GL_MakeCurrent(window_, context_);
    lookup_.reset();
    SDL_GL_DeleteContext(context_);
  }

  bool Build(std::string& error) {
    lookup_.emplace();
    // Presents are paced by the host's refresh timer; waiting for the
    // vertical blank as well keeps the swap from tearing.
    SDL_GL_SetSwapInterval(1);
    return lookup_->Build(error);
  }

  bool Present(gfx::Screen& screen, gfx::PresentTracker& tracker) override {
    SDL_GL_MakeCurrent(window_, context_);
    if (!lookup_->Upload(screen, tracker)) return false;
    int drawableWidth = 0, drawableHeight = 0;
    SDL_GL_GetDrawableSize(window_, &drawableWidth, &drawableHeight);
    const bool drawn = lookup_->Draw(drawableWidth, drawableHeight);
    SDL_GL_SwapWindow(window_);
    return drawn;
  }

  const char* Name() const override { return "gl"; }

 private:
  SDL_Window* window_;
  SDL_GLContext context_;
  std::optional<GlPaletteLookup> lookup_;  // made and destroyed with the context current
};

}  // namespace

std::unique_ptr<SdlPresenter> MakeGlPresenter(SDL_Window* window, bool hardwareOnly,
                                              std::string& error) {
  SDL_GLContext context = SDL_GL_CreateContext(window);
  if (!context) {
    error = std::string("no OpenGL context: ") + SDL_GetError();
    return nullptr;
  }
  if (hardwareOnly && !RendersInHardware(error)) {
    SDL_GL_DeleteContext(context);
    return nullptr;
  }
  auto presenter = std::make_unique<GlPresenter>(window, context);
  if (!presenter->Build(error)) return nullptr;
  return presenter;
}

}  // namespace lumox::host
