#include "overlay/overlays.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <string_view>

#include "control/sound_link.h"
#include "control/sound_share.h"
#include "gfx/canvas.h"
#include "overlay/shown_text.h"
#include "platform/clock.h"
#include "state/saver_state.h"

namespace lumox {
namespace {

// A box is as wide as its text plus 58 and as tall as its text plus 44: the
// three frames inset 8, 6 and 8 pixels leave the text a 7-pixel margin.
constexpr int32_t kExtraWidth = 58;
constexpr int32_t kExtraHeight = 44;
constexpr int32_t kRaisedInset = 8, kEtchedInset = 6, kTextInset = 8;
// How close a box may come to the screen's edges.
constexpr int32_t kFarEdgeGap = 100;
constexpr int32_t kNearEdgeGap = 80;
// ShowName is seconds; a hand-edited value is held to what the tick count
// can time (deadlines compare within 24.8 days).
constexpr int32_t kMaxShowNameSeconds = std::numeric_limits<int32_t>::max() / 1000;

constexpr int kInfoLines = 3;
constexpr size_t kInfoLineSize = kInfoTextSize;

struct Box {
  gfx::Rect rect;
  bool visible = false;
  uint32_t deadline = 0;
};

struct OverlayRecord {
  int32_t width = 0, height = 0;
  gfx::FontRasterizer* font = nullptr;
  Box info, title, slogan;
  uint32_t lastInfoSerial = 0;
  char lastName[kDisplayNameSize] = {};
  char name[kDisplayNameSize] = {};
  bool sloganPending = false;  // the slogan has yet to be shown
  char sloganText[kSloganSize] = {};
  char infoLines[kInfoLines][kInfoLineSize] = {};
  char infoText[kInfoLines * kInfoLineSize] = {};
};

OverlayRecord& Record() {
  static OverlayRecord record;
  return record;
}

bool Expired(const Box& box, uint32_t now) {
  return box.visible && TickDelta(now, box.deadline) > 0;
}

void ShowFor(Box& box, uint32_t now, uint32_t durationMs) {
  box.visible = true;
  box.deadline = now + durationMs;
}

// The common painter: a sunken frame with the face filled, a raised frame
// inside it, an etched frame inside that, and the text centred in black.
void DrawBox(gfx::Canvas& dc, const gfx::Rect& rect, std::string_view text) {
  gfx::Rect r = rect;
  dc.DrawEdge(r.left, r.top, r.right, r.bottom, gfx::EdgeStyle::Sunken, true);
  auto shrink = [&r](int32_t by) { r = {r.left + by, r.top + by, r.right - by, r.bottom - by}; };
  shrink(kRaisedInset);
  dc.DrawEdge(r.left, r.top, r.right, r.bottom, gfx::EdgeStyle::Raised);
  shrink(kEtchedInset);
  dc.DrawEdge(r.left, r.top, r.right, r.bottom, gfx::EdgeStyle::Etched);
  shrink(kTextInset);
  dc.DrawCenteredText(r.left, r.top, r.right, r.bottom, text, gfx::kBlack);
  ExcludeVisibleOverlayBoxes(dc);
}

// Opens the whole screen again, blacks the box out and keeps the other
// visible boxes excluded. Only a visible box is removed: a hidden one has
// nothing on the screen, and blacking its old place out would cut a hole
// into the picture the modules have drawn there since.
void RemoveBox(gfx::Canvas& dc, Box& box) {
  if (!box.visible) return;
  box.visible = false;
  dc.SelectClipRegion(nullptr);
  const gfx::Rect& r = box.rect;
  dc.FillRect(r.left, r.top, r.right, r.bottom, gfx::Brush::StockBlack());
  ExcludeVisibleOverlayBoxes(dc);
}

// Shows the box at `rect` if it fits, else leaves it hidden.
void Place(gfx::Canvas& dc, Box& box, const gfx::Rect& rect, bool fits, std::string_view text) {
  box.rect = rect;
  if (!fits) {
    box.visible = false;
    return;
  }
  DrawBox(dc, rect, text);
}

// Sums in 64 bits and holds the result to the 32-bit range, so an absurdly
// wide text or screen cannot wrap a coordinate.
int32_t Coordinate(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

// The sound player's three lines, bottom left, after every change of
// InfoSerial while the player runs.
void InfoStep(gfx::Canvas& dc, const SaverState& saver, uint32_t now) {
  OverlayRecord& o = Record();
  const SoundShare& share = *CurrentSoundShare();
  if (share.U32(share_offset::PlayerActive) == 0) return;
  const uint32_t serial = share.U32(share_offset::InfoSerial);
  if (Expired(o.info, now) || serial != o.lastInfoSerial) RemoveBox(dc, o.info);
  if (saver.options.ShowInfo == 0 || serial == o.lastInfoSerial) return;

  ShowFor(o.info, now, kInfoBoxMs);
  o.lastInfoSerial = serial;
  // Shown top to bottom: InfoText2, InfoText1, InfoText3.
  constexpr size_t kFields[kInfoLines] = {share_offset::InfoText2, share_offset::InfoText1,
                                          share_offset::InfoText3};
  for (int line = 0; line < kInfoLines; ++line) {
    char field[kInfoTextSize];
    for (size_t i = 0; i < kInfoTextSize; ++i)
      field[i] =
          static_cast<char>(__atomic_load_n(share.bytes() + kFields[line] + i, __ATOMIC_RELAXED));
    ShownText(o.infoLines[line], kInfoLineSize, field, kInfoTextSize);
  }
  // Without a first line there is nothing to show.
  if (o.infoLines[0][0] == '\0') {
    o.info.visible = false;
    return;
  }
  char* joined = o.infoText;
  int32_t widest = 0;
  for (int line = 0; line < kInfoLines; ++line) {
    const size_t length = std::strlen(o.infoLines[line]);
    std::memcpy(joined, o.infoLines[line], length);
    joined += length;
    *joined++ = line + 1 < kInfoLines ? '\n' : '\0';
    widest = std::max(widest, dc.MeasureText(o.infoLines[line]).width);
  }
  const int32_t lineHeight = dc.MeasureText(o.infoLines[0]).height;
  const int32_t width = Coordinate(int64_t{widest} + kExtraWidth);
  const int32_t top =
      Coordinate(int64_t{o.height} - (int64_t{kInfoLines} * lineHeight + kExtraHeight));
  const gfx::Rect rect{0, top, width, o.height};
  Place(dc, o.info, rect,
        rect.top > kFarEdgeGap && int64_t{rect.right} < int64_t{o.width} - kNearEdgeGap,
        o.infoText);
}

// The saved display's name, top centre, for ShowName seconds after it
// changes.
void TitleStep(gfx::Canvas& dc, const SaverState& saver, uint32_t now) {
  OverlayRecord& o = Record();
  if (saver.options.ShowName <= 0) return;
  ShownText(o.name, sizeof o.name, saver.displayName, sizeof saver.displayName);
  const bool changed = std::strcmp(o.name, o.lastName) != 0;
  if (Expired(o.title, now) || changed) RemoveBox(dc, o.title);
  if (!changed) return;

  const int32_t seconds = std::min(saver.options.ShowName, kMaxShowNameSeconds);
  ShowFor(o.title, now, static_cast<uint32_t>(seconds) * 1000u);
  std::memcpy(o.lastName, o.name, sizeof o.name);
  const gfx::Canvas::TextExtent extent = dc.MeasureText(o.name);
  const int64_t halfWidth = extent.width / 2 + kExtraWidth / 2;
  const int64_t centre = o.width / 2;
  const gfx::Rect rect{Coordinate(centre - halfWidth), 0, Coordinate(centre + halfWidth),
                       Coordinate(int64_t{extent.height} + kExtraHeight)};
  Place(dc, o.title, rect,
        rect.left > kFarEdgeGap && int64_t{rect.bottom} < int64_t{o.height} - kNearEdgeGap, o.name);
}

// The slogan, bottom right, once per run.
void SloganStep(gfx::Canvas& dc, uint32_t now) {
  OverlayRecord& o = Record();
  if (Expired(o.slogan, now)) RemoveBox(dc, o.slogan);
  if (!o.sloganPending) return;
  o.sloganPending = false;

  ShowFor(o.slogan, now, kSloganBoxMs);
  const gfx::Canvas::TextExtent extent = dc.MeasureText(o.sloganText);
  const gfx::Rect rect{Coordinate(int64_t{o.width} - (int64_t{extent.width} + kExtraWidth)),
                       Coordinate(int64_t{o.height} - (int64_t{extent.height} + kExtraHeight)),
                       o.width, o.height};
  Place(dc, o.slogan, rect, rect.top > kFarEdgeGap && rect.left > kNearEdgeGap, o.sloganText);
}

}  // namespace

void SetUpOverlays(gfx::Canvas& dc, const SaverState& saver, bool fullScreen,
                   gfx::FontRasterizer* font) {
  OverlayRecord& o = Record();
  o = OverlayRecord{};
  o.width = dc.width();
  o.height = dc.height();
  o.font = font;
  dc.SetFont(font);
  CurrentSoundShare()->SetU32(share_offset::FullScreenSaver, fullScreen ? 1 : 0);
  o.sloganPending =
      ShownText(o.sloganText, sizeof o.sloganText, saver.slogan, sizeof saver.slogan) > 0;
}

void DrawOverlays(gfx::Canvas& dc, const SaverState& saver) {
  // Without a font there is no text to frame.
  if (Record().font == nullptr) return;
  const uint32_t now = TickCount();
  InfoStep(dc, saver, now);
  TitleStep(dc, saver, now);
  SloganStep(dc, now);
}

void ExcludeVisibleOverlayBoxes(gfx::Canvas& dc) {
  gfx::Rect boxes[kOverlayBoxCount];
  const int count = VisibleOverlayBoxes(boxes);
  for (int i = 0; i < count; ++i)
    dc.ExcludeClipRect(boxes[i].left, boxes[i].top, boxes[i].right, boxes[i].bottom);
}

int VisibleOverlayBoxes(gfx::Rect (&boxes)[kOverlayBoxCount]) {
  const OverlayRecord& o = Record();
  int count = 0;
  for (const Box* box : {&o.info, &o.title, &o.slogan})
    if (box->visible) boxes[count++] = box->rect;
  return count;
}

}  // namespace lumox
