// The custom palette editor: the page that edits the 236 custom colours a
// channel with the "Custom" effect takes its levels from.
//
// The user selects one contiguous range of entries with the mouse (press
// on an entry, drag to extend, release), then applies range operations to
// it, or sets colours with three trackbars. Each operation leaves alone the
// channels the user masked and can be undone once (a second Undo redoes).
// "Copy To" and "Merge To" remember the selection as their source and act
// on the range the next mouse selection makes.
//
// The editor works on the palette record's custom colours in place; a view
// draws the grid from Colors() through the cell geometry below and reads
// the trackbar positions and enabled states back after every action.
#pragma once

#include <array>
#include <functional>

#include "state/palette_state.h"

namespace lumox {

class ConfigSession;

// A cell of the grid in client pixels: [left, right) x [top, bottom).
struct GridRect {
  int left = 0, top = 0, right = 0, bottom = 0;
};

// The grid: 16 columns by 15 rows of cells over a client area of the given
// size, starting 2 pixels in; the last row's last four cells stay empty.
GridRect GridCell(int entry, int clientWidth, int clientHeight);
// The entry whose cell holds the point, or 235 when none does.
int GridHitTest(int x, int y, int clientWidth, int clientHeight);

struct EntryRange {
  int first = 0;
  int last = 0;
  int Count() const { return last - first + 1; }
};

class CustomPaletteEditor {
 public:
  using Levels = std::array<int, kChannels>;  // red, green, blue 0..255

  CustomPaletteEditor(CustomPalette& palette, std::function<void()> markModified);

  const CustomPalette& Colors() const { return palette_; }
  EntryRange Selection() const { return selection_; }
  bool Dragging() const { return dragging_; }

  // Mouse selection on the grid, by entry (see GridHitTest). Release ends
  // the drag and carries out a pending Copy To or Merge To onto the new
  // selection; it does nothing without a press before it.
  void Press(int entry);
  void Move(int entry);
  void Release();

  // What the controls show.
  // Reverse and Gradient change nothing on fewer than three entries.
  bool CanReverseOrBlend() const { return selection_.last - selection_.first > 1; }
  bool Masked(int channel) const { return masks_[channel]; }
  bool TrackbarEnabled(int channel) const { return !masks_[channel]; }
  // One entry selected: its colour; a range: 128 each.
  Levels TrackbarPositions() const { return trackbars_; }
  bool CopyPending() const { return copyPending_; }
  bool MergePending() const { return mergePending_; }

  void SetMasked(int channel, bool masked);

  // The three trackbar positions after one of them moved. One selected
  // entry takes them as its colour; a range is scaled per channel by
  // position / position-when-the-drag-began. EndTrackbarDrag closes the
  // drag (the next move starts a new undo step).
  void MoveTrackbars(Levels positions);
  void EndTrackbarDrag();

  // The range operations, on the selection and the unmasked channels.
  void Randomize();
  void Negative();
  void Reverse();
  void Gradient();
  void Smooth();
  void Rough();
  void Shift();
  void CopyTo();
  void MergeTo();
  void Undo();

  // Import asks for a file and reads it (see pal_file.h); a file that is
  // not a palette file only beeps. Export writes the whole palette, with
  // "Scratch.PAL" proposed; a failed write beeps. Both do nothing when the
  // user cancels the file dialog. True when the palette or file changed.
  bool Import(ConfigSession& session);
  bool Export(ConfigSession& session);

 private:
  using Colours = std::array<Levels, kPaletteEntries>;

  Colours Read() const;
  void Write(const Colours& colours);
  // Starts an operation: the undo copy, and a working copy to change.
  Colours Begin();
  // Ends an operation: stores the result, refreshes the controls.
  void Finish(const Colours& colours);
  void Refresh();
  void CopyFromSource(bool merge);

  CustomPalette& palette_;
  std::function<void()> markModified_;
  EntryRange selection_;
  int anchor_ = 0;
  int lastHit_ = 0;
  bool dragging_ = false;
  Colours undoBuffer_{};
  bool copyPending_ = false;
  bool mergePending_ = false;
  EntryRange source_;
  std::array<bool, kChannels> masks_{};
  Levels trackbars_{};
  bool trackbarDrag_ = false;
  Levels trackbarBase_{};
};

}  // namespace lumox
