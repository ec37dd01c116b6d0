// The colours of the 8-bit frame looked up on the GPU: the frame lives in a
// one-byte texture, the 256-entry palette in a 256 x 1 texture, and a
// fragment shader looks each pixel's colour up. Only the published rows
// that changed are uploaded (a quarter of the bytes a converted frame would
// take), and a palette step uploads 1 KB.
//
// OpenGL 2.1 with GLSL 1.20, which every desktop driver offers. Whoever owns
// the context (an SDL window, a foreign X window through GLX) makes it
// current before every call, construction and destruction included, and
// shows the drawn frame afterwards (swaps buffers).
#pragma once

#include <string>

namespace lumox::gfx {
class PresentTracker;
class Screen;
}

namespace lumox::host {

class GlPaletteLookup {
 public:
  GlPaletteLookup() = default;
  ~GlPaletteLookup();
  GlPaletteLookup(const GlPaletteLookup&) = delete;
  GlPaletteLookup& operator=(const GlPaletteLookup&) = delete;

  // Compiles the shader and makes the textures; false with error set.
  bool Build(std::string& error);
  // Uploads what changed since the tracker's last take (everything when the
  // screen's size is new); false when nothing did.
  bool Upload(gfx::Screen& screen, gfx::PresentTracker& tracker);
  // Draws the frame over a drawable of that size; false on a GL error.
  bool Draw(int drawableWidth, int drawableHeight);

 private:
  unsigned program_ = 0;
  unsigned indices_ = 0;
  unsigned palette_ = 0;
  int width_ = 0;
  int height_ = 0;
};

// With a context current: whether its driver renders in hardware; false,
// with error naming the renderer, for one of Mesa's software rasterisers
// (or an unnamed renderer).
bool RendersInHardware(std::string& error);

}  // namespace lumox::host
