// Recordings for the analysis tests: every kind of record the pass meets
// (with and without parameters, RF, gate along the curve, a parameter area
// too short for a block, no frames, a corrupt body), built with the
// project's encoder and recording writer.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "recording/parameter_block.h"
#include "recording/recording_file.h"
#include "tools/record_encoder.h"
#include "tools/recording_writer.h"

namespace sonalyt::analysis::testing_data {

// A file name in the test temporary folder that belongs to the running test
// alone: CTest runs each test in a process of its own, side by side, so no
// two tests may share a file.
inline std::string TestTempPath(const std::string& name) {
  std::string prefix;
  if (const auto* info = ::testing::UnitTest::GetInstance()->current_test_info()) {
    prefix = std::string(info->test_suite_name()) + "_" + info->name() + "_";
    for (char& c : prefix) {
      if (c == '/') c = '_';
    }
  }
  return ::testing::TempDir() + prefix + name;
}


inline recording::ParameterBlock GateBlock(std::uint32_t displayWord, std::uint16_t aLevel) {
  recording::ParameterBlock block;
  block.Range = 2000;
  block.Velocity = 3230;
  block.DisplayWord = displayWord;
  block.GateAStart = 90;
  block.GateAWidth = 60;
  block.GateALevel = aLevel;
  block.GateBStart = 230;
  block.GateBWidth = 40;
  block.GateBLevel = 70;
  return block;
}

// DAC curve on, gate A along it.
inline recording::ParameterBlock CurveGateBlock() {
  recording::ParameterBlock block = GateBlock(1u << 3, 150);
  block.CurveFlags = 1u << 2;
  block.DacPointCount = 3;
  block.DacPointPath = {500, 1000, 1500};
  block.DacPointDb = {400, 460, 520};
  block.BaseGain = 400;
  block.CurveOffset[6] = -60;
  return block;
}

// A noisy trace with an echo in gate A whose height follows seed, and a
// back-wall echo in gate B that is missing for some seeds.
inline tools::FrameData VariedFrame(std::uint32_t seed, bool rf) {
  tools::FrameData frame;
  std::uint32_t state = seed * 2654435761u + 17;
  const int echoColumn = 90 + static_cast<int>(seed % 60);
  const int echoHeight = static_cast<int>((seed * 37) % 230);
  const bool backWall = seed % 7 != 0;
  for (int c = 0; c < 280; ++c) {
    state = state * 1664525u + 1013904223u;
    int v = static_cast<int>(state >> 30);
    if (std::abs(c - echoColumn) < 3) v = echoHeight - 20 * std::abs(c - echoColumn);
    if (backWall && c >= 240 && c < 246) v = 120;
    v = std::clamp(v, 0, 255);
    if (rf) v = std::clamp(100 + ((c % 2) ? v / 2 : -v / 2), 0, 255);
    frame.Samples[static_cast<std::size_t>(c)] = static_cast<std::uint8_t>(v);
    frame.Envelope[static_cast<std::size_t>(c)] = static_cast<std::uint8_t>(v / 2);
  }
  frame.Reading0 = static_cast<std::int32_t>(seed);
  frame.Reading1 = -static_cast<std::int32_t>(seed * 3);
  frame.Reading2 = echoHeight;
  frame.Reading3 = echoColumn;
  return frame;
}

// Record r of the varied recording, in a pattern of ten.
inline void AddVariedRecord(tools::RecordingWriter& writer, int r) {
  const auto seed = static_cast<std::uint32_t>(r * 31);
  const int kind = r % 10;
  const bool rf = kind == 5;
  tools::RecordSpec content;
  const int frames[] = {5, 11, 11, 4, 6, 8, 0, 0, 3, 9};
  for (int f = 0; f < frames[kind]; ++f) {
    content.Frames.push_back(VariedFrame(seed + static_cast<std::uint32_t>(f), rf));
  }
  switch (kind) {
    case 1:
      content.Parameters = GateBlock(0, static_cast<std::uint16_t>(80 + r % 50));
      break;
    case 3: {
      // A parameter area of 100 bytes: too short for a block.
      auto decoded = tools::DecodedRecord(content);
      decoded.resize(decoded.size() + 100, 0x5A);
      const auto body = tools::EncodeRecordBody(decoded);
      writer.AddRawRecord(static_cast<std::int32_t>(body.size()), 100, body);
      return;
    }
    case 5:
      content.Parameters = GateBlock(3u << 28, 120);
      content.NoteUnits = {0x41, 0x42};
      break;
    case 6: {
      // Fewer decoded bytes than one frame.
      const std::vector<std::uint8_t> decoded(300, 7);
      const auto body = tools::EncodeRecordBody(decoded);
      writer.AddRawRecord(static_cast<std::int32_t>(body.size()), 0, body);
      return;
    }
    case 7: {
      // Three frames whose body turns corrupt after the first 1500 bytes:
      // the load shows the two whole frames before the fault.
      for (int f = 0; f < 3; ++f) content.Frames.push_back(VariedFrame(seed + 100 + static_cast<std::uint32_t>(f), false));
      const auto decoded = tools::DecodedRecord(content);
      std::vector<std::uint16_t> codes = tools::EncodeCodes(
          std::span(decoded).first(1500), tools::EncodeMode::SingleByteCodes);
      codes.push_back(257);
      codes.push_back(65);
      const auto body = tools::PackCodes(codes);
      writer.AddRawRecord(static_cast<std::int32_t>(body.size()), 0, body);
      return;
    }
    case 8:
      content.Parameters = CurveGateBlock();
      break;
    default:
      break;
  }
  writer.AddRecord(content);
}

inline std::string WriteVariedRecording(const std::string& name, int records) {
  tools::RecordingWriter writer;
  for (int r = 0; r < records; ++r) AddVariedRecord(writer, r);
  const std::string path = TestTempPath(name);
  EXPECT_TRUE(writer.WriteFile(path));
  // Every body fits the packed buffer, so every record is indexed.
  recording::RecordingFile file;
  EXPECT_TRUE(file.OpenRecording(path));
  EXPECT_EQ(file.RecordIndex().size(), static_cast<std::size_t>(records));
  return path;
}

}  // namespace sonalyt::analysis::testing_data

namespace sonalyt::analysis::testing_data {

// The first `pattern` varied records repeated `repeats` times: a long
// recording without encoding every record again.
inline std::string WriteRepeatedRecording(const std::string& name, int pattern, int repeats) {
  tools::RecordingWriter writer;
  for (int r = 0; r < pattern; ++r) AddVariedRecord(writer, r);
  const std::vector<std::uint8_t> once = writer.Bytes();
  std::vector<std::uint8_t> bytes(once.begin(), once.begin() + 4);
  for (int i = 0; i < repeats; ++i) bytes.insert(bytes.end(), once.begin() + 4, once.end());
  const auto count = static_cast<std::uint32_t>(pattern * repeats);
  for (int i = 0; i < 4; ++i) bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(count >> (8 * i));
  const std::string path = TestTempPath(name);
  std::FILE* file = std::fopen(path.c_str(), "wb");
  EXPECT_NE(file, nullptr);
  if (file) {
    EXPECT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
    std::fclose(file);
  }
  return path;
}

}  // namespace sonalyt::analysis::testing_data
