#include "state/saver_state.h"

namespace lumox {

SaverState& Saver() {
  // Never destroyed: a drawing thread that had to be abandoned at the end
  // of a run may still read it while the process exits.
  static SaverState* state = new SaverState;
  return *state;
}

}  // namespace lumox
