// Fixed sizes of the recording format and of the program's working storage.
// Every constant of the format is defined here once.
#pragma once

#include <cstdint>

namespace sonalyt::recording {

// Recording file container.
inline constexpr std::int32_t kRecordCountBytes = 4;
inline constexpr std::int32_t kFirstRecordOffset = 4;
inline constexpr std::int32_t kRecordHeaderBytes = 8;

// Working buffers: the compressed body being read and the decoded record.
inline constexpr std::int32_t kPackedBufferBytes = 6168;
inline constexpr std::int32_t kRecordBufferBytes = 16384;

// Frame: 280 samples, 20 reserved bytes, four readings, 280 envelope values, 4 reserved.
inline constexpr std::int32_t kFrameBytes = 600;
inline constexpr std::int32_t kFrameColumns = 280;
inline constexpr std::int32_t kReadingsOffset = 300;
inline constexpr std::int32_t kEnvelopeOffset = 316;
inline constexpr std::int32_t kFrameReadingsBytes = 296;  // frame bytes 300..595

// The format's integers are 32-bit, least significant byte first.
inline std::int32_t LoadInt32(const std::uint8_t* p) {
  return static_cast<std::int32_t>(std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 |
                                   std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24);
}

inline void StoreInt32(std::uint8_t* p, std::int32_t value) {
  const auto v = static_cast<std::uint32_t>(value);
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// A body length a record header may hold: the body fits PackedBuffer.
inline bool BodyLengthInBounds(std::int32_t bodyLength) {
  return bodyLength >= 0 && bodyLength <= kPackedBufferBytes;
}

// Parameter area: the 218-byte block, then the note area.
inline constexpr std::int32_t kParameterBlockBytes = 218;
inline constexpr std::int32_t kNoteLengthOffset = 3;
inline constexpr std::int32_t kNoteAreaOffset = 218;
inline constexpr std::int32_t kNoteWorkAreaBytes = 200;
inline constexpr std::int32_t kMaxNoteLength = 98;  // (200 - 4) / 2 text units

}  // namespace sonalyt::recording
