// Choosing a picture file out of those a mask matches, and loading it.
//
// A mask is a folder followed by a file name that may hold '*' and '?'
// ("~/Pictures/*.jpg", "C:\Pictures\photo??.bmp", "holiday.png"); both
// slashes separate folders, a leading "~/" is the home folder, and names
// match without regard to case. ".bmp", ".dib" and ".rle" files are read
// by our own decoder, every other file by the platform's importer.
#pragma once

#include <cstdint>
#include <string>

#include "platform/picture_import.h"

namespace lumox {

struct FileMask {
  std::string directory;  // with its trailing separator; empty: the current folder
  std::string pattern;    // the file-name part
};
FileMask SplitFileMask(const std::string& mask);

// How many plain files the mask matches.
int32_t CountMatchingFiles(const std::string& mask);

// The position of the file chosen last (process-wide, starts at 0).
int32_t ImagePosition();
void SetImagePosition(int32_t position);

// Advances the position (to the next file, or a random one) and returns the
// path of the file there, or "" when the mask matches nothing.
std::string ChooseImageFile(const std::string& mask, bool randomOrder);

// Reads one picture file by its extension; false with a message.
bool LoadPicture(const std::string& path, DibPicture& picture, std::string& error);

// ChooseImageFile, then LoadPicture. A failed load has already advanced
// the position, so the next call tries the next file.
bool LoadImageFromMask(const std::string& mask, bool randomOrder, DibPicture& picture,
                       std::string& error);

}  // namespace lumox
