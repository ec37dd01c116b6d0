#include "saver/host_window.h"

#include <gtest/gtest.h>

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
    if (message == kWmClose) destroyed = true;
    return 0;
  }
  void PostClose() override { ++closesPosted; }
  void PostQuit(int exitCode) override { quitCodes.push_back(exitCode); }
  void HideCursor() override { ++cursorHides; }
  CursorPoint CursorPosition() override { return cursor; }
  void RemoveTimerMessages(int count) override { timerRemovals.push_back(count); }
  void PostToParent(uint32_t message, LParam lParam) override {
    parentPosts.push_back({message, lParam});
  }
  void YieldTimeSlice() override { ++yields; }
  void DetachInputContext() override { ++detaches; }
  void RestoreInputContext() override { ++restores; }

  LResult Send(uint32_t message, WParam wParam = 0, LParam lParam = 0) {
    return HostWindowProc(state_, *this, message, wParam, lParam);
  }
  void MoveCursor(int32_t x, int32_t y) { cursor = {x, y}; }

  std::vector<uint32_t> saverMessages;
  std::vector<uint32_t> systemMessages;
  int closesPosted = 0;
  std::vector<int> quitCodes;
  int cursorHides = 0;
  CursorPoint cursor{500, 400};
  std::vector<int> timerRemovals;
  std::vector<std::pair<uint32_t, LParam>> parentPosts;
  int yields = 0;
  int detaches = 0;
  int restores = 0;
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

TEST_F(HostWindowTest, CreationHidesTheCursorAndMovementBeyondTheThresholdCloses) {
  window.Send(kWmCreate);
  EXPECT_EQ(window.detaches, 1);
  EXPECT_EQ(window.cursorHides, 1);
  EXPECT_EQ(window.saverMessages, std::vector<uint32_t>{kWmCreate});

  // Distances from the position recorded at creation, then from the last
  // one that closed: exactly the threshold (summed over both axes) is not
  // movement, one pixel more is.
  const struct { int32_t x, y; int closes; } moves[] = {
      {502, 402, 0}, {503, 400, 0}, {497, 400, 0}, {503, 402, 1}, {505, 404, 1}, {508, 402, 2}};
  for (const auto& m : moves) {
    window.MoveCursor(m.x, m.y);
    window.Send(kWmMouseMove);
    EXPECT_EQ(window.closesPosted, m.closes) << m.x << "," << m.y;
  }
}

TEST_F(HostWindowTest, ExtremeCursorJumpsDoNotOverflow) {
  window.MoveCursor(INT32_MIN, INT32_MIN);
  window.Send(kWmCreate);
  window.MoveCursor(INT32_MAX, INT32_MAX);
  window.Send(kWmMouseMove);
  EXPECT_EQ(window.closesPosted, 1);
}

TEST_F(HostWindowTest, KeysAndButtonsPostClose) {
  window.Send(kWmCreate);
  for (uint32_t message :
       {kWmKeyDown, kWmSysKeyDown, kWmLeftButtonDown, kWmRightButtonDown, kWmMiddleButtonDown}) {
    window.Send(message);
  }
  EXPECT_EQ(window.closesPosted, 5);
}

TEST_F(HostWindowTest, NtClosesWithoutPasswordCheck) {
  state.verifyPassword = [] {
    ADD_FAILURE() << "no password check on the NT family";
    return false;
  };
  window.Send(kWmClose);
  EXPECT_TRUE(window.destroyed);
  EXPECT_FALSE(state.closing);
}

TEST_F(HostWindowTest, NoVerifyFunctionClosesFreelyAndInputGoesToTheSystem) {
  state.family95 = true;
  window.Send(kWmClose);
  EXPECT_TRUE(window.destroyed);
  EXPECT_TRUE(state.closing);

  // Once closing, input bypasses the saver and the rules entirely.
  window.saverMessages.clear();
  window.Send(kWmKeyDown);
  window.Send(kWmMouseMove);
  EXPECT_TRUE(window.saverMessages.empty());
  EXPECT_EQ(window.closesPosted, 0);
  EXPECT_EQ(window.Send(kWmTimer), 0);
  EXPECT_TRUE(window.saverMessages.empty());
}

TEST_F(HostWindowTest, RefusedPasswordKeepsTheSaverAndIgnoresARepeatWithin200ms) {
  state.family95 = true;
  int checks = 0;
  bool accept = false;
  state.verifyPassword = [&] {
    ++checks;
    EXPECT_TRUE(state.checking);
    return accept;
  };
  window.Send(kWmCreate);
  int hidesBefore = window.cursorHides;
  window.MoveCursor(10, 10);

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
}

TEST_F(HostWindowTest, VerifyMessageAnswersWithTheCheck) {
  state.family95 = true;
  EXPECT_EQ(window.Send(kWmVerifyPassword), 1);  // no verify function
  state.verifyPassword = [] { return false; };
  EXPECT_EQ(window.Send(kWmVerifyPassword), 0);

  state.family95 = false;
  window.systemMessages.clear();
  window.Send(kWmVerifyPassword);
  EXPECT_EQ(window.systemMessages, std::vector<uint32_t>{kWmVerifyPassword});
}

TEST_F(HostWindowTest, InputDuringAPasswordDialogDoesNotPostClose) {
  state.family95 = true;
  state.checking = true;
  window.Send(kWmKeyDown);
  window.MoveCursor(900, 900);
  window.Send(kWmMouseMove);
  EXPECT_EQ(window.closesPosted, 0);
  // A close request while the dialog is up is refused without a second one.
  window.Send(kWmClose);
  EXPECT_FALSE(window.destroyed);
}

TEST_F(HostWindowTest, SystemCommandsThatWouldLeaveTheSaverAreSwallowed) {
  for (WParam command : {kScNextWindow, kScPrevWindow, kScScreenSave, kScScreenSave | 2}) {
    window.saverMessages.clear();
    EXPECT_EQ(window.Send(kWmSysCommand, command), 0);
    EXPECT_TRUE(window.saverMessages.empty());
  }
  window.Send(kWmSysCommand, 0xF020);  // minimise: the saver's business
  EXPECT_EQ(window.saverMessages, std::vector<uint32_t>{kWmSysCommand});

  state.preview = true;
  window.saverMessages.clear();
  window.Send(kWmSysCommand, kScScreenSave);
  EXPECT_EQ(window.saverMessages, std::vector<uint32_t>{kWmSysCommand});
}

TEST_F(HostWindowTest, PreviewPassesHelpToTheParentAndIgnoresInput) {
  state.preview = true;
  window.Send(kWmCreate);
  EXPECT_EQ(window.cursorHides, 0);

  EXPECT_EQ(window.Send(kWmHelp, 0, 77), 1);
  EXPECT_EQ(window.Send(kWmContextMenu, 0, 88), 1);
  ASSERT_EQ(window.parentPosts.size(), 2u);
  EXPECT_EQ(window.parentPosts[0], std::make_pair(kWmHelp, LParam{77}));
  EXPECT_EQ(window.parentPosts[1], std::make_pair(kWmContextMenu, LParam{88}));

  window.Send(kWmKeyDown);
  window.MoveCursor(0, 0);
  window.Send(kWmMouseMove);
  EXPECT_EQ(window.closesPosted, 0);
  window.Send(kWmPaint);
  EXPECT_EQ(window.cursorHides, 0);
}

TEST_F(HostWindowTest, DestroyPostsQuitAndRestoresTheInputContext) {
  EXPECT_EQ(window.Send(kWmSetText, 0, 1234), 0);
  EXPECT_TRUE(window.saverMessages.empty());
  window.Send(kWmDestroy);
  EXPECT_EQ(window.restores, 1);
  EXPECT_EQ(window.quitCodes, std::vector<int>{0});
  EXPECT_EQ(window.saverMessages, std::vector<uint32_t>{kWmDestroy});
}

TEST_F(HostWindowTest, CursorStaysHidden) {
  window.Send(kWmPaint);
  EXPECT_EQ(window.cursorHides, 1);
  EXPECT_EQ(window.Send(kWmSetCursor), 1);
  EXPECT_EQ(window.cursorHides, 2);
  window.Send(kWmShowWindow, 1);
  EXPECT_EQ(window.cursorHides, 3);
  window.Send(kWmShowWindow, 0);
  EXPECT_EQ(window.cursorHides, 3);
  window.Send(kWmTimer);
  EXPECT_EQ(window.yields, 1);
}

}  // namespace
}  // namespace lumox
