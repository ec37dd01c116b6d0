// A window for the host's end-to-end tests to draw into, standing in for a
// settings dialog's preview or a screen-saver daemon's window.
//
// Prints its window id (decimal) on a line of its own, then reads commands
// from standard input: "destroy" destroys the window; "hash" prints a hash
// of what the root window shows (to tell whether the picture changed);
// end of input (or "quit") ends the program.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

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
    } else if (std::strncmp(line, "quit", 4) == 0) {
      break;
    }
  }
  XCloseDisplay(display);
  return 0;
}
