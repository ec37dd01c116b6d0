// A window for the host's end-to-end tests to draw into, standing in for a
// settings dialog's preview or a screen-saver daemon's window.
//
// Prints its window id (decimal) on a line of its own, then reads commands
// from standard input: "destroy" destroys the window; "hash" prints a hash
// of what the root window shows (to tell whether the picture changed);
// "unmap" unmaps the window; "cover" maps another window over it and then
// maps it again, fully covered; "cover-screen" maps a window over the
// whole screen; "resize W H" makes the screen W x H
// through RandR and prints the root window's new size; end of input (or
// "quit") ends the program. Each command but "hash" answers with one line
// once the server has done it.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xrandr.h>

#include <cstdio>
#include <cstring>

namespace {

// FNV-1a over the root window's pixels.
unsigned long long HashRootWindow(Display* display) {
  Window root = DefaultRootWindow(display);
  XWindowAttributes attributes;
  XGetWindowAttributes(display, root, &attributes);
  XImage* image = XGetImage(display, root, 0, 0, static_cast<unsigned>(attributes.width),
                            static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
  if (!image) return 0;
  unsigned long long hash = 14695981039346656037ull;
  for (int y = 0; y < image->height; ++y) {
    const auto* row = reinterpret_cast<const unsigned char*>(image->data) + y * image->bytes_per_line;
    for (int x = 0; x < image->width * image->bits_per_pixel / 8; ++x)
      hash = (hash ^ row[x]) * 1099511628211ull;
  }
  XDestroyImage(image);
  return hash;
}

// Gives the screen a new size the way a monitor change does: the CRTC is
// switched off, the screen resized, and the CRTC set to a mode of that size
// (made first if the output lacks one).
void ResizeScreen(Display* display, unsigned width, unsigned height) {
  Window root = DefaultRootWindow(display);
  XRRScreenResources* resources = XRRGetScreenResources(display, root);
  if (!resources || resources->ncrtc < 1 || resources->noutput < 1) return;
  RRCrtc crtc = resources->crtcs[0];
  RROutput output = resources->outputs[0];
  RRMode mode = 0;
  for (int i = 0; i < resources->nmode; ++i)
    if (resources->modes[i].width == width && resources->modes[i].height == height)
      mode = resources->modes[i].id;
  if (!mode) {
    char name[32];
    std::snprintf(name, sizeof name, "%ux%u", width, height);
    XRRModeInfo info{};
    info.width = width;
    info.height = height;
    info.hTotal = width;
    info.vTotal = height;
    info.dotClock = 60ul * width * height;
    info.name = name;
    info.nameLength = static_cast<unsigned>(std::strlen(name));
    mode = XRRCreateMode(display, root, &info);
    XRRAddOutputMode(display, output, mode);
  }
  XGrabServer(display);
  XRRSetCrtcConfig(display, resources, crtc, CurrentTime, 0, 0, None, RR_Rotate_0, nullptr, 0);
  // Millimetres at 96 dots per inch.
  XRRSetScreenSize(display, root, static_cast<int>(width), static_cast<int>(height),
                   static_cast<int>(width * 254 / 960), static_cast<int>(height * 254 / 960));
  XRRSetCrtcConfig(display, resources, crtc, CurrentTime, 0, 0, mode, RR_Rotate_0, &output, 1);
  XUngrabServer(display);
  XSync(display, False);
  XRRFreeScreenResources(resources);
}

}  // namespace

int main() {
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "test_window: no display\n");
    return 1;
  }
  int screen = DefaultScreen(display);
  Window window = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, 160, 120, 0,
                                      BlackPixel(display, screen), BlackPixel(display, screen));
  XMapWindow(display, window);
  XSync(display, False);
  std::printf("%lu\n", static_cast<unsigned long>(window));
  std::fflush(stdout);

  char line[64];
  while (std::fgets(line, sizeof line, stdin)) {
    if (std::strncmp(line, "destroy", 7) == 0) {
      XDestroyWindow(display, window);
      XSync(display, False);
      std::printf("destroyed\n");
      std::fflush(stdout);
    } else if (std::strncmp(line, "hash", 4) == 0) {
      std::printf("%llx\n", HashRootWindow(display));
      std::fflush(stdout);
    } else if (std::strncmp(line, "unmap", 5) == 0) {
      XUnmapWindow(display, window);
      XSync(display, False);
      std::printf("unmapped\n");
      std::fflush(stdout);
    } else if (std::strncmp(line, "cover-screen", 12) == 0) {
      XWindowAttributes root;
      XGetWindowAttributes(display, DefaultRootWindow(display), &root);
      Window cover = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0,
                                         static_cast<unsigned>(root.width),
                                         static_cast<unsigned>(root.height), 0,
                                         WhitePixel(display, screen), WhitePixel(display, screen));
      XMapWindow(display, cover);
      XSync(display, False);
      std::printf("covered\n");
      std::fflush(stdout);
    } else if (std::strncmp(line, "cover", 5) == 0) {
      Window cover = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, 200, 160, 0,
                                         WhitePixel(display, screen), WhitePixel(display, screen));
      XMapWindow(display, cover);
      XMapWindow(display, window);  // below the cover: created before it
      XSync(display, False);
      std::printf("covered\n");
      std::fflush(stdout);
    } else if (unsigned width = 0, height = 0;
               std::sscanf(line, "resize %u %u", &width, &height) == 2) {
      ResizeScreen(display, width, height);
      XWindowAttributes root;
      XGetWindowAttributes(display, DefaultRootWindow(display), &root);
      std::printf("%dx%d\n", root.width, root.height);
      std::fflush(stdout);
    } else if (std::strncmp(line, "quit", 4) == 0) {
      break;
    }
  }
  XCloseDisplay(display);
  return 0;
}
