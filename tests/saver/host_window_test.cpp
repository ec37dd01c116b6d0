#include "saver/host_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "fake_modules.h"

namespace lumox {
namespace {

using Log = std::vector<std::string>;

std::string Call(const char* name, int64_t value) {
  return std::string(name) + " " + std::to_string(value);
}
std::string ToSaver(uint32_t message) { return Call("saver", message); }
std::string ToSystem(uint32_t message) { return Call("system", message); }

// A window whose saver procedure passes everything on to HostDefaultProc,
// as ScreenSaverProc does with what it does not consume. Every call it
// receives goes into `log`, in order.
class FakeHostWindow : public HostWindow {
 public:
  explicit FakeHostWindow(HostState& state) : state_(state) {}
  LResult SaverProc(uint32_t message, WParam wParam, LParam lParam) override {
    log.push_back(ToSaver(message));
    return HostDefaultProc(state_, *this, message, wParam, lParam);
  }
  LResult SystemDefaultProc(uint32_t message, WParam, LParam) override {
    log.push_back(ToSystem(message));
    destroyed = destroyed || message == kWmClose;
    return 0;
  }
  void PostClose() override { log.push_back("post close"); }
  void PostQuit(int exitCode) override { log.push_back(Call("quit", exitCode)); }
  void HideCursor() override { log.push_back("hide cursor"); }
  CursorPoint CursorPosition() override { return cursor; }
  void RemoveTimerMessages(int count) override { log.push_back(Call("drop timers", count)); }
  void PostToParent(uint32_t message, LParam lParam) override {
    log.push_back(Call("to parent", message) + " " + std::to_string(lParam));
  }
  void YieldTimeSlice() override { log.push_back("yield"); }
  void DetachInputContext() override { log.push_back("detach input"); }
  void RestoreInputContext() override { log.push_back("restore input"); }

  // Sends one message; `log` then holds the calls it made.
  LResult Send(uint32_t message, WParam wParam = 0, LParam lParam = 0) {
    log.clear();
    return HostWindowProc(state_, *this, message, wParam, lParam);
  }
  bool Closes(uint32_t message) {
    Send(message);
    return std::count(log.begin(), log.end(), "post close") == 1;
  }

  Log log;
  CursorPoint cursor{500, 400};
  bool destroyed = false;

 private:
  HostState& state_;
};

// On to the saver, which passes it back, and on to the system.
Log Through(uint32_t message) { return {ToSaver(message), ToSystem(message)}; }
// The same, with a close posted on the way.
Log Closing(uint32_t message) { return {ToSaver(message), "post close", ToSystem(message)}; }

TEST(HostWindowProc, EachMessageAsDocumented) {
  enum Window { kFullScreen, kPreview, kClosing };
  const std::string hide = "hide cursor";
  const struct {
    Window window;
    uint32_t message;
    WParam wParam;
    LResult result;
    Log calls;
  } rows[] = {
      {kFullScreen, kWmCreate, 0, 0, {"detach input", hide, ToSaver(kWmCreate),
                                      ToSystem(kWmCreate)}},
      {kPreview, kWmCreate, 0, 0, {"detach input", ToSaver(kWmCreate), ToSystem(kWmCreate)}},
      {kFullScreen, kWmDestroy, 0, 0, {"restore input", "quit 0", ToSaver(kWmDestroy),
                                       ToSystem(kWmDestroy)}},
      {kFullScreen, kWmSetText, 0, 0, {}},
      {kFullScreen, kWmPaint, 0, 0, {hide, ToSaver(kWmPaint), ToSystem(kWmPaint)}},
      {kPreview, kWmPaint, 0, 0, Through(kWmPaint)},
      {kClosing, kWmPaint, 0, 0, {ToSystem(kWmPaint)}},
      {kPreview, kWmHelp, 0, 1, {Call("to parent", kWmHelp) + " 77"}},
      {kPreview, kWmContextMenu, 0, 1, {Call("to parent", kWmContextMenu) + " 77"}},
      {kFullScreen, kWmHelp, 0, 0, Through(kWmHelp)},
      {kFullScreen, kWmKeyDown, 0, 0, Closing(kWmKeyDown)},
      {kFullScreen, kWmSysKeyDown, 0, 0, Closing(kWmSysKeyDown)},
      {kFullScreen, kWmLeftButtonDown, 0, 0, Closing(kWmLeftButtonDown)},
      {kFullScreen, kWmRightButtonDown, 0, 0, Closing(kWmRightButtonDown)},
      {kFullScreen, kWmMiddleButtonDown, 0, 0, Closing(kWmMiddleButtonDown)},
      {kPreview, kWmKeyDown, 0, 0, Through(kWmKeyDown)},
      {kClosing, kWmKeyDown, 0, 0, {ToSystem(kWmKeyDown)}},
      {kClosing, kWmMouseMove, 0, 0, {ToSystem(kWmMouseMove)}},
      {kFullScreen, kWmSysCommand, kScNextWindow, 0, {}},
      {kFullScreen, kWmSysCommand, kScPrevWindow, 0, {}},
      {kFullScreen, kWmSysCommand, kScScreenSave, 0, {}},
      {kFullScreen, kWmSysCommand, kScScreenSave | 2, 0, {}},  // the low bits are the system's
      {kFullScreen, kWmSysCommand, 0xF020, 0, Through(kWmSysCommand)},
      {kPreview, kWmSysCommand, kScScreenSave, 0, Through(kWmSysCommand)},
      {kFullScreen, kWmTimer, 0, 0, {"yield", ToSaver(kWmTimer), ToSystem(kWmTimer)}},
      {kClosing, kWmTimer, 0, 0, {}},
      {kFullScreen, kWmShowWindow, 1, 0, {ToSaver(kWmShowWindow), hide, ToSystem(kWmShowWindow)}},
      {kFullScreen, kWmShowWindow, 0, 0, Through(kWmShowWindow)},
      {kFullScreen, kWmSetCursor, 0, 1, {ToSaver(kWmSetCursor), hide}},
      {kPreview, kWmSetCursor, 0, 0, Through(kWmSetCursor)}};
  for (const auto& row : rows) {
    HostState state;
    state.preview = row.window == kPreview;
    state.closing = row.window == kClosing;
    FakeHostWindow window{state};
    EXPECT_EQ(window.Send(row.message, row.wParam, 77), row.result)
        << row.window << " " << row.message;
    EXPECT_EQ(window.log, row.calls) << row.window << " " << row.message;
  }
}

TEST(HostWindowProc, MovementCountsBeyondFourPixelsFromTheLastPositionThatClosed) {
  HostState state;
  FakeHostWindow window{state};
  window.Send(kWmCreate);
  // Summed over both axes from the position at creation (500, 400), then
  // from the last one that closed: 4 is not movement, 5 is; no overflow.
  const struct {
    int32_t x, y;
    bool closes;
  } moves[] = {{502, 402, false}, {503, 400, false}, {497, 400, false}, {503, 402, true},
               {505, 404, false}, {508, 402, true},  {INT32_MIN, INT32_MIN, true},
               {INT32_MAX, INT32_MAX, true}};
  for (const auto& m : moves) {
    window.cursor = {m.x, m.y};
    EXPECT_EQ(window.Closes(kWmMouseMove), m.closes) << m.x << "," << m.y;
  }
}

// NT closes at once; the 95 family without a verify function accepts (from
// then on input goes straight to the system); with one, a refusal keeps the
// saver and a repeat within 200 ms is ignored.
TEST(HostWindowProc, ClosingAndThePasswordCheck) {
  test::TestEnvironment env;
  HostState nt, family95, state;
  FakeHostWindow ntWindow{nt}, window95{family95}, window{state};
  nt.verifyPassword = [] { return false; };  // never asked
  ntWindow.Send(kWmClose);
  EXPECT_TRUE(ntWindow.destroyed && !nt.closing);
  family95.family95 = state.family95 = true;
  EXPECT_EQ(window95.Send(kWmVerifyPassword), 1) << "no verify function: accepted";
  window95.Send(kWmClose);
  EXPECT_TRUE(window95.destroyed && family95.closing);
  EXPECT_FALSE(window95.Closes(kWmKeyDown));

  int checks = 0;
  bool accept = false;
  state.verifyPassword = [&] {
    ++checks;
    EXPECT_TRUE(state.checking);
    HostWindowProc(state, window, kWmKeyDown, 0, 0);  // typed into the dialog
    return accept;
  };
  window.Send(kWmCreate);
  window.cursor = {10, 10};
  EXPECT_EQ(window.Send(kWmClose), 0);
  EXPECT_FALSE(window.destroyed || state.checking);
  // Pending timers dropped, no close posted for the dialog's key, and the
  // cursor hidden again after the refusal, whose cursor position becomes
  // the reference.
  EXPECT_EQ(window.log, (Log{ToSaver(kWmClose), "drop timers 2", ToSaver(kWmKeyDown),
                             ToSystem(kWmKeyDown), "hide cursor"}));
  EXPECT_FALSE(window.Closes(kWmMouseMove));
  accept = true;
  for (uint32_t wait : {199u, 1u}) {
    env.clock.Advance(wait);
    window.Send(kWmClose);
    EXPECT_EQ(window.destroyed, wait == 1u) << wait;
  }
  EXPECT_EQ(checks, 2);
  EXPECT_TRUE(state.closing);
}

}  // namespace
}  // namespace lumox
