#include "image/image_files.h"

#include <atomic>
#include <cstdlib>
#include <vector>

#include "base/random.h"
#include "image/bmp_decoder.h"
#include "platform/file_search.h"
#include "platform/name_order.h"

namespace lumox {
namespace {

// Only the slide show's one loader thread moves it; atomic so that a test
// or a second reader never sees a torn value.
std::atomic<int32_t> imagePosition{0};

std::vector<std::string> MatchingFiles(const FileMask& mask) {
  return FindFiles(mask.directory.empty() ? "." : mask.directory, mask.pattern);
}

bool EndsWithBmpFamily(const std::string& path) {
  if (path.size() < 4) return false;
  std::string tail = path.substr(path.size() - 4);
  for (char& c : tail) c = static_cast<char>(FoldNameChar(c));
  return tail == ".BMP" || tail == ".DIB" || tail == ".RLE";
}

}  // namespace

FileMask SplitFileMask(const std::string& mask) {
  std::string full = mask;
  if (full.size() >= 2 && full[0] == '~' && (full[1] == '/' || full[1] == '\\')) {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
      full = std::string(home) + full.substr(1);
    }
  }
  const size_t slash = full.find_last_of("/\\");
  if (slash == std::string::npos) {
    // "C:photo.bmp": the drive is the folder part.
    if (full.size() >= 2 && full[1] == ':') return {full.substr(0, 2), full.substr(2)};
    return {"", full};
  }
  return {full.substr(0, slash + 1), full.substr(slash + 1)};
}

int32_t CountMatchingFiles(const std::string& mask) {
  return static_cast<int32_t>(MatchingFiles(SplitFileMask(mask)).size());
}

int32_t ImagePosition() { return imagePosition.load(std::memory_order_relaxed); }
void SetImagePosition(int32_t position) { imagePosition.store(position, std::memory_order_relaxed); }

std::string ChooseImageFile(const std::string& mask, bool randomOrder) {
  const FileMask split = SplitFileMask(mask);
  const std::vector<std::string> files = MatchingFiles(split);
  if (files.empty()) return "";
  const int32_t n = static_cast<int32_t>(files.size());
  // A position from an earlier, longer list may be past this one's end.
  const int32_t previous = ImagePosition();
  const int32_t position = randomOrder ? Rand() % n : (previous % n + n + 1) % n;
  SetImagePosition(position);
  return split.directory + files[position];
}

bool LoadPicture(const std::string& path, DibPicture& picture, std::string& error) {
  // Only the extension is compared without regard to case: on Linux the
  // path itself must keep its case to be found.
  if (EndsWithBmpFamily(path)) return ReadBmpFile(path, picture, error);
  return CurrentPictureImporter().Import(path, picture, error);
}

bool LoadImageFromMask(const std::string& mask, bool randomOrder, DibPicture& picture,
                       std::string& error) {
  const std::string path = ChooseImageFile(mask, randomOrder);
  if (path.empty()) {
    error = "no file matches " + mask;
    return false;
  }
  return LoadPicture(path, picture, error);
}

}  // namespace lumox
