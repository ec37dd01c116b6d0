// Which of the run's SDL windows other windows cover completely: nobody
// sees a covered window, so the host presents nothing into it.
//
// SDL reports hidden and minimised windows but not covered ones, so this
// keeps an X connection of its own that follows the windows' visibility
// events (selecting them on a window does not disturb the selection SDL
// made). A window counts as seen until the server says otherwise; without
// X (another video driver, no display) nothing counts as covered. Under a
// compositing window manager the server never reports a window covered.
#pragma once

#include <memory>
#include <vector>

struct SDL_Window;

namespace lumox::host {

class CoveredWindows {
 public:
  CoveredWindows();
  ~CoveredWindows();
  CoveredWindows(const CoveredWindows&) = delete;
  CoveredWindows& operator=(const CoveredWindows&) = delete;

  // Starts following `window`.
  void Watch(SDL_Window* window);
  // Takes the visibility changes the server has sent; once per refresh.
  void ReadEvents();
  // True while the server last reported `window` fully covered.
  bool Covered(SDL_Window* window) const;

 private:
  struct Watched {
    SDL_Window* window;
    unsigned long id;
    bool covered;
  };

  struct Connection;
  std::unique_ptr<Connection> x_;
  std::vector<Watched> watched_;
};

}  // namespace lumox::host
