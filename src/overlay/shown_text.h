// Texts the overlays show come from outside the saver (the sound player's
// block, the registry) and are not trusted: a text may lack its terminating
// zero, run past its field or carry control bytes. ShownText copies such a
// text into a fixed buffer the box painter can use as it is.
#pragma once

#include <cstddef>

namespace lumox {

// Copies at most sourceSize bytes of `source` into `destination` (of
// destinationSize bytes, at least 1) and returns the copied length. The copy
// stops at the first zero byte or control character (below 0x20, and 0x7F),
// and at destinationSize - 1 characters; it is always zero-terminated. So a
// text shows as one line, cut where it stops being printable.
size_t ShownText(char* destination, size_t destinationSize, const char* source, size_t sourceSize);

}  // namespace lumox
