#include "tools/record_encoder.h"

#include <unordered_map>

#include "recording/record_codec.h"

namespace sonalyt::tools {
namespace {

using recording::kCodesPerGeneration;
using recording::kFirstDictionaryCode;

// Width of the code at position j (from 1) of its generation.
int CodeWidth(std::int32_t j) {
  if (j <= 254) return 9;
  if (j <= 766) return 10;
  if (j <= 1790) return 11;
  return 12;
}

}  // namespace

std::vector<std::uint16_t> EncodeCodes(std::span<const std::uint8_t> input, EncodeMode mode) {
  std::vector<std::uint16_t> codes;
  if (input.empty()) return codes;

  // (code of w) << 8 | next byte  ->  code of w followed by that byte.
  std::unordered_map<std::uint32_t, std::uint16_t> dictionary;
  std::uint16_t nextCode = kFirstDictionaryCode;
  std::int32_t codesInGeneration = 0;
  std::uint16_t w = input[0];
  for (std::size_t i = 1; i < input.size(); ++i) {
    const std::uint8_t b = input[i];
    const std::uint32_t key = std::uint32_t{w} << 8 | b;
    if (mode == EncodeMode::LongestMatch) {
      if (const auto found = dictionary.find(key); found != dictionary.end()) {
        w = found->second;
        continue;
      }
    }
    codes.push_back(w);
    if (++codesInGeneration == kCodesPerGeneration) {
      dictionary.clear();
      nextCode = kFirstDictionaryCode;
      codesInGeneration = 0;
    } else if (mode == EncodeMode::LongestMatch) {
      dictionary.emplace(key, nextCode++);
    }
    w = b;
  }
  codes.push_back(w);
  return codes;
}

std::vector<std::uint8_t> PackCodes(std::span<const std::uint16_t> codes) {
  std::vector<std::uint8_t> body;
  std::uint32_t pending = 0;  // bits not yet written, in the low `pendingBits`
  int pendingBits = 0;
  for (std::size_t i = 0; i < codes.size(); ++i) {
    const int width = CodeWidth(static_cast<std::int32_t>(i % kCodesPerGeneration) + 1);
    pending = pending << width | (codes[i] & ((1u << width) - 1));
    pendingBits += width;
    while (pendingBits >= 8) {
      pendingBits -= 8;
      body.push_back(static_cast<std::uint8_t>(pending >> pendingBits));
    }
    pending &= (1u << pendingBits) - 1;
  }
  if (pendingBits > 0) body.push_back(static_cast<std::uint8_t>(pending << (8 - pendingBits)));
  return body;
}

std::vector<std::uint8_t> EncodeRecordBody(std::span<const std::uint8_t> input, EncodeMode mode) {
  const auto codes = EncodeCodes(input, mode);
  return PackCodes(codes);
}

}  // namespace sonalyt::tools
