// Realistic recording content shared by the demo generator, the benchmarks,
// the fuzz seeds and the damaged-recordings tests: the settings of an
// angle-beam weld inspection and the pieces of a plausible A-scan.
#pragma once

#include <cstdint>

#include "recording/parameter_block.h"

namespace sonalyt::tools {

// A 60 degree, 2.5 MHz, 13 x 13 mm angle-beam probe on steel (3230 m/s):
// 150 mm sound path, envelope on, a three-point DAC curve switched on with
// three curve lines, gate A over the weld and gate B at the far side.
recording::ParameterBlock AngleBeamBlock();

// A small linear congruential generator, so noise is the same on every
// machine and run.
class Noise {
 public:
  explicit Noise(std::uint32_t seed = 20261210u) : state_(seed) {}
  std::uint32_t Next() {
    state_ = state_ * 1664525u + 1013904223u;
    return state_ >> 16;
  }
  // Uniform in [0, 1].
  double Uniform() { return static_cast<double>(Next() & 0xFFFF) / 65535.0; }

 private:
  std::uint32_t state_;
};

// A rectified echo of the given peak height (200 = full picture height)
// centred on a screen column: its value at `column`.
double Echo(double column, double centre, double height);

}  // namespace sonalyt::tools
