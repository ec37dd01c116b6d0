#include "palette/live_parameter.h"

#include "base/truncate.h"
#include "control/controls.h"
#include "state/module_control.h"

namespace lumox {

bool IsLiveParameterSource(int32_t source) {
  return source >= kSourceOscillate && source <= kSourceLastBand;
}

int32_t EvaluateParameter(PaletteValue& parameter, int32_t source) {
  float state = parameter.Smoothed;
  const float result = EvaluateControl(source, state,
                                       static_cast<float>(parameter.Sense.load()),
                                       static_cast<float>(parameter.RangeLo.load()),
                                       static_cast<float>(parameter.RangeHi.load()));
  parameter.Smoothed = state;
  return TruncateToInt(result);
}

int32_t UpdateParameter(PaletteValue& parameter) {
  const int32_t source = parameter.Source;
  if (!IsLiveParameterSource(source)) return parameter.Value;
  const int32_t value = EvaluateParameter(parameter, source);
  parameter.Value = value;
  return value;
}

int32_t PeekParameter(PaletteValue& parameter) {
  const int32_t source = parameter.Source;
  if (!IsLiveParameterSource(source)) return parameter.Value;
  return EvaluateParameter(parameter, source);
}

}  // namespace lumox
