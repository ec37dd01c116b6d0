// gfx and the lookup before Xlib, whose macros would otherwise reach them.
#include "gfx/screen.h"
#include "gl_palette_lookup.h"

#include "glx_presenter.h"

#include <GL/glx.h>

#include <optional>

namespace lumox::host {

struct GlxPresenter::Context {
  Display* display = nullptr;
  Window window = 0;
  GLXContext context = nullptr;
  bool doubleBuffered = false;
  std::optional<GlPaletteLookup> lookup;  // made and destroyed with the context current

  ~Context() {
    if (!context) return;
    glXMakeCurrent(display, window, context);
    lookup.reset();
    glXMakeCurrent(display, 0, nullptr);
    glXDestroyContext(display, context);
  }
};

std::unique_ptr<GlxPresenter> GlxPresenter::Make(Display* display, Window window,
                                                 bool hardwareOnly, std::string& error) {
  int errorBase = 0, eventBase = 0;
  if (!glXQueryExtension(display, &errorBase, &eventBase)) {
    error = "the X server has no OpenGL (GLX)";
    return nullptr;
  }
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display, window, &attributes)) {
    error = "the window went away";
    return nullptr;
  }
  XVisualInfo wanted{};
  wanted.visualid = XVisualIDFromVisual(attributes.visual);
  int count = 0;
  XVisualInfo* visual = XGetVisualInfo(display, VisualIDMask, &wanted, &count);
  int usesGl = 0, doubleBuffered = 0;
  if (visual == nullptr || glXGetConfig(display, visual, GLX_USE_GL, &usesGl) != 0 || !usesGl) {
    if (visual) XFree(visual);
    error = "OpenGL cannot draw into the window's visual";
    return nullptr;
  }
  glXGetConfig(display, visual, GLX_DOUBLEBUFFER, &doubleBuffered);
  auto gl = std::make_unique<Context>();
  gl->display = display;
  gl->window = window;
  gl->doubleBuffered = doubleBuffered != 0;
  gl->context = glXCreateContext(display, visual, nullptr, True);
  XFree(visual);
  if (!gl->context || !glXMakeCurrent(display, window, gl->context)) {
    error = "no OpenGL context for the window";
    return nullptr;
  }
  if (hardwareOnly && !RendersInHardware(error)) return nullptr;
  gl->lookup.emplace();
  if (!gl->lookup->Build(error)) return nullptr;
  return std::unique_ptr<GlxPresenter>(new GlxPresenter(std::move(gl)));
}

GlxPresenter::GlxPresenter(std::unique_ptr<Context> context) : gl_(std::move(context)) {}

GlxPresenter::~GlxPresenter() = default;

bool GlxPresenter::Present(gfx::Screen& screen, gfx::PresentTracker& tracker) {
  if (!gl_->lookup->Upload(screen, tracker)) return false;
  const bool drawn = gl_->lookup->Draw(screen.width(), screen.height());
  // A single-buffered visual is drawn in place: flushing shows it.
  if (gl_->doubleBuffered)
    glXSwapBuffers(gl_->display, gl_->window);
  else
    glFlush();
  return drawn;
}

}  // namespace lumox::host
