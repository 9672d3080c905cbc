// Writes the seed corpora of the fuzz targets, made with the project's own
// recording writer and record encoder:
//
//   fuzz_make_seeds OUTDIR
//
// creates OUTDIR/record_codec (record bodies and decoded records),
// OUTDIR/recording_file (small whole recordings) and OUTDIR/display
// (218-byte parameter block followed by a 600-byte frame). Deterministic.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "recording/parameter_block.h"
#include "recording/record_format.h"
#include "tools/record_encoder.h"
#include "tools/demo_content.h"
#include "tools/recording_writer.h"

namespace {

using sonalyt::recording::kFrameColumns;
using sonalyt::recording::ParameterBlock;
using sonalyt::tools::EncodeMode;
using sonalyt::tools::FrameData;
using sonalyt::tools::RecordingWriter;
using sonalyt::tools::RecordSpec;

// An echo at column `echo` over low noise, with its envelope and readings.
FrameData EchoFrame(int echo, int height, std::uint32_t seed) {
  FrameData frame;
  for (int i = 0; i < kFrameColumns; ++i) {
    seed = seed * 1664525u + 1013904223u;
    const double d = (i - echo) / 4.0;
    const int v = static_cast<int>(height * std::exp(-d * d)) + static_cast<int>((seed >> 28) & 3);
    frame.Samples[i] = static_cast<std::uint8_t>(v > 255 ? 255 : v);
    frame.Envelope[i] = static_cast<std::uint8_t>(v + 10 > 255 ? 255 : v + 10);
  }
  frame.Reading0 = echo * 5;
  frame.Reading1 = echo * 4;
  frame.Reading2 = echo * 3;
  frame.Reading3 = height * 5;
  return frame;
}

// The angle-beam settings with the curves switched off; the cases below
// switch on what each seed needs.
ParameterBlock BasicBlock() {
  ParameterBlock p = sonalyt::tools::AngleBeamBlock();
  p.CurveWord = 2u << 24;
  p.CurveFlags = 0;
  p.DacPointDb = {400, 340, 280};
  p.DacPointPath = {200, 600, 1200};
  return p;
}

// Blocks that reach the display's different paths.
std::vector<std::pair<std::string, ParameterBlock>> Blocks() {
  std::vector<std::pair<std::string, ParameterBlock>> blocks;
  ParameterBlock p = BasicBlock();
  blocks.emplace_back("plain", p);

  p = BasicBlock();
  p.CurveFlags = 1u << 2;  // DAC curve
  p.CurveWord |= 3u | (2u << 28);
  blocks.emplace_back("dac", p);

  p.DisplayWord |= (1u << 3) | (1u << 4);  // gate follows a flat curve
  blocks.emplace_back("dac_flat_gate_follows", p);

  p = BasicBlock();
  p.CurveFlags = (1u << 3) | (1u << 4);  // AVG with near-field rules
  p.CurveWord |= 6u | (1u << 26) | (1u << 24);
  p.UnitWord = 1u << 6;                  // inches
  blocks.emplace_back("avg_near_field_inch", p);

  p = BasicBlock();
  p.CurveWord |= 1u << 4;                 // two-gate readout
  p.DisplayWord |= 3u << 28;              // RF
  p.DisplayWord |= 2u << 12;              // dual element
  p.CrystalSize = 0x0A00;                 // circular
  blocks.emplace_back("two_gate_rf", p);

  p = BasicBlock();
  p.CurveFlags = 1u << 2;
  p.DacPointCount = 10;
  for (int i = 0; i < 10; ++i) {
    p.DacPointDb[i] = static_cast<std::uint16_t>(500 - 30 * i);
    p.DacPointPath[i] = static_cast<std::uint16_t>(100 + 140 * i);
  }
  p.Delay = 2000;
  blocks.emplace_back("dac_ten_points_delay", p);
  return blocks;
}

bool WriteBytes(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

RecordSpec Record(int frames, int echo, std::uint32_t seed) {
  RecordSpec content;
  for (int f = 0; f < frames; ++f) content.Frames.push_back(EchoFrame(echo + f, 120 + 3 * f, seed + f));
  return content;
}

struct Recording {
  std::string name;
  RecordingWriter writer;
  std::vector<std::vector<std::uint8_t>> decoded;  // decoded records, for the codec corpus
};

void Add(Recording& r, const RecordSpec& content, EncodeMode mode = EncodeMode::LongestMatch) {
  r.writer.AddRecord(content, mode);
  r.decoded.push_back(sonalyt::tools::DecodedRecord(content));
}

std::vector<Recording> Recordings() {
  const auto blocks = Blocks();
  std::vector<Recording> recordings;

  {  // Notes, records with and without a parameter area.
    Recording r;
    r.name = "notes";
    RecordSpec a = Record(4, 60, 1);
    a.Parameters = blocks[0].second;
    a.NoteUnits = {'W', 'e', 'l', 'd', ' ', 'A'};
    Add(r, a);
    Add(r, Record(4, 80, 2));
    RecordSpec c = Record(3, 100, 3);
    c.Parameters = blocks[1].second;
    c.NoteUnits = {0x1001, 0x1002, '2'};  // two GB 2312 characters, then '2'
    Add(r, c);
    Add(r, Record(2, 120, 4));
    recordings.push_back(std::move(r));
  }
  for (std::size_t b = 1; b < blocks.size(); ++b) {  // one full-size record per block
    Recording r;
    r.name = "block_" + blocks[b].first;
    RecordSpec a = Record(26, 90, 10u + static_cast<std::uint32_t>(b));
    a.Parameters = blocks[b].second;
    Add(r, a);
    Add(r, Record(11, 140, 20u + static_cast<std::uint32_t>(b)));
    recordings.push_back(std::move(r));
  }
  {  // Spelled with single-byte codes: long bodies across generations.
    Recording r;
    r.name = "single_byte_codes";
    RecordSpec a = Record(6, 50, 30);
    a.Parameters = blocks[0].second;
    Add(r, a, EncodeMode::SingleByteCodes);
    Add(r, Record(3, 70, 31), EncodeMode::SingleByteCodes);
    recordings.push_back(std::move(r));
  }
  {  // A count above the records held, as a cut-short recording has.
    Recording r;
    r.name = "count_beyond_records";
    RecordSpec a = Record(3, 60, 40);
    a.Parameters = blocks[2].second;
    Add(r, a);
    Add(r, Record(3, 70, 41));
    r.writer.SetRecordCount(9);
    recordings.push_back(std::move(r));
  }
  {  // More records than the count: one beyond it is indexed.
    Recording r;
    r.name = "records_beyond_count";
    for (int i = 0; i < 4; ++i) {
      RecordSpec a = Record(2, 40 + 10 * i, 50u + static_cast<std::uint32_t>(i));
      if (i % 2 == 0) a.Parameters = blocks[static_cast<std::size_t>(i)].second;
      Add(r, a);
    }
    r.writer.SetRecordCount(2);
    recordings.push_back(std::move(r));
  }
  return recordings;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTDIR\n", argv[0]);
    return 2;
  }
  namespace fs = std::filesystem;
  const fs::path out = argv[1];
  const fs::path codec = out / "record_codec", file = out / "recording_file", display = out / "display";
  for (const fs::path& dir : {codec, file, display}) fs::create_directories(dir);
  bool ok = true;

  for (const auto& [name, block] : Blocks()) {
    for (int f = 0; f < 2; ++f) {
      const auto blockBytes = block.ToBytes();
      std::vector<std::uint8_t> bytes(blockBytes.begin(), blockBytes.end());
      const auto frame = sonalyt::tools::FrameBytes(EchoFrame(90 + 60 * f, 150 + 40 * f, 7u + f));
      bytes.insert(bytes.end(), frame.begin(), frame.end());
      ok &= WriteBytes(display / (name + "_" + std::to_string(f)), bytes);
    }
  }

  // The worked bodies of the format: "ab", "abab" two ways, "aaaaaa".
  const std::vector<std::vector<std::uint8_t>> worked = {
      {0x30, 0x98, 0x80}, {0x30, 0x98, 0xA0, 0x40}, {0x30, 0x98, 0x8C, 0x26, 0x20},
      {0x30, 0xC0, 0xA0, 0x60}};
  for (std::size_t i = 0; i < worked.size(); ++i) {
    ok &= WriteBytes(codec / ("worked_" + std::to_string(i)), worked[i]);
  }
  for (const Recording& r : Recordings()) {
    ok &= WriteBytes(file / (r.name + ".dat"), r.writer.Bytes());
    for (std::size_t i = 0; i < r.decoded.size(); ++i) {
      const std::string stem = r.name + "_" + std::to_string(i);
      ok &= WriteBytes(codec / (stem + ".record"), r.decoded[i]);
      ok &= WriteBytes(codec / (stem + ".body"), sonalyt::tools::EncodeRecordBody(r.decoded[i]));
    }
  }
  if (!ok) {
    std::fprintf(stderr, "%s: cannot write the seeds under %s\n", argv[0], out.c_str());
    return 1;
  }
  return 0;
}
