// A window for the host's end-to-end tests to draw into, standing in for a
// settings dialog's preview or a screen-saver daemon's window.
//
// Prints its window id (decimal) on a line of its own, then reads commands
// from standard input: "destroy" destroys the window; end of input (or
// "quit") ends the program.
#include <X11/Xlib.h>

#include <cstdio>
#include <cstring>

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
    } else if (std::strncmp(line, "quit", 4) == 0) {
      break;
    }
  }
  XCloseDisplay(display);
  return 0;
}
