#include "config/custom_palette.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "base/random.h"
#include "config/config_session.h"
#include "config/pal_file.h"
#include "platform/system.h"

namespace lumox {

namespace {

constexpr int kGridColumns = 16;
constexpr int kGridRows = 15;
constexpr int kGridOrigin = 2;
constexpr int kRangeTrackbarLevel = 128;
constexpr const char* kPalPattern = "*.PAL";
constexpr const char* kProposedPalName = "Scratch.PAL";

int Clamp255(int level) {
  return std::clamp(level, 0, 255);
}

}  // namespace

GridRect GridCell(int entry, int clientWidth, int clientHeight) {
  const double width = (clientWidth - 3) / static_cast<double>(kGridColumns);
  const double height = (clientHeight - 3) / static_cast<double>(kGridRows);
  const int x = entry % kGridColumns;
  const int y = entry / kGridColumns;
  return {kGridOrigin + static_cast<int>(x * width), kGridOrigin + static_cast<int>(y * height),
          kGridOrigin + static_cast<int>((x + 1) * width),
          kGridOrigin + static_cast<int>((y + 1) * height)};
}

int GridHitTest(int x, int y, int clientWidth, int clientHeight) {
  for (int entry = 0; entry < kPaletteEntries; ++entry) {
    const GridRect cell = GridCell(entry, clientWidth, clientHeight);
    if (x >= cell.left && x < cell.right && y >= cell.top && y < cell.bottom) return entry;
  }
  return kPaletteEntries - 1;
}

CustomPaletteEditor::CustomPaletteEditor(CustomPalette& palette, std::function<void()> markModified)
    : palette_(palette), markModified_(std::move(markModified)) {
  undoBuffer_ = Read();
  Refresh();
}

CustomPaletteEditor::Colours CustomPaletteEditor::Read() const {
  Colours colours;
  for (int i = 0; i < kPaletteEntries; ++i) {
    colours[i] = {palette_[i].red, palette_[i].green, palette_[i].blue};
  }
  return colours;
}

void CustomPaletteEditor::Write(const Colours& colours) {
  for (int i = 0; i < kPaletteEntries; ++i) {
    palette_[i].Set({static_cast<uint8_t>(colours[i][kRed]),
                     static_cast<uint8_t>(colours[i][kGreen]),
                     static_cast<uint8_t>(colours[i][kBlue])});
  }
}

CustomPaletteEditor::Colours CustomPaletteEditor::Begin() {
  undoBuffer_ = Read();
  return undoBuffer_;
}

void CustomPaletteEditor::Finish(const Colours& colours) {
  Write(colours);
  Refresh();
  if (markModified_) markModified_();
}

void CustomPaletteEditor::Refresh() {
  if (selection_.first == selection_.last) {
    trackbars_ = Read()[selection_.first];
  } else {
    trackbars_ = {kRangeTrackbarLevel, kRangeTrackbarLevel, kRangeTrackbarLevel};
  }
}

void CustomPaletteEditor::Press(int entry) {
  entry = std::clamp(entry, 0, kPaletteEntries - 1);
  anchor_ = lastHit_ = entry;
  dragging_ = true;
  selection_ = {entry, entry};
}

void CustomPaletteEditor::Move(int entry) {
  if (!dragging_) return;
  entry = std::clamp(entry, 0, kPaletteEntries - 1);
  if (entry == lastHit_) return;
  selection_ = {std::min(anchor_, entry), std::max(anchor_, entry)};
  lastHit_ = entry;
}

void CustomPaletteEditor::Release() {
  if (!dragging_) return;
  dragging_ = false;
  if (copyPending_ || mergePending_) {
    CopyFromSource(mergePending_);
    copyPending_ = mergePending_ = false;
  } else {
    Refresh();
  }
}

void CustomPaletteEditor::SetMasked(int channel, bool masked) {
  if (channel >= kRed && channel <= kBlue) masks_[channel] = masked;
}

void CustomPaletteEditor::MoveTrackbars(Levels positions) {
  for (int& level : positions) level = Clamp255(level);
  // The drag's base is where the trackbars stood before its first move, so
  // a range scales by how far the thumb went from there.
  if (!trackbarDrag_) {
    trackbarDrag_ = true;
    trackbarBase_ = trackbars_;
    undoBuffer_ = Read();
  }
  trackbars_ = positions;
  Colours colours = undoBuffer_;
  if (selection_.first == selection_.last) {
    for (int c = 0; c < kChannels; ++c) {
      if (!masks_[c]) colours[selection_.first][c] = positions[c];
    }
  } else {
    for (int c = 0; c < kChannels; ++c) {
      // A masked or unmoved channel keeps its levels; from a base of 0
      // there is nothing to scale, so the range takes the position itself.
      if (masks_[c] || positions[c] == trackbarBase_[c]) continue;
      for (int i = selection_.first; i <= selection_.last; ++i) {
        colours[i][c] = trackbarBase_[c] == 0
                            ? positions[c]
                            : Clamp255(undoBuffer_[i][c] * positions[c] / trackbarBase_[c]);
      }
    }
  }
  Write(colours);
  if (markModified_) markModified_();
}

void CustomPaletteEditor::EndTrackbarDrag() {
  trackbarDrag_ = false;
}

void CustomPaletteEditor::Randomize() {
  Colours colours = Begin();
  Levels steps;
  for (int c = kBlue; c >= kRed; --c) steps[c] = Rand() % 8;
  Levels levels;
  for (int c = kRed; c <= kBlue; ++c) levels[c] = Rand() % 256;
  for (int i = selection_.first; i <= selection_.last; ++i) {
    for (int c = 0; c < kChannels; ++c) {
      // A walk that would leave 0..255 turns round and stays put this once.
      const int next = levels[c] + steps[c];
      if (next >= 0 && next <= 255) {
        levels[c] = next;
      } else {
        steps[c] = -steps[c];
      }
      if (!masks_[c]) colours[i][c] = levels[c];
    }
  }
  Finish(colours);
}

void CustomPaletteEditor::Negative() {
  Colours colours = Begin();
  for (int i = selection_.first; i <= selection_.last; ++i) {
    for (int c = 0; c < kChannels; ++c) {
      if (!masks_[c]) colours[i][c] = 255 - colours[i][c];
    }
  }
  Finish(colours);
}

void CustomPaletteEditor::Reverse() {
  Colours colours = Begin();
  if (selection_.last - selection_.first > 1) {
    for (int a = selection_.first, b = selection_.last; a < b; ++a, --b) {
      for (int c = 0; c < kChannels; ++c) {
        if (!masks_[c]) std::swap(colours[a][c], colours[b][c]);
      }
    }
  }
  Finish(colours);
}

void CustomPaletteEditor::Gradient() {
  Colours colours = Begin();
  const int first = selection_.first;
  const int last = selection_.last;
  const int n = last - first;
  if (n > 1) {
    for (int k = 0; k < n; ++k) {
      for (int c = 0; c < kChannels; ++c) {
        if (!masks_[c])
          colours[first + k][c] = (undoBuffer_[first][c] * (n - k) + k * undoBuffer_[last][c]) / n;
      }
    }
  }
  Finish(colours);
}

void CustomPaletteEditor::Smooth() {
  Colours colours = Begin();
  // In place, in increasing order: each entry sees its smoothed
  // predecessor. The end entries have one neighbour and stay.
  const int first = std::max(selection_.first, 1);
  const int last = std::min(selection_.last, kPaletteEntries - 2);
  for (int i = first; i <= last; ++i) {
    for (int c = 0; c < kChannels; ++c) {
      if (!masks_[c]) {
        colours[i][c] = (colours[i - 1][c] + colours[i + 1][c] + 3 * colours[i][c]) / 5;
      }
    }
  }
  Finish(colours);
}

void CustomPaletteEditor::Rough() {
  Colours colours = Begin();
  const int first = std::max(selection_.first, 1);
  const int last = std::min(selection_.last, kPaletteEntries - 2);
  for (int i = first; i <= last; ++i) {
    for (int c = 0; c < kChannels; ++c) {
      const int change = masks_[c] ? 0 : Rand() % 21 - 10;
      const int level = colours[i][c] + change;
      if (level >= 0 && level <= 255) colours[i][c] = level;
    }
  }
  Finish(colours);
}

void CustomPaletteEditor::Shift() {
  Colours colours = Begin();
  for (int i = selection_.first; i <= selection_.last; ++i) {
    const Levels old = colours[i];
    for (int c = 0; c < kChannels; ++c) {
      if (!masks_[c]) colours[i][c] = old[(c + 1) % kChannels];
    }
  }
  Finish(colours);
}

void CustomPaletteEditor::CopyTo() {
  source_ = selection_;
  copyPending_ = true;
  mergePending_ = false;
}

void CustomPaletteEditor::MergeTo() {
  source_ = selection_;
  mergePending_ = true;
  copyPending_ = false;
}

void CustomPaletteEditor::CopyFromSource(bool merge) {
  // The source is read from the colours before the copy, so a target that
  // overlaps the source still gets the source's original colours.
  Colours colours = Begin();
  const int sourceCount = source_.Count();
  const int targetCount = selection_.Count();
  for (int k = 0; k < targetCount; ++k) {
    // Integer steps through the source: every source entry is used
    // targetCount / sourceCount times, with no rounding drift.
    const Levels& from = undoBuffer_[source_.first + k * sourceCount / targetCount];
    Levels& to = colours[selection_.first + k];
    for (int c = 0; c < kChannels; ++c) {
      if (!masks_[c]) to[c] = merge ? (to[c] + from[c]) / 2 : from[c];
    }
  }
  Finish(colours);
}

void CustomPaletteEditor::Undo() {
  const Colours current = Read();
  Write(undoBuffer_);
  undoBuffer_ = current;
  Refresh();
  if (markModified_) markModified_();
}

bool CustomPaletteEditor::Import(ConfigSession& session) {
  const std::vector<std::string> paths = session.dialogs().AskOpenFiles(
      SettingsFileRequest("Import Palette", kPalPattern, session.rememberedDirectory()));
  if (paths.empty()) return false;
  session.RememberDirectoryOf(paths.front());
  undoBuffer_ = Read();
  CustomPalette read = palette_;
  if (!ReadPalFile(paths.front(), read).isPalFile) {
    System().Beep();
    return false;
  }
  palette_ = read;
  Refresh();
  if (markModified_) markModified_();
  return true;
}

bool CustomPaletteEditor::Export(ConfigSession& session) {
  FileRequest request =
      SettingsFileRequest("Export Palette", kPalPattern, session.rememberedDirectory());
  request.fileName = kProposedPalName;
  const std::string path = session.dialogs().AskSaveFile(request);
  if (path.empty()) return false;
  session.RememberDirectoryOf(path);
  std::string error;
  if (!WritePalFile(path, palette_, error)) {
    System().Beep();
    return false;
  }
  return true;
}

}  // namespace lumox
