#include "saver/host_window.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "fake_modules.h"

namespace lumox {
namespace {

// A window whose saver procedure passes everything on to HostDefaultProc,
// as ScreenSaverProc does with what it does not consume.
class FakeHostWindow : public HostWindow {
 public:
  explicit FakeHostWindow(HostState& state) : state_(state) {}
  LResult SaverProc(uint32_t message, WParam wParam, LParam lParam) override {
    saverMessages.push_back(message);
    return HostDefaultProc(state_, *this, message, wParam, lParam);
  }
  LResult SystemDefaultProc(uint32_t message, WParam, LParam) override {
    systemMessages.push_back(message);
    destroyed = destroyed || message == kWmClose;
    return 0;
  }
  void PostClose() override { ++closesPosted; }
  void PostQuit(int exitCode) override { quitCodes.push_back(exitCode); }
  void HideCursor() override { ++cursorHides; }
  CursorPoint CursorPosition() override { return cursor; }
  void RemoveTimerMessages(int count) override { timerRemovals.push_back(count); }
  void PostToParent(uint32_t message, LParam lParam) override {
    parentPosts.push_back(message * 1000 + static_cast<uint32_t>(lParam));
  }
  void YieldTimeSlice() override { ++yields; }
  void DetachInputContext() override { ++inputContextChanges; }
  void RestoreInputContext() override { inputContextChanges += 10; }

  LResult Send(uint32_t message, WParam wParam = 0, LParam lParam = 0) {
    return HostWindowProc(state_, *this, message, wParam, lParam);
  }

  std::vector<uint32_t> saverMessages, systemMessages, parentPosts;
  std::vector<int> quitCodes, timerRemovals;
  int closesPosted = 0, cursorHides = 0, yields = 0, inputContextChanges = 0;
  CursorPoint cursor{500, 400};
  bool destroyed = false;

 private:
  HostState& state_;
};

class HostWindowTest : public testing::Test {
 protected:
  test::TestEnvironment env;
  HostState state;
  FakeHostWindow window{state};
};

TEST_F(HostWindowTest, InputClosesAndMovementCountsBeyondFourPixels) {
  window.Send(kWmCreate);
  EXPECT_EQ(window.inputContextChanges, 1);
  EXPECT_EQ(window.cursorHides, 1);
  for (uint32_t message :
       {kWmKeyDown, kWmSysKeyDown, kWmLeftButtonDown, kWmRightButtonDown, kWmMiddleButtonDown}) {
    window.Send(message);
  }
  EXPECT_EQ(window.closesPosted, 5);
  // Distances from the position recorded at creation, then from the last
  // one that closed, summed over both axes: 4 is not movement, 5 is.
  const struct { int32_t x, y; int closes; } moves[] = {
      {502, 402, 5}, {503, 400, 5}, {497, 400, 5}, {503, 402, 6}, {505, 404, 6}, {508, 402, 7},
      {INT32_MIN, INT32_MIN, 8}, {INT32_MAX, INT32_MAX, 9}};  // and no overflow
  for (const auto& m : moves) {
    window.cursor = {m.x, m.y};
    window.Send(kWmMouseMove);
    EXPECT_EQ(window.closesPosted, m.closes) << m.x << "," << m.y;
  }
}

TEST_F(HostWindowTest, ClosingWithoutAPasswordCheck) {
  // NT: no check at all; the 95 family without a verify function: closing
  // is decided, and from then on input goes straight to the system.
  state.verifyPassword = [] { return false; };
  window.Send(kWmClose);
  EXPECT_TRUE(window.destroyed);
  EXPECT_FALSE(state.closing);

  HostState family95;
  family95.family95 = true;
  FakeHostWindow window95{family95};
  EXPECT_EQ(window95.Send(kWmVerifyPassword), 1) << "no verify function: accepted";
  window95.Send(kWmClose);
  EXPECT_TRUE(window95.destroyed);
  EXPECT_TRUE(family95.closing);
  window95.saverMessages.clear();
  for (uint32_t message : {kWmKeyDown, kWmMouseMove, kWmTimer}) window95.Send(message);
  EXPECT_TRUE(window95.saverMessages.empty());
  EXPECT_EQ(window95.closesPosted, 0);
}

TEST_F(HostWindowTest, RefusedPasswordKeepsTheSaverAndIgnoresARepeatWithin200ms) {
  state.family95 = true;
  int checks = 0;
  bool accept = false;
  state.verifyPassword = [&] {
    ++checks;
    EXPECT_TRUE(state.checking);
    // Input while the dialog is up posts no close.
    window.Send(kWmKeyDown);
    return accept;
  };
  window.Send(kWmCreate);
  const int hidesBefore = window.cursorHides;
  window.cursor = {10, 10};
  window.Send(kWmClose);
  EXPECT_FALSE(window.destroyed);
  EXPECT_EQ(checks, 1);
  EXPECT_FALSE(state.checking);
  EXPECT_GT(window.cursorHides, hidesBefore);
  EXPECT_EQ(window.timerRemovals, std::vector<int>{2});
  // The refused check makes the current cursor position the reference.
  window.Send(kWmMouseMove);
  EXPECT_EQ(window.closesPosted, 0);

  env.clock.Advance(199);
  accept = true;
  window.Send(kWmClose);
  EXPECT_EQ(checks, 1);
  EXPECT_FALSE(window.destroyed);
  env.clock.Advance(1);
  window.Send(kWmClose);
  EXPECT_EQ(checks, 2);
  EXPECT_TRUE(window.destroyed);
  EXPECT_TRUE(state.closing);
  EXPECT_EQ(window.closesPosted, 0);
}

TEST_F(HostWindowTest, MessagesTheHostConsumes) {
  for (WParam command : {kScNextWindow, kScPrevWindow, kScScreenSave, kScScreenSave | 2}) {
    EXPECT_EQ(window.Send(kWmSysCommand, command), 0);
  }
  EXPECT_EQ(window.Send(kWmSetText, 0, 1234), 0);
  EXPECT_TRUE(window.saverMessages.empty());
  window.Send(kWmSysCommand, 0xF020);  // minimise: the saver's business
  EXPECT_EQ(window.saverMessages, std::vector<uint32_t>{kWmSysCommand});

  // The cursor stays hidden; a timer gives the time slice away.
  window.Send(kWmPaint);
  EXPECT_EQ(window.Send(kWmSetCursor), 1);
  window.Send(kWmShowWindow, 1);
  window.Send(kWmShowWindow, 0);
  EXPECT_EQ(window.cursorHides, 3);
  window.Send(kWmTimer);
  EXPECT_EQ(window.yields, 1);

  window.Send(kWmDestroy);
  EXPECT_EQ(window.inputContextChanges, 10);
  EXPECT_EQ(window.quitCodes, std::vector<int>{0});
}

TEST_F(HostWindowTest, APreviewIgnoresInputAndPassesHelpToItsParent) {
  state.preview = true;
  window.Send(kWmCreate);
  EXPECT_EQ(window.Send(kWmHelp, 0, 77), 1);
  EXPECT_EQ(window.Send(kWmContextMenu, 0, 88), 1);
  EXPECT_EQ(window.parentPosts, (std::vector<uint32_t>{kWmHelp * 1000 + 77,
                                                       kWmContextMenu * 1000 + 88}));
  window.Send(kWmKeyDown);
  window.cursor = {0, 0};
  window.Send(kWmMouseMove);
  window.Send(kWmPaint);
  window.Send(kWmSysCommand, kScScreenSave);
  EXPECT_EQ(window.closesPosted, 0);
  EXPECT_EQ(window.cursorHides, 0);
  EXPECT_EQ(window.saverMessages.back(), kWmSysCommand);
}

}  // namespace
}  // namespace lumox
