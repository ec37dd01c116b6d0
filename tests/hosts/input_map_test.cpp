#include "input_map.h"

#include <gtest/gtest.h>

namespace lumox::host {
namespace {

SDL_Event Event(Uint32 type) {
  SDL_Event event{};
  event.type = type;
  return event;
}

SDL_Event KeyDown(SDL_Keycode key, Uint16 mod = KMOD_NONE, Uint8 repeat = 0) {
  SDL_Event event = Event(SDL_KEYDOWN);
  event.key.keysym.sym = key;
  event.key.keysym.mod = mod;
  event.key.repeat = repeat;
  return event;
}

SDL_Event WindowEvent(Uint8 which) {
  SDL_Event event = Event(SDL_WINDOWEVENT);
  event.window.event = which;
  return event;
}

TEST(InputMapTest, KeysBecomeTheirWindowsMessagesAndVirtualKeyCodes) {
  const struct {
    SDL_Event event;
    uint32_t message;
    WParam vk;
  } cases[] = {
      {KeyDown(SDLK_LEFT), kWmKeyDown, kVkLeft}, {KeyDown(SDLK_RIGHT), kWmKeyDown, kVkRight},
      {KeyDown(SDLK_F1), kWmKeyDown, kVkF1},     {KeyDown(SDLK_F5), kWmKeyDown, kVkF5},
      {KeyDown(SDLK_F9), kWmKeyDown, kVkF9},     {KeyDown(SDLK_a), kWmKeyDown, 0x41},
      {KeyDown(SDLK_z), kWmKeyDown, 0x5A},       {KeyDown(SDLK_0), kWmKeyDown, 0x30},
      {KeyDown(SDLK_ESCAPE), kWmKeyDown, 0x1B},  {KeyDown(SDLK_SPACE), kWmKeyDown, 0x20},
      {KeyDown(SDLK_KP_5), kWmKeyDown, 0x65},    {KeyDown(SDLK_F12), kWmKeyDown, 0x7B},
      // Alt and F10 are system keys.
      {KeyDown(SDLK_x, KMOD_LALT), kWmSysKeyDown, 0x58}, {KeyDown(SDLK_F10), kWmSysKeyDown, 0x79}};
  for (const auto& c : cases) {
    auto message = TranslateEvent(c.event);
    ASSERT_TRUE(message) << SDL_GetKeyName(c.event.key.keysym.sym);
    EXPECT_EQ(message->message, c.message) << SDL_GetKeyName(c.event.key.keysym.sym);
    EXPECT_EQ(message->wParam, c.vk) << SDL_GetKeyName(c.event.key.keysym.sym);
  }
  // A key without a code still arrives as a key press (it dismisses);
  // repeats carry the previous-state bit.
  EXPECT_EQ(TranslateEvent(KeyDown(SDLK_AUDIOPLAY))->message, kWmKeyDown);
  EXPECT_NE(TranslateEvent(KeyDown(SDLK_F1, KMOD_NONE, 1))->lParam & (1 << 30), 0);
}

TEST(InputMapTest, MouseAndWindowEvents) {
  SDL_Event motion = Event(SDL_MOUSEMOTION);
  motion.motion.x = 1919;
  motion.motion.y = 1079;
  auto moved = TranslateEvent(motion);
  ASSERT_TRUE(moved);
  EXPECT_EQ(moved->message, kWmMouseMove);
  EXPECT_EQ(moved->lParam, 1919 | (1079 << 16));
  SDL_Event button = Event(SDL_MOUSEBUTTONDOWN);
  for (auto [sdlButton, expected] : {std::pair{SDL_BUTTON_LEFT, kWmLeftButtonDown},
                                     std::pair{SDL_BUTTON_RIGHT, kWmRightButtonDown},
                                     std::pair{SDL_BUTTON_MIDDLE, kWmMiddleButtonDown}}) {
    button.button.button = static_cast<Uint8>(sdlButton);
    EXPECT_EQ(TranslateEvent(button)->message, expected);
  }
  EXPECT_EQ(TranslateEvent(Event(SDL_QUIT))->message, kWmClose);
  EXPECT_EQ(TranslateEvent(WindowEvent(SDL_WINDOWEVENT_CLOSE))->message, kWmClose);
  auto lost = TranslateEvent(WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST));
  ASSERT_TRUE(lost);
  EXPECT_EQ(lost->message, kWmActivate);
  EXPECT_EQ(LowWord(lost->wParam), 0u) << "deactivation, which never dismisses";
  EXPECT_FALSE(TranslateEvent(WindowEvent(SDL_WINDOWEVENT_MOVED)));
  EXPECT_FALSE(TranslateEvent(Event(SDL_KEYUP)));
}

}  // namespace
}  // namespace lumox::host
