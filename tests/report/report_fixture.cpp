#include "report_fixture.h"

#include <gtest/gtest.h>

#include "display/picture_sizes.h"
#include "qtdraw/qt_canvas.h"
#include "tools/recording_writer.h"

namespace sonalyt::report::testing {

recording::ParameterBlock AngleProbeBlock() {
  recording::ParameterBlock block;
  recording::SetBitField(block, "ProbeType", 1);  // angle probe
  recording::SetBitField(block, "EnvelopeMode", 1);  // envelope on
  block.Range = 2000;                   // 200.0 mm
  block.Velocity = 3240;
  block.ProbeAngle = 450;
  block.ProbeFront = 100;
  block.ProbeFrequency = 250;
  block.CrystalSize = (13 << 8) | 13;
  block.RejectLevel = 20;
  block.BaseGain = 400;
  block.GateAStart = 40;
  block.GateAWidth = 60;
  block.GateALevel = 80;
  return block;
}

std::unique_ptr<LoadedSession> OpenTwoFrameRecording() {
  auto loaded = std::make_unique<LoadedSession>();
  tools::RecordSpec content;
  content.Parameters = AngleProbeBlock();
  for (int f = 0; f < 2; ++f) {
    tools::FrameData frame;
    for (int i = 0; i < recording::kFrameColumns; ++i) {
      frame.Samples[i] = static_cast<std::uint8_t>(f == 0 ? (i % 50) * 3 : 190 - (i % 40));
      frame.Envelope[i] = static_cast<std::uint8_t>(f == 0 ? 150 : 20);
    }
    frame.Reading0 = 1234 + f;
    frame.Reading1 = 987;
    frame.Reading2 = 771;
    frame.Reading3 = 560;
    content.Frames.push_back(frame);
  }
  tools::RecordingWriter writer;
  writer.AddRecord(content);
  std::string error;
  EXPECT_TRUE(loaded->Session.OpenRecording(
      std::make_unique<recording::MemoryByteSource>(writer.Bytes()), &error))
      << error;
  loaded->Session.LoadRecord();
  ++loaded->Session.CurrentRecord;
  qtdraw::QtCanvas wave(display::kWavePicture.Width, display::kWavePicture.Height);
  EXPECT_TRUE(loaded->Session.DrawFrame(0, wave));
  loaded->Session.CurrentFrame = 1;
  return loaded;
}

}  // namespace sonalyt::report::testing
