#include "saver/saver_state.h"

namespace lumox {

SaverState& Saver() {
  static SaverState state;
  return state;
}

}  // namespace lumox
