// The display layer from an arbitrary parameter block and frame: the input's
// first 218 bytes are the block, the next 600 the frame (missing bytes are
// zero). Settings texts, range axis, readouts, the reference curves, the
// frame picture at the screen's and at odd sizes, the scales and the report
// pictures; the block is applied twice in a row so the curve state the first
// drawing left behind is drawn on again, as consecutive frames do.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <utility>

#include "display/frame_image.h"
#include "display/readouts.h"
#include "display/recording_canvas.h"
#include "display/reference_curve.h"
#include "display/report_images.h"
#include "display/settings_panel.h"
#include "recording/parameter_block.h"
#include "recording/record_format.h"
#include "recording/record_layout.h"
#include "tests/damaged/session_walk.h"

namespace {

using namespace sonalyt;
using recording::kFrameBytes;
using recording::kParameterBlockBytes;

[[noreturn]] void Fail(const char* what, const std::string& detail = {}) {
  std::fprintf(stderr, "fuzz_display: %s %s\n", what, detail.c_str());
  std::abort();
}

bool IsUtf8(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto b = static_cast<unsigned char>(text[i]);
    std::size_t extra = 0;
    if (b < 0x80) extra = 0;
    else if ((b & 0xE0) == 0xC0 && b >= 0xC2) extra = 1;
    else if ((b & 0xF0) == 0xE0) extra = 2;
    else if ((b & 0xF8) == 0xF0 && b <= 0xF4) extra = 3;
    else return false;
    if (i + extra >= text.size()) return false;
    for (std::size_t k = 1; k <= extra; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    }
    i += extra + 1;
  }
  return true;
}

void CheckTexts(const display::SettingsTexts& s, const display::ReadoutTexts& r) {
  for (const std::string* t :
       {&s.BaseGain, &s.ScanGain, &s.CompGain, &s.ProbeType, &s.ProbeFrequency, &s.CrystalSize,
        &s.EchoRange, &s.EchoDelay, &s.ProbeFront, &s.EchoSpeed, &s.ProbeZero, &s.ProbeAngle,
        &s.ChannelNo, &s.EchoKAngle, &s.lblReject, &r.LabelPara1, &r.LabelPara2, &r.LabelPara3,
        &r.LabelPara4}) {
    if (!IsUtf8(*t)) Fail("text is not UTF-8:", *t);
    // A number in "%.1f" has at most 309 digits before the point, and a
    // label holds at most three numbers and a few symbols.
    if (t->size() > 1024) Fail("text runs away:", *t);
  }
}

void CheckCanvas(const display::RecordingCanvas& canvas) {
  // A frame is a few hundred operations; far more means a loop ran away.
  if (canvas.Ops().size() > 20000) Fail("drawing does not end");
  for (const auto& op : canvas.Ops()) {
    if (op.kind == display::DrawOp::Kind::TextOut && !IsUtf8(op.text)) Fail("text drawn is not UTF-8");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::array<std::uint8_t, kParameterBlockBytes + kFrameBytes> bytes{};
  std::copy_n(data, std::min(size, bytes.size()), bytes.begin());
  const std::span<const std::uint8_t, kParameterBlockBytes> blockBytes(bytes.data(),
                                                                       kParameterBlockBytes);
  const std::span<const std::uint8_t, kFrameBytes> frame(bytes.data() + kParameterBlockBytes,
                                                         kFrameBytes);

  const recording::ParameterBlock block = recording::ParameterBlock::FromBytes(blockBytes);
  if (!std::equal(blockBytes.begin(), blockBytes.end(), block.ToBytes().begin())) {
    Fail("the block written back differs from the block read");
  }

  display::SettingsTexts settings;
  display::RangeAxis axis;
  display::ShowGainFields(block, settings);
  display::ShowProbeFields(block, settings);
  display::ShowBasicFields(block, settings, axis);
  display::EvaluationCode(block);

  const recording::FrameReadings readings = recording::ReadFrameReadings(frame);
  const display::ReadoutTexts readouts = display::UpdateReadouts(readings, block);
  CheckTexts(settings, readouts);

  const display::Samples samples = frame.first<recording::kFrameColumns>();
  display::CurveState curves;
  using damaged::kWaveHeight;
  using damaged::kWaveWidth;
  for (const auto& [w, h] : {std::pair{kWaveWidth, kWaveHeight}, std::pair{kWaveWidth, kWaveHeight},
                             std::pair{560, 400}, std::pair{1, 1}}) {
    display::RecordingCanvas wave(w, h);
    display::DrawFrame(wave, samples, readings, block, curves);
    CheckCanvas(wave);
  }

  display::RecordingCanvas amplitude(30, kWaveHeight);
  display::DrawAmplitudeScale(amplitude, kWaveHeight);
  display::RecordingCanvas range(kWaveWidth, 20);
  display::DrawRangeScale(range, axis);
  CheckCanvas(range);

  display::RecordingCanvas reportLeft(damaged::kReportScaleWidth, damaged::kReportWaveHeight + 24);
  display::RecordingCanvas reportWave(damaged::kReportWaveWidth, damaged::kReportWaveHeight);
  display::RecordingCanvas reportRange(damaged::kReportWaveWidth, damaged::kReportRangeHeight);
  display::DrawReportAmplitudeScale(reportLeft, damaged::kReportWaveHeight);
  display::DrawReportRangeScale(reportRange, axis);
  display::DrawReportWave(reportWave, samples, readings, block, curves);
  CheckCanvas(reportRange);
  CheckCanvas(reportWave);
  return 0;
}
