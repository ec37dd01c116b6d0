#include "control/oscillator_table.h"

namespace lumox {
namespace {

constexpr double kPi = 3.14159265358979323846;

// sin(x) for 0 <= x <= pi/2 by its Taylor series; the terms fall below
// double precision long before the loop ends.
constexpr double SineQuarter(double x) {
  double term = x;
  double sum = x;
  for (int n = 1; n < 30; ++n) {
    term *= -x * x / ((2.0 * n) * (2.0 * n + 1.0));
    sum += term;
  }
  return sum;
}

// 16382 * sin(2*pi*step/2048), rounded to the nearest integer. The step is
// folded into the first quarter on integers, so the zero crossings and the
// symmetry of the table are exact.
constexpr int32_t SineStep(int step) {
  step %= kOscillatorTableSize;
  int sign = 1;
  if (step >= kOscillatorTableSize / 2) {
    step -= kOscillatorTableSize / 2;
    sign = -1;
  }
  if (step > kOscillatorTableSize / 4) step = kOscillatorTableSize / 2 - step;
  const double value = kOscillatorAmplitude * SineQuarter(2.0 * kPi * step / kOscillatorTableSize);
  return sign * static_cast<int32_t>(value + 0.5);
}

constexpr std::array<int32_t, kOscillatorTableSize> MakeOscillatorTable() {
  std::array<int32_t, kOscillatorTableSize> table{};
  for (int k = 0; k < kOscillatorTableSize; ++k) table[k] = SineStep(k + 1);
  return table;
}

constexpr std::array<int32_t, kOscillatorTableSize> kTable = MakeOscillatorTable();

static_assert(kTable[1023] == 0 && kTable[2047] == 0, "zero crossings");
static_assert(kTable[508] == 16381 && kTable[514] == 16381, "peak is five entries wide");
static_assert(kTable[509] == 16382 && kTable[511] == 16382 && kTable[513] == 16382, "peak");
static_assert(kTable[1533] == -16382 && kTable[1535] == -16382 && kTable[1537] == -16382,
              "trough");

}  // namespace

constinit const std::array<int32_t, kOscillatorTableSize> OscillatorTable = kTable;

}  // namespace lumox
