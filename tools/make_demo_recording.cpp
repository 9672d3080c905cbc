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
#include "tools/recording_writer.h"

namespace {

using sonalyt::recording::ParameterBlock;
using sonalyt::tools::FrameData;
using sonalyt::tools::RecordSpec;

constexpr int kRecords = 120;
constexpr int kFramesPerRecord = 26;
constexpr int kGainChangeRecord = 65;
constexpr int kColumns = 280;

// A small linear congruential generator, so the noise is the same everywhere.
class Noise {
 public:
  std::uint32_t Next() {
    state_ = state_ * 1664525u + 1013904223u;
    return state_ >> 16;
  }
  double Uniform() { return static_cast<double>(Next() & 0xFFFF) / 65535.0; }

 private:
  std::uint32_t state_ = 20261210u;
};

ParameterBlock DemoBlock(int record) {
  ParameterBlock p;
  const int seconds = record;  // one record per second, from 09:30:00
  const int mm = 30 + seconds / 60, ss = seconds % 60;
  auto bcd = [](int v) { return static_cast<std::uint8_t>((v / 10) << 4 | (v % 10)); };
  p.StampBcd = {bcd(9), bcd(mm), bcd(ss)};
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
  p.BaseGain = record >= kGainChangeRecord ? 440 : 400;
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

// GBK bytes of a note, through Qt's codec.
std::vector<std::uint8_t> Gbk(const char* utf8) {
  QStringEncoder encoder("GBK");
  const QByteArray bytes = encoder(QString::fromUtf8(utf8));
  return {bytes.begin(), bytes.end()};
}

double Echo(double column, double centre, double height) {
  const double d = column - centre;
  return height * std::exp(-(d * d) / 9.0) * (0.65 + 0.35 * std::cos(d * 2.1));
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
  Noise noise;
  sonalyt::tools::RecordingWriter writer;
  const double pathPerColumn = 1500.0 / kColumns;  // 0.1 mm per screen column
  const double sinA = std::sin(60.0 * std::numbers::pi / 180.0), cosA = std::cos(60.0 * std::numbers::pi / 180.0);
  const double peakFrame = 50.0 * kFramesPerRecord + 8.0;
  const double spreadFrames = 9.0 * kFramesPerRecord;

  for (int r = 0; r < kRecords; ++r) {
    const ParameterBlock block = DemoBlock(r);
    const auto dac = DacHeights(block);
    const double gain = std::pow(10.0, (block.BaseGain - 400) / 200.0);
    RecordSpec spec;
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
      spec.Frames.push_back(frame);
    }
    if (r % 10 == 0 || r == kGainChangeRecord) {
      spec.Parameters = block;
      const char* note = r == 0 ? "焊缝A 起点" : r == 50 ? "疑似缺陷 2号" : r == 90 ? "复查" : nullptr;
      if (note) spec.NoteUnits = sonalyt::tools::NoteUnits(Gbk(note));
    }
    // The instrument never writes a body larger than its packed buffer.
    const auto body = sonalyt::tools::EncodeRecordBody(sonalyt::tools::DecodedRecord(spec));
    if (body.size() > static_cast<std::size_t>(sonalyt::recording::kPackedBufferBytes)) {
      std::fprintf(stderr, "make_demo_recording: record %d does not fit (%zu bytes)\n", r,
                   body.size());
      return 1;
    }
    writer.AddRecord(spec);
  }
  if (!writer.WriteFile(argv[1])) {
    std::fprintf(stderr, "make_demo_recording: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
