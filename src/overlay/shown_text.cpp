#include "overlay/shown_text.h"

namespace lumox {

size_t ShownText(char* destination, size_t destinationSize, const char* source, size_t sourceSize) {
  if (destinationSize == 0) return 0;
  size_t length = 0;
  while (length < sourceSize && length + 1 < destinationSize) {
    const unsigned char c = static_cast<unsigned char>(source[length]);
    if (c < 0x20 || c == 0x7F) break;
    destination[length++] = static_cast<char>(c);
  }
  destination[length] = '\0';
  return length;
}

}  // namespace lumox
