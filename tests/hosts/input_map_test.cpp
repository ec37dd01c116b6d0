#include "input_map.h"

#include <gtest/gtest.h>

namespace lumox::host {
namespace {

SDL_Event KeyDown(SDL_Keycode key, Uint16 mod = KMOD_NONE, Uint8 repeat = 0) {
  SDL_Event event{};
  event.type = SDL_KEYDOWN;
  event.key.keysym.sym = key;
  event.key.keysym.mod = mod;
  event.key.repeat = repeat;
  return event;
}

TEST(InputMapTest, HotKeysReachTheirVirtualKeyCodes) {
  const std::pair<SDL_Keycode, WParam> hotKeys[] = {
      {SDLK_LEFT, kVkLeft}, {SDLK_RIGHT, kVkRight}, {SDLK_F1, kVkF1}, {SDLK_F2, kVkF2},
      {SDLK_F3, kVkF3},     {SDLK_F4, kVkF4},       {SDLK_F5, kVkF5}, {SDLK_F6, kVkF6},
      {SDLK_F7, kVkF7},     {SDLK_F8, kVkF8},       {SDLK_F9, kVkF9}};
  for (auto [key, vk] : hotKeys) {
    auto message = TranslateEvent(KeyDown(key));
    ASSERT_TRUE(message);
    EXPECT_EQ(message->message, kWmKeyDown);
    EXPECT_EQ(message->wParam, vk) << SDL_GetKeyName(key);
  }
}

TEST(InputMapTest, OrdinaryKeys) {
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_a), 0x41u);
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_z), 0x5Au);
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_0), 0x30u);
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_ESCAPE), 0x1Bu);
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_SPACE), 0x20u);
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_KP_5), 0x65u);
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_F12), 0x7Bu);
  // A key without a code still arrives as a key press (it dismisses).
  auto unknown = TranslateEvent(KeyDown(SDLK_AUDIOPLAY));
  ASSERT_TRUE(unknown);
  EXPECT_EQ(unknown->message, kWmKeyDown);
}

TEST(InputMapTest, AltAndF10AreSystemKeys) {
  EXPECT_EQ(TranslateEvent(KeyDown(SDLK_x, KMOD_LALT))->message, kWmSysKeyDown);
  EXPECT_EQ(TranslateEvent(KeyDown(SDLK_F10))->message, kWmSysKeyDown);
  EXPECT_EQ(TranslateEvent(KeyDown(SDLK_LALT, KMOD_LALT))->message, kWmSysKeyDown);
  auto repeat = TranslateEvent(KeyDown(SDLK_F1, KMOD_NONE, 1));
  EXPECT_EQ(repeat->message, kWmKeyDown);
  EXPECT_NE(repeat->lParam & (1 << 30), 0) << "repeats carry the previous-state bit";
}

TEST(InputMapTest, MousePositionsArePackedLikeMakeLParam) {
  SDL_Event motion{};
  motion.type = SDL_MOUSEMOTION;
  motion.motion.x = 1919;
  motion.motion.y = 1079;
  auto message = TranslateEvent(motion);
  ASSERT_TRUE(message);
  EXPECT_EQ(message->message, kWmMouseMove);
  EXPECT_EQ(message->lParam & 0xFFFF, 1919);
  EXPECT_EQ((message->lParam >> 16) & 0xFFFF, 1079);

  SDL_Event button{};
  button.type = SDL_MOUSEBUTTONDOWN;
  button.button.x = 3;
  button.button.y = 5;
  for (auto [sdlButton, expected] : {std::pair{SDL_BUTTON_LEFT, kWmLeftButtonDown},
                                     std::pair{SDL_BUTTON_RIGHT, kWmRightButtonDown},
                                     std::pair{SDL_BUTTON_MIDDLE, kWmMiddleButtonDown}}) {
    button.button.button = static_cast<Uint8>(sdlButton);
    auto pressed = TranslateEvent(button);
    ASSERT_TRUE(pressed);
    EXPECT_EQ(pressed->message, expected);
    EXPECT_EQ(pressed->lParam, PackPosition(3, 5));
  }
}

TEST(InputMapTest, ClosingTheWindowAsksToClose) {
  SDL_Event close{};
  close.type = SDL_WINDOWEVENT;
  close.window.event = SDL_WINDOWEVENT_CLOSE;
  EXPECT_EQ(TranslateEvent(close)->message, kWmClose);
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  EXPECT_EQ(TranslateEvent(quit)->message, kWmClose);
  SDL_Event focus{};
  focus.type = SDL_WINDOWEVENT;
  focus.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
  auto lost = TranslateEvent(focus);
  ASSERT_TRUE(lost);
  EXPECT_EQ(lost->message, kWmActivate);
  EXPECT_EQ(LowWord(lost->wParam), 0u) << "deactivation, which never dismisses";
  SDL_Event moved{};
  moved.type = SDL_WINDOWEVENT;
  moved.window.event = SDL_WINDOWEVENT_MOVED;
  EXPECT_FALSE(TranslateEvent(moved));
  SDL_Event released{};
  released.type = SDL_KEYUP;
  EXPECT_FALSE(TranslateEvent(released));
}

}  // namespace
}  // namespace lumox::host
