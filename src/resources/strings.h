// The string table: the saver's description (1) and the control labels
// (10 onwards). The same entries build the Windows string resources.
#pragma once

namespace lumox {

constexpr int kStringDescription = 1;  // "QR Lumoxic"

// The text of a string resource, or "" when there is none.
const char* LoadResourceString(int id);

}  // namespace lumox
