#include "config/module_page.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>

#include "control/controls.h"
#include "resources/strings.h"
#include "settings/saved_displays.h"
#include "state/saver_state.h"

namespace lumox {

namespace {

std::string WithModuleName(const char* format, const char* name) {
  char text[128];
  std::snprintf(text, sizeof text, format, name);
  return text;
}

// A signed decimal number with optional blanks around it; a number too
// large for 32 bits saturates (it is held to the control's limits anyway).
bool ParseSignedNumber(std::string_view text, int32_t& number) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return false;
  text = text.substr(first, text.find_last_not_of(' ') - first + 1);
  const bool negative = text.front() == '-';
  const std::string_view digits = negative ? text.substr(1) : text;
  if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos) {
    return false;
  }
  int64_t value = 0;
  for (const char digit : digits) {
    value = std::min<int64_t>(value * 10 + (digit - '0'), int64_t{1} << 32);
  }
  if (negative) value = -value;
  number = static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
  return true;
}

// The number of a row that `which` names, for reading or writing.
template <typename Control>
auto& FieldOf(Control& row, RowNumber which) {
  switch (which) {
    case RowNumber::RangeLo:
      return row.RangeLo;
    case RowNumber::RangeHi:
      return row.RangeHi;
    case RowNumber::Value:
      break;
  }
  return row.Value;
}

// A number held to a control's limits (either way round: a damaged table
// must not make the clamp undefined).
int32_t HoldToLimits(int32_t number, const ModuleControl& row) {
  return std::clamp(number, std::min(row.Minimum, row.Maximum), std::max(row.Minimum, row.Maximum));
}

}  // namespace

ModulePage::ModulePage(ConfigSession& session, int moduleIndex)
    : session_(session), index_(moduleIndex) {}

const ModuleDescriptor& ModulePage::module() const { return session_.state().table[index_]; }

std::string ModulePage::TestButtonText() const {
  return WithModuleName("Test %s Settings", kModuleNames[index_]);
}

std::string ModulePage::ResetButtonText() const {
  return WithModuleName("Reset %s Controls", kModuleNames[index_]);
}

std::string ModulePage::GroupText() const {
  return WithModuleName(" Current settings for the %s module: ", kModuleNames[index_]);
}

ModuleControl* ModulePage::Row(int control) {
  if (control < 0 || control >= kControlsPerModule) return nullptr;
  ModuleControl& row = session_.state().table[index_].controls[control];
  return row.Defined ? &row : nullptr;
}

const ModuleControl* ModulePage::Row(int control) const {
  return const_cast<ModulePage*>(this)->Row(control);
}

std::vector<int> ModulePage::Rows() const {
  std::vector<int> rows;
  for (int control = 0; control < kControlsPerModule; ++control) {
    if (Row(control)) rows.push_back(control);
  }
  return rows;
}

std::string ModulePage::Label(int control) const {
  const ModuleControl* row = Row(control);
  return row ? LoadResourceString(row->LabelId) : "";
}

RowVisibility ModulePage::Visibility(int control) const {
  const ModuleControl* row = Row(control);
  if (!row || control / kRowsPerPage != shownPage()) return {};
  const bool set = row->Source == kSourceSet;
  return {true, set, !set};
}

std::vector<const char*> ModulePage::SourceList(int control) const {
  const ModuleControl* row = Row(control);
  return row ? FillSourceList(row->SoundCapable != 0) : std::vector<const char*>{};
}

int32_t ModulePage::Source(int control) const {
  const ModuleControl* row = Row(control);
  return row ? row->Source : kSourceSet;
}

int32_t ModulePage::Sense(int control) const {
  const ModuleControl* row = Row(control);
  return row ? row->Sense : kSenseMaximum;
}

int32_t ModulePage::Number(int control, RowNumber which) const {
  const ModuleControl* row = Row(control);
  return row ? FieldOf(*row, which) : 0;
}

TrackbarSetup ModulePage::Trackbar(int control, RowNumber which) const {
  const ModuleControl* row = Row(control);
  if (!row) return {};
  return {row->Minimum, row->Maximum, TickFrequency(row->Minimum, row->Maximum),
          Number(control, which)};
}

bool ModulePage::HasSecondPage() const {
  const std::vector<int> rows = Rows();
  return !rows.empty() && rows.back() >= kRowsPerPage;
}

int ModulePage::shownPage() const { return module().page == 1 ? 1 : 0; }

std::string ModulePage::PageText() const {
  return "Page " + std::to_string(shownPage() + 1) + " of 2";
}

bool ModulePage::ChangePage(int delta) {
  const int page = shownPage() - delta;
  if (page < 0 || page > 1 || !HasSecondPage()) return false;
  session_.state().table[index_].page = page;
  return true;
}

bool ModulePage::Store(int control, RowNumber which, int32_t number) {
  int32_t& field = FieldOf(*Row(control), which);
  if (field == number) return false;
  field = number;
  session_.SetModified();
  return true;
}

void ModulePage::MoveTrackbar(int control, RowNumber which, int32_t position) {
  const ModuleControl* row = Row(control);
  if (!row) return;
  Store(control, which, HoldToLimits(position, *row));
}

TypedNumber ModulePage::TypeNumber(int control, RowNumber which, std::string_view text) {
  const ModuleControl* row = Row(control);
  if (!row) return {};
  int32_t typed = 0;
  if (!ParseSignedNumber(text, typed)) return {false, false, Number(control, which)};
  const int32_t held = HoldToLimits(typed, *row);
  const bool changed = Store(control, which, held);
  return {true, changed, held};
}

int32_t ModulePage::ChangeSense(int control, int delta) {
  ModuleControl* row = Row(control);
  if (!row) return kSenseMaximum;
  const int64_t sense = std::clamp<int64_t>(int64_t{row->Sense} + delta, kSenseMinimum,
                                            kSenseMaximum);
  if (sense != row->Sense) {
    row->Sense = static_cast<int32_t>(sense);
    session_.SetModified();
  }
  return row->Sense;
}

bool ModulePage::ChooseSource(int control, int32_t source) {
  ModuleControl* row = Row(control);
  if (!row || source < 0 || source >= static_cast<int32_t>(SourceList(control).size())) {
    return false;
  }
  if (row->Source != source) {
    row->Source = source;
    session_.SetModified();
  }
  return true;
}

void ModulePage::Reset() {
  ResetModule(session_.state(), index_);
  session_.SetModified();
}

void ModulePage::TestAll() { session_.TestRun(); }

void ModulePage::TestModule() {
  if (index_ == kRandom) {
    TestAll();
    return;
  }
  auto& active = session_.state().options.Active;
  std::array<int32_t, kModuleCount> before{};
  for (int i = 0; i < kModuleCount; ++i) {
    before[i] = active[i];
    active[i] = i == index_ ? 1 : 0;
  }
  session_.TestRun();
  for (int i = 0; i < kModuleCount; ++i) active[i] = before[i];
}

std::string ModulePage::FileText() const { return module().text; }

bool ModulePage::SetFileText(std::string_view text) {
  if (text.size() > kMaxFileText) {
    session_.dialogs().ShowMessage(
        "Slide Show",
        "The file name is too long: at most " + std::to_string(kMaxFileText) +
            " characters fit. The slide show keeps \"" + FileText() + "\".",
        MessageIcon::kError);
    return false;
  }
  if (text == FileText()) return true;
  char* buffer = session_.state().table[index_].text;
  std::memset(buffer, 0, kModuleTextSize);
  text.copy(buffer, text.size());
  session_.SetModified();
  return true;
}

bool ModulePage::Browse(const std::vector<std::string>& filterExtensions) {
  FileRequest request;
  request.title = "Open Bitmap";
  request.filters = OpenBitmapFilters(filterExtensions);
  request.directory = session_.rememberedDirectory();
  request.fileName = FileText();
  // The slide show takes one name (or mask): one file is chosen.
  const std::vector<std::string> chosen = session_.dialogs().AskOpenFiles(request);
  if (chosen.empty()) return false;
  session_.RememberDirectoryOf(chosen.front());
  return SetFileText(chosen.front());
}

int32_t TickFrequency(int32_t minimum, int32_t maximum) {
  return static_cast<int32_t>((int64_t{maximum} - minimum) / 24 + 1);
}

std::string PictureFormatsText(const std::vector<std::string>& filterExtensions) {
  std::string text = "*.bmp";
  for (const std::string& extension : filterExtensions) {
    text += ", *." + extension.substr(0, 16);
  }
  return text;
}

std::vector<FileFilter> OpenBitmapFilters(const std::vector<std::string>& filterExtensions) {
  std::vector<FileFilter> filters;
  if (!filterExtensions.empty()) {
    std::string patterns = "*.bmp;";
    for (const std::string& extension : filterExtensions) patterns += "*." + extension + ";";
    filters.push_back({"Graphics files", patterns});
  }
  filters.push_back({"Bitmaps (*.bmp,*.dib,*.rle)", "*.BMP;*.DIB;*.RLE"});
  filters.push_back({"Animations (*.1)", "*.1"});
  filters.push_back({"All files (*.*)", "*.*"});
  return filters;
}

}  // namespace lumox
