// Test-side encoder of record bodies: the inverse of the record decoder.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace sonalyt::tools {

enum class EncodeMode {
  LongestMatch,     // the dictionary's longest match at every step
  SingleByteCodes,  // every byte spelled as its own single-byte code
};

// The code sequence for input (dictionary restarted after 3838 codes).
std::vector<std::uint16_t> EncodeCodes(std::span<const std::uint8_t> input, EncodeMode mode);

// Packs codes MSB first with the width of each code's position in its
// generation (9, 10, 11, 12 bits), the last byte filled with zero bits.
// Any code values may be given, so odd or corrupt bodies can be built.
std::vector<std::uint8_t> PackCodes(std::span<const std::uint16_t> codes);

std::vector<std::uint8_t> EncodeRecordBody(std::span<const std::uint8_t> input,
                                           EncodeMode mode = EncodeMode::LongestMatch);

}  // namespace sonalyt::tools
