#include "input_map.h"

namespace lumox::host {

WParam VirtualKeyFromSdl(SDL_Keycode key) {
  if (key >= SDLK_a && key <= SDLK_z) return 0x41 + static_cast<uint32_t>(key - SDLK_a);
  if (key >= SDLK_0 && key <= SDLK_9) return 0x30 + static_cast<uint32_t>(key - SDLK_0);
  if (key >= SDLK_F1 && key <= SDLK_F12) return 0x70 + static_cast<uint32_t>(key - SDLK_F1);
  if (key >= SDLK_KP_1 && key <= SDLK_KP_9) return 0x61 + static_cast<uint32_t>(key - SDLK_KP_1);
  switch (key) {
    case SDLK_BACKSPACE: return 0x08;
    case SDLK_TAB: return 0x09;
    case SDLK_RETURN: case SDLK_KP_ENTER: return 0x0D;
    case SDLK_LSHIFT: case SDLK_RSHIFT: return 0x10;
    case SDLK_LCTRL: case SDLK_RCTRL: return 0x11;
    case SDLK_LALT: case SDLK_RALT: return 0x12;
    case SDLK_PAUSE: return 0x13;
    case SDLK_CAPSLOCK: return 0x14;
    case SDLK_ESCAPE: return 0x1B;
    case SDLK_SPACE: return 0x20;
    case SDLK_PAGEUP: return 0x21;
    case SDLK_PAGEDOWN: return 0x22;
    case SDLK_END: return 0x23;
    case SDLK_HOME: return 0x24;
    case SDLK_LEFT: return 0x25;
    case SDLK_UP: return 0x26;
    case SDLK_RIGHT: return 0x27;
    case SDLK_DOWN: return 0x28;
    case SDLK_PRINTSCREEN: return 0x2C;
    case SDLK_INSERT: return 0x2D;
    case SDLK_DELETE: return 0x2E;
    case SDLK_LGUI: return 0x5B;
    case SDLK_RGUI: return 0x5C;
    case SDLK_KP_0: return 0x60;
    case SDLK_KP_MULTIPLY: return 0x6A;
    case SDLK_KP_PLUS: return 0x6B;
    case SDLK_KP_MINUS: return 0x6D;
    case SDLK_KP_PERIOD: return 0x6E;
    case SDLK_KP_DIVIDE: return 0x6F;
    case SDLK_NUMLOCKCLEAR: return 0x90;
    case SDLK_SCROLLLOCK: return 0x91;
    case SDLK_SEMICOLON: return 0xBA;
    case SDLK_EQUALS: return 0xBB;
    case SDLK_COMMA: return 0xBC;
    case SDLK_MINUS: return 0xBD;
    case SDLK_PERIOD: return 0xBE;
    case SDLK_SLASH: return 0xBF;
    case SDLK_BACKQUOTE: return 0xC0;
    case SDLK_LEFTBRACKET: return 0xDB;
    case SDLK_BACKSLASH: return 0xDC;
    case SDLK_RIGHTBRACKET: return 0xDD;
    case SDLK_QUOTE: return 0xDE;
    default: return 0;
  }
}

LParam PackPosition(int x, int y) {
  uint32_t packed = (static_cast<uint32_t>(x) & 0xFFFFu) | ((static_cast<uint32_t>(y) & 0xFFFFu) << 16);
  return static_cast<LParam>(static_cast<int32_t>(packed));
}

std::optional<WindowMessage> TranslateEvent(const SDL_Event& event) {
  switch (event.type) {
    case SDL_KEYDOWN: {
      WParam vk = VirtualKeyFromSdl(event.key.keysym.sym);
      // Win32 sends Alt combinations, Alt itself and F10 as system keys.
      bool system = (event.key.keysym.mod & KMOD_ALT) != 0 || vk == 0x12 || vk == 0x79;
      // Bit 30 of the long parameter: the key was already down (a repeat).
      LParam flags = event.key.repeat ? (1 << 30) : 0;
      return WindowMessage{system ? kWmSysKeyDown : kWmKeyDown, vk, flags | 1};
    }
    case SDL_MOUSEMOTION:
      return WindowMessage{kWmMouseMove, 0, PackPosition(event.motion.x, event.motion.y)};
    case SDL_MOUSEBUTTONDOWN: {
      uint32_t message = event.button.button == SDL_BUTTON_RIGHT    ? kWmRightButtonDown
                         : event.button.button == SDL_BUTTON_MIDDLE ? kWmMiddleButtonDown
                                                                    : kWmLeftButtonDown;
      return WindowMessage{message, 0, PackPosition(event.button.x, event.button.y)};
    }
    case SDL_QUIT:
      return WindowMessage{kWmClose, 0, 0};
    case SDL_WINDOWEVENT:
      switch (event.window.event) {
        case SDL_WINDOWEVENT_CLOSE: return WindowMessage{kWmClose, 0, 0};
        case SDL_WINDOWEVENT_EXPOSED: return WindowMessage{kWmPaint, 0, 0};
        // WA_ACTIVE (1) and WA_INACTIVE (0).
        case SDL_WINDOWEVENT_FOCUS_GAINED: return WindowMessage{kWmActivate, 1, 0};
        case SDL_WINDOWEVENT_FOCUS_LOST: return WindowMessage{kWmActivate, 0, 0};
        default: return std::nullopt;
      }
    default:
      return std::nullopt;
  }
}

}  // namespace lumox::host
