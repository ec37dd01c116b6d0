// Shows the screen through OpenGL, with no colour conversion on the CPU:
// the 8-bit frame lives in a one-byte texture, the 256-entry palette in a
// 256 x 1 texture, and a fragment shader looks each pixel's colour up.
// Only the published rows that changed are uploaded (a quarter of the bytes
// a converted frame would take), and a palette step uploads 1 KB.
//
// OpenGL 2.1 with GLSL 1.20, which every desktop driver offers. On a
// software rasteriser this costs more than the software presenters, so the
// automatic choice takes it only where OpenGL renders in hardware.
#pragma once

#include <SDL.h>

#include <memory>
#include <string>

#include "sdl_presenter.h"

namespace lumox::host {

// The window must have been made with SDL_WINDOW_OPENGL. Null with error
// set when no context or shader can be made, or (hardwareOnly) when the
// driver renders in software.
std::unique_ptr<SdlPresenter> MakeGlPresenter(SDL_Window* window, bool hardwareOnly,
                                              std::string& error);

// Whether an OpenGL renderer string names one of Mesa's software
// rasterisers (or is missing).
bool IsSoftwareRenderer(const char* renderer);

}  // namespace lumox::host
