// Shows the screen's latest frame in an SDL window.
//
// Three paths, chosen at run time (--present):
//   surface  the window's own framebuffer (SDL_GetWindowSurface) with SDL's
//            OpenGL upload switched off: frames are converted straight into
//            it and sent with XShm. The fastest path without a GPU.
//   texture  the software renderer with a streaming XRGB texture, converted
//            straight into the locked texture.
//   gpu      the accelerated renderer with vsync: wins on a real GPU, and
//            costs about four times the surface path on a software GL.
// auto takes gpu when a render node exists (/dev/dri) and surface otherwise,
// and falls back to surface when no accelerated renderer can be made.
// The hint that keeps SDL off OpenGL must be set before the window exists:
// call PrepareSdlHints(path) before SDL_CreateWindow.
#pragma once

#include <SDL.h>

#include <memory>
#include <string>

#include "command_line.h"
#include "gfx/surface.h"

namespace lumox::gfx {
class Screen;
}

namespace lumox::host {

class SdlPresenter {
 public:
  virtual ~SdlPresenter() = default;
  // Converts the published rows of the band through the palette and shows
  // them; the rest of the window keeps what it showed.
  virtual bool Present(const gfx::Screen& screen, gfx::RowBand rows, const uint32_t* palette) = 0;
  virtual const char* Name() const = 0;
};

// The path auto stands for on this machine.
PresentPath ResolvePresentPath(PresentPath requested);
void PrepareSdlHints(PresentPath path);
// Null with error set if the path cannot be used on this window.
std::unique_ptr<SdlPresenter> MakeSdlPresenter(SDL_Window* window, PresentPath path,
                                               std::string& error);

}  // namespace lumox::host
