// Any parameter block and any frame can be shown: odd field values are
// drawn and written as they come, without a fault (the sanitizer build
// checks the arithmetic on the way).

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <random>

#include "display/frame_image.h"
#include "display/readouts.h"
#include "display/recording_canvas.h"
#include "display/report_images.h"
#include "display/settings_panel.h"
#include "recording/parameter_block.h"

namespace sonalyt::display {
namespace {

using recording::FrameReadings;
using recording::ParameterBlock;

void ShowEverything(const ParameterBlock& block, const FrameReadings& readings,
                    const std::array<std::uint8_t, 280>& samples, CurveState& curves) {
  UpdateReadouts(readings, block);
  SettingsTexts texts;
  RangeAxis axis;
  ShowGainFields(block, texts);
  ShowProbeFields(block, texts);
  ShowBasicFields(block, texts, axis);
  EXPECT_FALSE(texts.EchoRange.empty());
  RecordingCanvas range(306, 21);
  DrawRangeScale(range, axis);
  DrawReportRangeScale(range, axis);
  for (const auto& [w, h] : {std::pair{306, 245}, std::pair{289, 257}, std::pair{1, 1}}) {
    RecordingCanvas wave(w, h);
    DrawFrame(wave, samples, readings, block, curves);
    DrawReportWave(wave, samples, readings, block, curves);
    ASSERT_FALSE(wave.Ops().empty());
  }
}

TEST(AnyBlock, ExtremeFieldValues) {
  std::array<std::uint8_t, 218> bytes{};
  std::array<std::uint8_t, 280> samples{};
  FrameReadings readings;
  for (const std::uint8_t fill : {std::uint8_t{0x00}, std::uint8_t{0xFF}, std::uint8_t{0x80},
                                  std::uint8_t{0x7F}}) {
    SCOPED_TRACE(static_cast<int>(fill));
    bytes.fill(fill);
    samples.fill(fill);
    readings.Envelope.fill(fill);
    readings.Reading0 = readings.Reading1 = readings.Reading2 = readings.Reading3 =
        fill == 0x80 ? INT32_MIN : INT32_MAX;
    ParameterBlock block = ParameterBlock::FromBytes(bytes);
    CurveState curves;
    ShowEverything(block, readings, samples, curves);
    // The same with a point count the curve accepts and every curve option on.
    block.DacPointCount = 10;
    block.CurveFlags = 0x1C;
    block.DisplayWord |= 0x18;
    ShowEverything(block, readings, samples, curves);
    block.DisplayWord &= ~0x10u;
    ShowEverything(block, readings, samples, curves);
  }
}

TEST(AnyBlock, RandomBlocksWithAcceptedPointCounts) {
  std::mt19937 random(20240611);
  std::uniform_int_distribution<int> byte(0, 255);
  CurveState curves;
  for (int n = 0; n < 400; ++n) {
    std::array<std::uint8_t, 218> bytes{};
    for (auto& b : bytes) b = static_cast<std::uint8_t>(byte(random));
    ParameterBlock block = ParameterBlock::FromBytes(bytes);
    block.DacPointCount = static_cast<std::int16_t>(1 + n % 10);
    std::array<std::uint8_t, 280> samples{};
    for (auto& s : samples) s = static_cast<std::uint8_t>(byte(random));
    FrameReadings readings;
    readings.Reading3 = static_cast<std::int32_t>(random());
    ShowEverything(block, readings, samples, curves);
  }
}

}  // namespace
}  // namespace sonalyt::display
