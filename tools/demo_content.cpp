#include "tools/demo_content.h"

#include <cmath>

namespace sonalyt::tools {

recording::ParameterBlock AngleBeamBlock() {
  recording::ParameterBlock p;
  p.ChannelWord = 1u << 12;                  // channel 1
  p.UnitWord = 0;                            // millimetres
  p.DisplayWord = 1u                         // envelope on
                  | (1u << 12);              // angle-beam probe
  p.CurveWord = 3u                           // three curve lines
                | (2u << 24);                // range along the sound path
  p.CurveFlags = 1u << 2;                    // DAC curve on
  p.Range = 1500;                            // 150.0 mm
  p.Delay = 0;
  p.ProbeZero = 160;                         // 1.00 us
  p.Velocity = 3230;                         // m/s, shear waves in steel
  p.ProbeAngle = 600;                        // 60.0 degrees
  p.ProbeFront = 120;                        // 12.0 mm
  p.ProbeFrequency = 250;                    // 2.50 MHz
  p.CrystalSize = 0x0D0D;                    // 13 x 13 mm
  p.RejectLevel = 10;                        // 5 %
  p.SurfaceCompensation = 40;                // 4.0 dB
  p.BaseGain = 400;                          // 40.0 dB
  p.ScanGain = 20;
  p.CurveOffset = {0, -60, -140, 0, 0, 0, -60};
  p.GateAStart = 100;
  p.GateAWidth = 60;
  p.GateALevel = 80;                         // 40 %
  p.GateBStart = 215;
  p.GateBWidth = 40;
  p.GateBLevel = 50;
  p.DacPointCount = 3;
  p.DacPointPath = {300, 600, 900};          // 30, 60, 90 mm
  p.DacPointDb = {440, 500, 560};
  p.RefHoleDiameter = 30;                    // 3 mm side-drilled hole
  p.RefHoleLength = 400;                     // 40 mm long
  return p;
}

double Echo(double column, double centre, double height) {
  const double d = column - centre;
  return height * std::exp(-(d * d) / 9.0) * (0.65 + 0.35 * std::cos(d * 2.1));
}

}  // namespace sonalyt::tools
