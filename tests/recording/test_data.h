// Shared test data: hex bodies, varied frames and parameter blocks.
#pragma once

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "recording/parameter_block.h"
#include "tools/recording_writer.h"

namespace sonalyt::testing_data {

// "30 98 80" -> {0x30, 0x98, 0x80}
inline std::vector<std::uint8_t> Hex(const std::string& text) {
  std::vector<std::uint8_t> bytes;
  std::istringstream in(text);
  unsigned value = 0;
  while (in >> std::hex >> value) bytes.push_back(static_cast<std::uint8_t>(value));
  return bytes;
}

inline std::vector<std::uint8_t> Bytes(const std::string& text) {
  return {text.begin(), text.end()};
}

// Deterministic bytes from a small alphabet with repeats, so the encoder
// finds matches of many lengths.
inline std::vector<std::uint8_t> VariedBytes(std::size_t count, std::uint32_t seed) {
  std::vector<std::uint8_t> bytes;
  bytes.reserve(count);
  std::uint32_t state = seed * 2654435761u + 1;
  while (bytes.size() < count) {
    state = state * 1664525u + 1013904223u;
    const auto value = static_cast<std::uint8_t>((state >> 24) % 23 + 'A');
    const std::size_t run = (state >> 8) % 4 + 1;
    for (std::size_t i = 0; i < run && bytes.size() < count; ++i) bytes.push_back(value);
  }
  return bytes;
}

// An A-scan-like frame: a noisy baseline with one echo that moves with seed.
inline tools::FrameData MakeFrame(std::uint32_t seed) {
  tools::FrameData frame;
  std::uint32_t state = seed + 7;
  for (std::size_t i = 0; i < frame.Samples.size(); ++i) {
    state = state * 1103515245u + 12345u;
    const bool echo = (i + seed * 3) % 280 < 12;
    frame.Samples[i] = static_cast<std::uint8_t>(echo ? 150 + (state >> 28) : (state >> 29));
    frame.Envelope[i] = static_cast<std::uint8_t>(echo ? 180 : 4);
  }
  frame.Reading0 = static_cast<std::int32_t>(seed) * 10 + 1;
  frame.Reading1 = -static_cast<std::int32_t>(seed);
  frame.Reading2 = 1234;
  frame.Reading3 = static_cast<std::int32_t>(seed % 1000);
  return frame;
}

inline std::vector<tools::FrameData> MakeFrames(int count, std::uint32_t seed) {
  std::vector<tools::FrameData> frames;
  for (int i = 0; i < count; ++i) frames.push_back(MakeFrame(seed + static_cast<std::uint32_t>(i)));
  return frames;
}

// A block with a recognisable Range; the rest are plausible settings.
inline recording::ParameterBlock MakeBlock(std::uint32_t range) {
  recording::ParameterBlock block;
  block.Range = range;
  block.Velocity = 3240;
  block.BaseGain = 420;
  block.ScanGain = -60;
  recording::SetBitField(block, "ProbeType", 1);
  block.DacPointCount = 3;
  // As it reads back from a record: named fields and stored bytes agree.
  return recording::ParameterBlock::FromBytes(block.ToBytes());
}

}  // namespace sonalyt::testing_data
