// The four readout texts above the A-scan picture, in the one-gate or the
// two-gate layout.
#pragma once

#include <iosfwd>
#include <string>

#include "recording/parameter_block.h"
#include "recording/record_layout.h"

namespace sonalyt::display {

// UTF-8 captions of LabelPara1..LabelPara4.
struct ReadoutTexts {
  std::string LabelPara1;
  std::string LabelPara2;
  std::string LabelPara3;
  std::string LabelPara4;
  bool operator==(const ReadoutTexts&) const = default;
};
void PrintTo(const ReadoutTexts& texts, std::ostream* os);

// The bare symbols shown before the first frame is drawn.
ReadoutTexts InitialReadouts();

// 1..7 with DacCurveOn, 10..13 with AvgCurveOn only, else -1.
int EvaluationCode(const recording::ParameterBlock& block);

ReadoutTexts UpdateReadouts(const recording::FrameReadings& readings,
                            const recording::ParameterBlock& block);

}  // namespace sonalyt::display
