// The framed text boxes shown over the running display: the name of the
// saved display (option ShowName, for ShowName seconds, top centre), the
// sound player's information (option ShowInfo, while the player runs, for
// 4.3 s after each change, bottom left) and the slogan (once per run, for
// 6.2 s, bottom right).
//
// The render thread sets the overlays up once per run and steps them once
// per frame before the modules draw. A box is painted once, when it
// appears: while it is visible its rectangle is excluded from the render
// context's clip, so no module paints over it; when its time is up it is
// filled with black and the clip is opened again. A box that would come
// within 100 pixels of the far edge it grows from, or 80 of the other, is
// not shown at all, so a preview miniature shows none.
//
// A module that selects its own clip region excludes the visible boxes
// afterwards (ExcludeVisibleOverlayBoxes), or they would be overdrawn.
//
// Every text is copied through ShownText: what the player or the registry
// hands over may be unterminated, too long or not printable.
#pragma once

#include <cstdint>

#include "gfx/geometry.h"
#include "overlay/overlay_font.h"

namespace lumox {

namespace gfx {
class Canvas;
class FontRasterizer;
}  // namespace gfx
struct SaverState;

constexpr uint32_t kInfoBoxMs = 4332;
constexpr uint32_t kSloganBoxMs = 6172;
constexpr int kOverlayBoxCount = 3;

// Starts a run's overlays on the render context: nothing shown, the screen
// size taken from the canvas, the font selected into it, the slogan taken
// from the saver record (an empty one is never shown), and whether the
// window covers the screen published in the sound block (FullScreenSaver).
void SetUpOverlays(gfx::Canvas& dc, const SaverState& saver, bool fullScreen,
                   gfx::FontRasterizer* font = OverlayFont());

// One frame of the overlays, in this order: the info box, the title, the
// slogan. Allocates nothing unless a box appears.
void DrawOverlays(gfx::Canvas& dc, const SaverState& saver);

// Excludes the rectangle of every visible box from the canvas's clip.
void ExcludeVisibleOverlayBoxes(gfx::Canvas& dc);

// The rectangles of the visible boxes, in the order info, title, slogan;
// returns how many there are.
int VisibleOverlayBoxes(gfx::Rect (&boxes)[kOverlayBoxCount]);

}  // namespace lumox
