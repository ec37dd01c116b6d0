// The font of the overlay boxes: the system's variable-pitch font on
// Windows, DejaVu Sans at the same size elsewhere.
#pragma once

namespace lumox {

namespace gfx {
class FontRasterizer;
}

// Opened on first use and kept for the life of the process (the overlays of
// every run use it); null when the platform has no font to offer.
gfx::FontRasterizer* OverlayFont();

}  // namespace lumox
