// Shows the screen's latest frame in an SDL window.
//
// Four paths, chosen at run time (--present):
//   surface  the window's own framebuffer (SDL_GetWindowSurface) with SDL's
//            OpenGL upload switched off: frames are converted straight into
//            it and sent with XShm. The fastest path without a GPU.
//   texture  the software renderer with a streaming XRGB texture, converted
//            straight into the locked texture.
//   gpu      the accelerated renderer with vsync: wins on a real GPU, and
//            costs about four times the surface path on a software GL.
//   gl       OpenGL with the colours looked up on the GPU (gl_presenter.h):
//            no conversion on the CPU at all.
// auto takes gl when a render node exists (/dev/dri) and OpenGL renders in
// hardware there, and surface otherwise.
// The hint that keeps SDL off OpenGL must be set before the window exists:
// call PrepareSdlHints(path) before SDL_CreateWindow.
#pragma once

#include <SDL.h>

#include <memory>
#include <string>

#include "command_line.h"

namespace lumox::gfx {
class PresentTracker;
class Screen;
}

namespace lumox::host {

class SdlPresenter {
 public:
  virtual ~SdlPresenter() = default;
  // Brings the window up to date with what changed since the tracker's
  // last take. False when nothing needed showing (or showing failed).
  virtual bool Present(gfx::Screen& screen, gfx::PresentTracker& tracker) = 0;
  virtual const char* Name() const = 0;
};

// The path auto stands for on this machine.
PresentPath ResolvePresentPath(PresentPath requested);
void PrepareSdlHints(PresentPath path);
// The flags SDL_CreateWindow needs for the path.
uint32_t SdlWindowFlags(PresentPath path);
// Null with error set if the path cannot be used on this window. gl asked
// for by auto (hardwareOnly) refuses OpenGL that renders in software.
std::unique_ptr<SdlPresenter> MakeSdlPresenter(SDL_Window* window, PresentPath path,
                                               bool hardwareOnly, std::string& error);

}  // namespace lumox::host
