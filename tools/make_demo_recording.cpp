// Writes the demo recording: about two minutes of an angle-beam weld scan,
// 120 records of 26 frames, with a defect echo that rises and falls as the
// probe passes over it, a gain change midway and three operator notes.
// Deterministic: the same bytes on every run and machine.
//
//   make_demo_recording OUT.dat

#include <algorithm>
#include <cmath>
#include <numbers>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <QByteArray>
#include <QString>
#include <QStringEncoder>

#include "display/reference_curve.h"
#include "recording/parameter_block.h"
#include "tools/demo_content.h"
#include "tools/recording_writer.h"

namespace {

using sonalyt::recording::ParameterBlock;
using sonalyt::tools::Echo;
using sonalyt::tools::FrameData;
using sonalyt::tools::RecordSpec;

constexpr int kRecords = 120;
constexpr int kFramesPerRecord = 26;
constexpr int kGainChangeRecord = 65;
constexpr int kColumns = 280;

ParameterBlock DemoBlock(int record) {
  ParameterBlock p = sonalyt::tools::AngleBeamBlock();
  const int seconds = record;  // one record per second, from 09:30:00
  const int mm = 30 + seconds / 60, ss = seconds % 60;
  auto bcd = [](int v) { return static_cast<std::uint8_t>((v / 10) << 4 | (v % 10)); };
  p.StampBcd = {bcd(9), bcd(mm), bcd(ss)};
  p.BaseGain = record >= kGainChangeRecord ? 440 : 400;
  return p;
}

// GBK bytes of a note, through Qt's codec.
std::vector<std::uint8_t> Gbk(const char* utf8) {
  QStringEncoder encoder("GBK");
  const QByteArray bytes = encoder(QString::fromUtf8(utf8));
  return {bytes.begin(), bytes.end()};
}

// DAC heights (200 = full picture height) of the block's first curve line.
sonalyt::display::CurveColumns DacHeights(const ParameterBlock& block) {
  sonalyt::display::CurveState curves;
  sonalyt::display::BuildDacCurve(block, curves);
  sonalyt::display::CurveToHeights(block, curves);
  return curves.ReferenceCurve;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_demo_recording OUT.dat\n");
    return 1;
  }
  sonalyt::tools::Noise noise;
  sonalyt::tools::RecordingWriter writer;
  const double pathPerColumn = 1500.0 / kColumns;  // 0.1 mm per screen column
  const double sinA = std::sin(60.0 * std::numbers::pi / 180.0), cosA = std::cos(60.0 * std::numbers::pi / 180.0);
  const double peakFrame = 50.0 * kFramesPerRecord + 8.0;
  const double spreadFrames = 9.0 * kFramesPerRecord;

  for (int r = 0; r < kRecords; ++r) {
    const ParameterBlock block = DemoBlock(r);
    const auto dac = DacHeights(block);
    const double gain = std::pow(10.0, (block.BaseGain - 400) / 200.0);
    RecordSpec content;
    std::array<std::uint8_t, kColumns> envelope{};
    for (int f = 0; f < kFramesPerRecord; ++f) {
      const double g = r * kFramesPerRecord + f;
      const double t = (g - peakFrame) / spreadFrames;
      const double defectHeight = 150.0 * std::exp(-t * t);
      const double defectColumn = 128.0 + 5.0 * t;  // the echo walks as the probe passes
      const double wallHeight = 70.0 + 12.0 * std::sin(g / 37.0);
      FrameData frame;
      for (int c = 0; c < kColumns; ++c) {
        double v = 3.0 + 3.0 * noise.Uniform();  // grass of the amplifier
        if (c < 12) v += 200.0 * std::exp(-c / 3.5);                  // initial pulse
        v += Echo(c, 233.0, wallHeight);                                // back wall
        v += Echo(c, defectColumn, defectHeight);                       // defect
        v *= gain;
        frame.Samples[c] = static_cast<std::uint8_t>(std::clamp(v, 0.0, 255.0));
        envelope[c] = std::max(envelope[c], frame.Samples[c]);
      }
      frame.Envelope = envelope;
      // Readings of the highest echo in gate A.
      int peak = block.GateAStart;
      for (int c = block.GateAStart; c < block.GateAStart + block.GateAWidth; ++c) {
        if (frame.Samples[c] > frame.Samples[peak]) peak = c;
      }
      const double path = peak * pathPerColumn;
      frame.Reading0 = static_cast<std::int32_t>(std::lround(path));
      frame.Reading1 = static_cast<std::int32_t>(std::lround(path * sinA));
      frame.Reading2 = static_cast<std::int32_t>(std::lround(path * cosA));
      const double height = std::max<double>(frame.Samples[peak], 1.0);
      const double reference = std::max<double>(dac[peak], 1.0);
      frame.Reading3 = static_cast<std::int32_t>(std::lround(200.0 * std::log10(height / reference)));
      content.Frames.push_back(frame);
    }
    if (r % 10 == 0 || r == kGainChangeRecord) {
      content.Parameters = block;
      const char* note = r == 0 ? "焊缝A 起点" : r == 50 ? "疑似缺陷 2号" : r == 90 ? "复查" : nullptr;
      if (note) content.NoteUnits = sonalyt::tools::NoteUnits(Gbk(note));
    }
    // The instrument never writes a body larger than its packed buffer.
    const auto body = sonalyt::tools::EncodeRecordBody(sonalyt::tools::DecodedRecord(content));
    if (body.size() > static_cast<std::size_t>(sonalyt::recording::kPackedBufferBytes)) {
      std::fprintf(stderr, "make_demo_recording: record %d does not fit (%zu bytes)\n", r,
                   body.size());
      return 1;
    }
    writer.AddRecord(content);
  }
  if (!writer.WriteFile(argv[1])) {
    std::fprintf(stderr, "make_demo_recording: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
