// The small recording that the damaged-recordings suites damage, written
// with the project's writer. Frame f of record r carries r * 100 + f in
// Reading0, so every drawing tells which frame it was.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <vector>

#include "recording/parameter_block.h"
#include "recording/record_format.h"
#include "tools/demo_content.h"
#include "tools/recording_writer.h"

namespace sonalyt::damaged {

// Frame f of record r: an echo that moves with f over a ramp, so that every
// frame decodes and draws differently.
inline tools::FrameData MarkedFrame(int r, int f) {
  tools::FrameData frame;
  for (int i = 0; i < recording::kFrameColumns; ++i) {
    const int echo = 60 + 30 * r + 7 * f;
    const int v = (i * 3 + r * 11 + f * 5) % 40 + (std::abs(i - echo) < 6 ? 150 : 0);
    frame.Samples[i] = static_cast<std::uint8_t>(v);
    frame.Envelope[i] = static_cast<std::uint8_t>(v + 20);
  }
  frame.Reading0 = r * 100 + f;
  frame.Reading1 = 250 + f;
  frame.Reading2 = -40 * r;
  frame.Reading3 = 700 - f;
  return frame;
}

// Record r's block: DAC curve on record 0, AVG with near-field rules on
// record 2, the two-gate layout on record 4, so curves and both readout
// layouts are drawn.
inline recording::ParameterBlock BlockFor(int r) {
  recording::ParameterBlock p = tools::AngleBeamBlock();
  recording::SetBitField(p, "Channel", static_cast<std::uint32_t>(r));
  p.CurveFlags = 0;
  p.RejectLevel = 0;
  p.SurfaceCompensation = 0;
  p.ScanGain = 0;
  p.BaseGain = static_cast<std::uint16_t>(400 + r);
  p.DacPointDb = {400, 340, 280};
  p.DacPointPath = {200, 600, 1200};
  if (r == 0) recording::SetBitField(p, "DacCurveOn", 1);
  if (r == 2) {
    recording::SetBitField(p, "AvgCurveOn", 1);
    recording::SetBitField(p, "NearFieldExtension", 1);
  }
  if (r == 4) recording::SetBitField(p, "TwoGateReadout", 1);
  return p;
}

// Five records: 0 (block, note "AB"), 1 (no block), 2 (block, no note),
// 3 (no block, one frame), 4 (block, note "CD").
inline std::vector<tools::RecordSpec> SmallRecording() {
  const int frames[] = {3, 2, 3, 1, 2};
  std::vector<tools::RecordSpec> contents(5);
  for (int r = 0; r < 5; ++r) {
    for (int f = 0; f < frames[r]; ++f) contents[r].Frames.push_back(MarkedFrame(r, f));
    if (r % 2 == 0) contents[r].Parameters = BlockFor(r);
  }
  contents[0].NoteUnits = {'A', 'B'};
  contents[4].NoteUnits = {'C', 'D'};
  return contents;
}

inline std::vector<std::uint8_t> Bytes(const std::vector<tools::RecordSpec>& contents,
                                       std::optional<std::int32_t> count = {}) {
  tools::RecordingWriter writer;
  for (const tools::RecordSpec& content : contents) writer.AddRecord(content);
  if (count) writer.SetRecordCount(*count);
  return writer.Bytes();
}

// Overwrites the 32-bit little-endian field at `at`.
inline void StoreInt32(std::vector<std::uint8_t>& bytes, std::size_t at, std::int32_t value) {
  for (int i = 0; i < 4; ++i) {
    bytes[at + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) >> (8 * i));
  }
}

// Offsets of a record's header and of the end of its body.
struct RecordBounds {
  std::size_t Header = 0;
  std::size_t End = 0;
};

// The records of an undamaged recording, by walking their BodyLength fields.
inline std::vector<RecordBounds> BoundsOf(const std::vector<std::uint8_t>& bytes) {
  std::vector<RecordBounds> bounds;
  std::size_t at = recording::kFirstRecordOffset;
  while (at + recording::kRecordHeaderBytes <= bytes.size()) {
    std::uint32_t body = 0;
    for (int i = 0; i < 4; ++i) body |= std::uint32_t{bytes[at + i]} << (8 * i);
    bounds.push_back({at, at + recording::kRecordHeaderBytes + body});
    at = bounds.back().End;
  }
  return bounds;
}

}  // namespace sonalyt::damaged
