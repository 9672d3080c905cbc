#include "bench/bench_recordings.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <string>

#include "recording/record_format.h"
#include "tools/demo_content.h"
#include "tools/record_encoder.h"

namespace sonalyt::bench {
namespace {

using recording::kFrameColumns;
using recording::ParameterBlock;

using tools::Echo;
using tools::Noise;

constexpr std::int32_t kDefectPeriodRecords = 200;

std::uint8_t ToSample(double v) { return static_cast<std::uint8_t>(std::clamp(v, 0.0, 255.0)); }

tools::FrameData MakeFrame(Noise& noise, const ParameterBlock& block, std::int32_t record,
                           std::int32_t frameInRecord,
                           std::array<std::uint8_t, kFrameColumns>& envelope) {
  const double g = record * kBenchFramesPerRecord + frameInRecord;
  // Position of the probe over the defect, -1 .. 1 across one period.
  const double period = kDefectPeriodRecords * kBenchFramesPerRecord;
  const double t = (std::fmod(g, period) - period / 2) / (period / 8);
  const double defectHeight = 150.0 * std::exp(-t * t);
  const double defectColumn = 128.0 + 5.0 * t;
  const double wallHeight = 70.0 + 12.0 * std::sin(g / 37.0);
  const double gain = std::pow(10.0, (block.BaseGain - 400) / 200.0);

  tools::FrameData frame;
  for (std::int32_t c = 0; c < kFrameColumns; ++c) {
    // The gain scales the echoes; the noise floor is the receiver's own.
    double v = 0;
    if (c < 12) v += 200.0 * std::exp(-c / 3.5);  // initial pulse
    v += Echo(c, 233.0, wallHeight);              // back wall
    v += Echo(c, defectColumn, defectHeight);     // defect
    frame.Samples[c] = ToSample(v * gain + 4.0 + 6.0 * noise.Uniform());
    envelope[c] = std::max(envelope[c], frame.Samples[c]);
  }
  frame.Envelope = envelope;

  std::int32_t peak = block.GateAStart;
  for (std::int32_t c = block.GateAStart; c < block.GateAStart + block.GateAWidth; ++c) {
    if (frame.Samples[c] > frame.Samples[peak]) peak = c;
  }
  const double path = peak * (block.Range / static_cast<double>(kFrameColumns));
  const double angle = block.ProbeAngle / 10.0 * std::numbers::pi / 180.0;
  frame.Reading0 = static_cast<std::int32_t>(std::lround(path));
  frame.Reading1 = static_cast<std::int32_t>(std::lround(path * std::sin(angle)));
  frame.Reading2 = static_cast<std::int32_t>(std::lround(path * std::cos(angle)));
  frame.Reading3 = static_cast<std::int32_t>(
      std::lround(200.0 * std::log10(std::max(1.0, static_cast<double>(frame.Samples[peak])) / 80.0)));
  return frame;
}

std::vector<std::uint16_t> NoteFor(std::int32_t record) {
  const std::string text = "Weld seam mark " + std::to_string(record / kBenchNoteEvery + 1);
  return tools::NoteUnits(
      {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

}  // namespace

ParameterBlock BenchBlock(std::int32_t record) {
  ParameterBlock p = tools::AngleBeamBlock();
  const std::int32_t seconds = record;
  auto bcd = [](std::int32_t v) { return static_cast<std::uint8_t>((v / 10) << 4 | (v % 10)); };
  p.StampBcd = {bcd(8 + seconds / 3600 % 24), bcd(seconds / 60 % 60), bcd(seconds % 60)};
  // The heaviest picture a frame can ask for: six curve lines and gate A
  // along the curve.
  p.ChannelWord = 2u << 12;
  p.DisplayWord |= 1u << 3;
  p.CurveWord = 6u | (2u << 24);
  p.BaseGain = static_cast<std::uint16_t>(record / 600 % 2 == 0 ? 400 : 460);
  p.CurveOffset = {0, -60, -140, -200, -260, -320, -60};
  return p;
}

std::vector<BenchRecord> MakeRecordPool(std::int32_t count) {
  Noise noise(19700101u);
  std::vector<BenchRecord> pool;
  pool.reserve(static_cast<std::size_t>(count));
  for (std::int32_t r = 0; r < count; ++r) {
    const ParameterBlock block = BenchBlock(r);
    tools::RecordSpec contents;
    std::array<std::uint8_t, kFrameColumns> envelope{};
    for (std::int32_t f = 0; f < kBenchFramesPerRecord; ++f) {
      contents.Frames.push_back(MakeFrame(noise, block, r, f, envelope));
    }
    BenchRecord record;
    if (r % kBenchParameterEvery == 0) {
      contents.Parameters = block;
      if (r % kBenchNoteEvery == 0) contents.NoteUnits = NoteFor(r);
      record.ParamLength =
          static_cast<std::int32_t>(tools::ParameterArea(block, contents.NoteUnits).size());
    }
    record.Decoded = tools::DecodedRecord(contents);
    record.Body = tools::EncodeRecordBody(record.Decoded);
    if (record.Body.size() > static_cast<std::size_t>(recording::kPackedBufferBytes) ||
        record.Decoded.size() > static_cast<std::size_t>(recording::kRecordBufferBytes)) {
      std::fprintf(stderr, "bench record %d does not fit: body %zu, decoded %zu bytes\n", r,
                   record.Body.size(), record.Decoded.size());
      std::abort();
    }
    pool.push_back(std::move(record));
  }
  return pool;
}

tools::RecordingWriter RecordingFromPool(const std::vector<BenchRecord>& pool,
                                         std::int32_t records) {
  tools::RecordingWriter writer;
  for (std::int32_t r = 0; r < records; ++r) {
    const BenchRecord& record = pool[static_cast<std::size_t>(r) % pool.size()];
    writer.AddRawRecord(static_cast<std::int32_t>(record.Body.size()), record.ParamLength,
                        record.Body);
  }
  return writer;
}

}  // namespace sonalyt::bench
