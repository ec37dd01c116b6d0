// Shows the screen in an SDL window through OpenGL, with no colour
// conversion on the CPU (gl_palette_lookup.h). On a software rasteriser
// this costs more than the software presenters, so the automatic choice
// takes it only where OpenGL renders in hardware.
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

}  // namespace lumox::host
