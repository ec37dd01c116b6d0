// The floor of a palette-only display, in place: every 30 ms a new palette,
// the whole 8-bit frame converted through it into a shared X image, the
// image put into the root window (the next step waits for the server's
// completion event before it writes the image again, which by then has
// come). Nothing else: no drawing, no other threads. bench/side-by-side measures it like
// its other subjects, so the cost of waking for each step and of memory
// that went cold in between is counted here as it is for them.
//
//   lumox_floor_present     (draws into $DISPLAY's root window until killed)
// gfx before Xlib, whose macros would otherwise reach it.
#include "gfx/screen.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <thread>
#include <vector>

int main() {
  Display* display = XOpenDisplay(nullptr);
  if (!display || !XShmQueryExtension(display)) {
    std::fprintf(stderr, "lumox_floor_present: needs an X display with MIT-SHM\n");
    return 1;
  }
  const Window root = DefaultRootWindow(display);
  XWindowAttributes attributes;
  XGetWindowAttributes(display, root, &attributes);
  const int width = attributes.width, height = attributes.height;

  XShmSegmentInfo segment{};
  XImage* image = XShmCreateImage(display, attributes.visual,
                                  static_cast<unsigned>(attributes.depth), ZPixmap, nullptr,
                                  &segment, static_cast<unsigned>(width),
                                  static_cast<unsigned>(height));
  if (!image || image->bits_per_pixel != 32) {
    std::fprintf(stderr, "lumox_floor_present: needs a 32-bit visual\n");
    return 1;
  }
  segment.shmid =
      shmget(IPC_PRIVATE, static_cast<size_t>(image->bytes_per_line) * height, IPC_CREAT | 0600);
  segment.shmaddr = image->data = static_cast<char*>(shmat(segment.shmid, nullptr, 0));
  XShmAttach(display, &segment);
  XSync(display, False);
  shmctl(segment.shmid, IPC_RMID, nullptr);
  GC gc = XCreateGC(display, root, 0, nullptr);

  // A frame of random indices, as a finished picture would be.
  std::mt19937 random(1);
  std::vector<uint8_t> frame(static_cast<size_t>(width) * height);
  for (uint8_t& index : frame) index = static_cast<uint8_t>(random());
  std::vector<uint32_t> palette(256);

  const int completion = XShmGetEventBase(display) + ShmCompletion;
  const auto step = std::chrono::milliseconds(30);
  auto next = std::chrono::steady_clock::now();
  for (bool pending = false;; pending = true) {
    for (XEvent event; pending; pending = event.type != completion) XNextEvent(display, &event);
    for (uint32_t& word : palette) word = random() & 0xFFFFFF;
    lumox::gfx::ConvertIndexedImage(lumox::gfx::ActivePresentPath(), frame.data(), width,
                                    reinterpret_cast<uint32_t*>(image->data),
                                    image->bytes_per_line, width, height, palette.data());
    XShmPutImage(display, root, gc, image, 0, 0, 0, 0, static_cast<unsigned>(width),
                 static_cast<unsigned>(height), True);
    XFlush(display);
    next += step;
    std::this_thread::sleep_until(next);
  }
}
