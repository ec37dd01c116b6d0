#include "sdl_presenter.h"

#include <unistd.h>

#include <cstddef>
#include <string_view>
#include <vector>

#include "gfx/present_tracker.h"
#include "gfx/screen.h"
#include "gl_presenter.h"

namespace lumox::host {
namespace {

bool IsXrgb(const SDL_PixelFormat* format) {
  return format->BytesPerPixel == 4 && format->Rmask == 0x00FF0000 &&
         format->Gmask == 0x0000FF00 && format->Bmask == 0x000000FF;
}

// Where pixel (left, top) of a 32-bit image lies.
uint32_t* PixelAt(void* pixels, int pitch, int left, int top) {
  return reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(pixels) +
                                     static_cast<ptrdiff_t>(top) * pitch) +
         left;
}

SDL_Rect ToSdlRect(const gfx::Rect& r) {
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

class SurfacePresenter final : public SdlPresenter {
 public:
  explicit SurfacePresenter(SDL_Window* window) : window_(window) {}
  ~SurfacePresenter() override { SDL_FreeSurface(staging_); }

  bool Present(gfx::Screen& screen, gfx::PresentTracker& tracker) override {
    SDL_Surface* target = SDL_GetWindowSurface(window_);
    if (!target) return false;
    gfx::ChangedArea area = tracker.Take(screen);
    if (area.Empty()) return false;
    const uint32_t* palette = tracker.palette();
    if (target->w == screen.width() && target->h == screen.height() && IsXrgb(target->format)) {
      // The common case: convert the changed rectangles straight into the
      // window's framebuffer and send only them.
      if (SDL_MUSTLOCK(target) && SDL_LockSurface(target) != 0) return false;
      std::vector<SDL_Rect> sent;
      for (const gfx::Rect& r : area.Rects()) {
        screen.Present(PixelAt(target->pixels, target->pitch, r.left, r.top), target->pitch, r,
                       palette);
        sent.push_back(ToSdlRect(r));
      }
      if (SDL_MUSTLOCK(target)) SDL_UnlockSurface(target);
      return SDL_UpdateWindowSurfaceRects(window_, sent.data(), static_cast<int>(sent.size())) == 0;
    }
    // Another size or pixel format: convert into a staging surface and let
    // SDL scale or reformat it. Scaled rectangles do not map onto whole
    // window pixels: the whole window is sent.
    if (!staging_ || staging_->w != screen.width() || staging_->h != screen.height()) {
      SDL_FreeSurface(staging_);
      staging_ = SDL_CreateRGBSurfaceWithFormat(0, screen.width(), screen.height(), 32,
                                                SDL_PIXELFORMAT_RGB888);
      if (!staging_) return false;
      area.MarkAll();  // a new staging surface holds nothing yet
    }
    for (const gfx::Rect& r : area.Rects())
      screen.Present(PixelAt(staging_->pixels, staging_->pitch, r.left, r.top), staging_->pitch, r,
                     palette);
    SDL_BlitScaled(staging_, nullptr, target, nullptr);
    return SDL_UpdateWindowSurface(window_) == 0;
  }

  const char* Name() const override { return "surface"; }

 private:
  SDL_Window* window_;
  SDL_Surface* staging_ = nullptr;
};

class TexturePresenter final : public SdlPresenter {
 public:
  TexturePresenter(SDL_Renderer* renderer, const char* name)
      : renderer_(renderer), name_(name) {}
  ~TexturePresenter() override {
    if (texture_) SDL_DestroyTexture(texture_);
    SDL_DestroyRenderer(renderer_);
  }

  bool Present(gfx::Screen& screen, gfx::PresentTracker& tracker) override {
    gfx::ChangedArea area = tracker.Take(screen);
    const uint32_t* palette = tracker.palette();
    if (!texture_ || width_ != screen.width() || height_ != screen.height()) {
      if (texture_) SDL_DestroyTexture(texture_);
      width_ = screen.width();
      height_ = screen.height();
      texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888,
                                   SDL_TEXTUREACCESS_STREAMING, width_, height_);
      if (!texture_) return false;
      SDL_SetTextureBlendMode(texture_, SDL_BLENDMODE_NONE);
      area.MarkAll();  // a new texture holds nothing yet
    }
    if (area.Empty()) return false;
    // Only the changed rectangles are locked and uploaded; the renderer
    // still draws the whole texture, since its back buffer does not keep
    // the last frame.
    for (const gfx::Rect& r : area.Rects()) {
      const SDL_Rect locked = ToSdlRect(r);
      void* pixels = nullptr;
      int pitch = 0;
      if (SDL_LockTexture(texture_, &locked, &pixels, &pitch) != 0) return false;
      screen.Present(static_cast<uint32_t*>(pixels), pitch, r, palette);
      SDL_UnlockTexture(texture_);
    }
    SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
    SDL_RenderPresent(renderer_);
    return true;
  }

  const char* Name() const override { return name_; }

 private:
  SDL_Renderer* renderer_;
  SDL_Texture* texture_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  const char* name_;
};

bool HasRenderNode() {
  return access("/dev/dri/renderD128", R_OK | W_OK) == 0 || access("/dev/dri/card0", R_OK | W_OK) == 0;
}

}  // namespace

PresentPath ResolvePresentPath(PresentPath requested) {
  if (requested != PresentPath::Auto) return requested;
  return HasRenderNode() ? PresentPath::Gl : PresentPath::Surface;
}

uint32_t SdlWindowFlags(PresentPath path) {
  return path == PresentPath::Gl ? SDL_WINDOW_OPENGL : 0;
}

void PrepareSdlHints(PresentPath path) {
  // With acceleration allowed, SDL uploads even an X11 window surface
  // through OpenGL, which without a GPU is a software rasteriser four times
  // slower than XShm. Other video drivers (Wayland) have no window surface
  // of their own: SDL must be allowed to make one from a renderer.
  const char* driver = SDL_GetCurrentVideoDriver();
  const bool x11 = driver != nullptr && std::string_view(driver) == "x11";
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, path == PresentPath::Gpu || !x11 ? "1" : "0");
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
}

std::unique_ptr<SdlPresenter> MakeSdlPresenter(SDL_Window* window, PresentPath path,
                                               bool hardwareOnly, std::string& error) {
  if (path == PresentPath::Gl) return MakeGlPresenter(window, hardwareOnly, error);
  if (path == PresentPath::Gpu) {
    SDL_Renderer* renderer =
        SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
    SDL_RendererInfo info{};
    if (renderer && SDL_GetRendererInfo(renderer, &info) == 0 &&
        (info.flags & SDL_RENDERER_ACCELERATED)) {
      return std::make_unique<TexturePresenter>(renderer, "gpu");
    }
    if (renderer) SDL_DestroyRenderer(renderer);
    path = PresentPath::Surface;  // no accelerated renderer here
  }
  if (path == PresentPath::Texture) {
    SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
    if (!renderer) {
      error = std::string("no software renderer: ") + SDL_GetError();
      return nullptr;
    }
    return std::make_unique<TexturePresenter>(renderer, "texture");
  }
  if (!SDL_GetWindowSurface(window)) {
    error = std::string("no window surface: ") + SDL_GetError();
    return nullptr;
  }
  return std::make_unique<SurfacePresenter>(window);
}

}  // namespace lumox::host
