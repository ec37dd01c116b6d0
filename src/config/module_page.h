// A module's settings page: one row per defined control of the module.
//
// Each row sets the control's fixed value, or picks a source and then a
// range and a sense. With source "Set" the row shows the value (trackbar and
// box); with any other source it shows the range (two trackbars, two boxes)
// and the sense. Modules with controls beyond the tenth show them on a
// second page of rows. Every edit goes straight into the live module record
// and sets the session's modified flag; nothing is stored until a test run
// or a save on the main page.
//
// The slide show page also edits the module's file text (a file name or a
// mask) and shows the picture formats the machine reads.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "config/config_session.h"
#include "state/module.h"

namespace lumox {

constexpr int kRowsPerPage = 10;
constexpr int kSenseMinimum = 1;
constexpr int kSenseMaximum = 10;
// The longest file text the slide show keeps (its buffer, less the zero).
constexpr size_t kMaxFileText = kModuleTextSize - 1;

// The three numbers of a row that a trackbar and a box edit.
enum class RowNumber { Value, RangeLo, RangeHi };

// Which elements of a row are shown; all false for a row of the other page
// or a control that is not defined.
struct RowVisibility {
  bool labelAndSource = false;  // the label and the source list
  bool value = false;           // the value trackbar and box
  bool range = false;           // both range trackbars and boxes, and the sense
};

// How a trackbar is set up: its range, tick spacing and position.
struct TrackbarSetup {
  int32_t minimum = 0;
  int32_t maximum = 0;
  int32_t tickFrequency = 1;
  int32_t position = 0;
};

// The outcome of a typed number: what the row holds now and the box shows.
struct TypedNumber {
  bool accepted = false;  // false: not a number; nothing changed
  bool changed = false;   // the stored number changed (set the trackbar up again)
  int32_t shown = 0;      // the number the box shows from now on
};

class ModulePage {
 public:
  ModulePage(ConfigSession& session, int moduleIndex);

  int moduleIndex() const { return index_; }
  const ModuleDescriptor& module() const;

  // The texts set when the page is activated.
  std::string TestButtonText() const;   // "Test Cyclic Settings"
  std::string ResetButtonText() const;  // "Reset Cyclic Controls"
  std::string GroupText() const;        // " Current settings for the Cyclic module: "

  // The rows: the defined controls, each control's label string id and its
  // source list (position = source).
  std::vector<int> Rows() const;
  std::string Label(int control) const;
  RowVisibility Visibility(int control) const;
  std::vector<const char*> SourceList(int control) const;
  int32_t Source(int control) const;
  int32_t Sense(int control) const;
  int32_t Number(int control, RowNumber which) const;
  TrackbarSetup Trackbar(int control, RowNumber which) const;

  // The second page of rows: whether it exists, which page shows, and the
  // page text ("Page 1 of 2"). ChangePage takes the arrows' delta (up is
  // positive, and goes back a page); false when it would leave 0..1.
  bool HasSecondPage() const;
  int shownPage() const;
  std::string PageText() const;
  bool ChangePage(int delta);

  // Edits. Each sets the modified flag when it changes something.
  // A trackbar's new position, held to the control's limits.
  void MoveTrackbar(int control, RowNumber which, int32_t position);
  // A box's text when it loses the focus: a signed number held to the
  // control's limits; anything else leaves the number as it was.
  TypedNumber TypeNumber(int control, RowNumber which, std::string_view text);
  // The sense arrows: sense + delta, held to 1..10. Returns the new sense.
  int32_t ChangeSense(int control, int delta);
  // The chosen position of the source list; false (nothing changed) for a
  // position the control's list does not hold.
  bool ChooseSource(int control, int32_t source);
  // Every control back to its definition, the text emptied.
  void Reset();

  // Test runs: the whole display, or this module alone (the Random page
  // tests the whole display). The Active flags are as before afterwards.
  void TestAll();
  void TestModule();

  // The slide show's file text. SetFileText refuses (with a message) a
  // text longer than the module keeps. Browse asks for one picture,
  // starting from the current text.
  bool HasFileText() const { return index_ == kBitmap; }
  std::string FileText() const;
  bool SetFileText(std::string_view text);
  bool Browse(const std::vector<std::string>& filterExtensions);

 private:
  ModuleControl* Row(int control);
  const ModuleControl* Row(int control) const;
  // Stores a number already held to the limits; true when it changed.
  bool Store(int control, RowNumber which, int32_t number);

  ConfigSession& session_;
  int index_;
};

// Trackbar tick spacing for a control's limits: about 24 ticks.
int32_t TickFrequency(int32_t minimum, int32_t maximum);

// The slide show's list of readable formats: "*.bmp", then ", *.<ext>" for
// each import filter's extension (at most 16 characters of it).
std::string PictureFormatsText(const std::vector<std::string>& filterExtensions);

// The "Open Bitmap" chooser's type list: "Graphics files" (every format,
// only when a filter exists), "Bitmaps", "Animations", "All files".
std::vector<FileFilter> OpenBitmapFilters(const std::vector<std::string>& filterExtensions);

}  // namespace lumox
