// Decoder of record bodies: variable-width (9 to 12 bit) dictionary codes,
// most significant bit first, dictionary restarted every 3838 codes.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace sonalyt::recording {

inline constexpr std::int32_t kCodesPerGeneration = 3838;
inline constexpr std::int32_t kFirstDictionaryCode = 258;
inline constexpr std::int32_t kCodecChunkBytes = 1024;

// The codec's fixed working set: dictionary tables, the string-reversal
// stack, the input and output chunks. One instance serves every record; it
// allocates nothing per record.
class RecordCodec {
 public:
  // Decodes body into destination from its first byte, starting from the
  // reset state (first generation, width 9, next free code 258), and returns
  // the number of bytes written. Bytes of destination beyond that are left as
  // they were. Corrupt input (a code above the next free code, a body that
  // ends inside a code, an expansion that would not end, output beyond the
  // destination's capacity) stops the decode: the result is the bytes
  // produced before the fault. Never reads or writes outside the working set,
  // body and destination.
  std::int32_t DecodeRecordBody(std::span<const std::uint8_t> body,
                                std::span<std::uint8_t> destination);

 private:
  // Implementation-defined members (tables, stack, chunks, bit reader).
  std::array<std::uint16_t, 4096> prefix_{};
  std::array<std::uint8_t, 4096> suffix_{};
  std::array<std::uint8_t, 4096> stack_{};
  std::array<std::uint8_t, kCodecChunkBytes> inputChunk_{};
  std::array<std::uint8_t, kCodecChunkBytes> outputChunk_{};
};

}  // namespace sonalyt::recording
