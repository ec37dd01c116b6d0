// What a caught exception says, for the debug log. The saver's threads and
// its window catch everything at their outer edge; a standard exception
// carries a message worth logging, anything else does not.
#pragma once

#include <exception>
#include <string>

namespace lumox {

// ": " and the message of the exception being handled when it is a
// standard one, nothing otherwise. Call only inside a catch block.
inline std::string CaughtFailureDetail() {
  try {
    throw;
  } catch (const std::exception& error) {
    return std::string(": ") + error.what();
  } catch (...) {
    return {};
  }
}

}  // namespace lumox
