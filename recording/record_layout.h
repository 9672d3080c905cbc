// Layout of a decoded record: 600-byte frames, then the parameter area
// (218-byte ParameterBlock followed by the NoteArea) in its last bytes.
#pragma once

#include <array>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>

#include "recording/parameter_block.h"
#include "recording/record_format.h"

namespace sonalyt::recording {

// Working copy of frame bytes 300..595: the four measurement words (tenths)
// and the echo envelope.
struct FrameReadings {
  std::int32_t Reading0 = 0;
  std::int32_t Reading1 = 0;
  std::int32_t Reading2 = 0;
  std::int32_t Reading3 = 0;
  std::array<std::uint8_t, kFrameColumns> Envelope{};

  bool operator==(const FrameReadings&) const = default;
};
void PrintTo(const FrameReadings& readings, std::ostream* os);

// frame: the 600 bytes of one frame.
FrameReadings ReadFrameReadings(std::span<const std::uint8_t, kFrameBytes> frame);

// (decodedLength - paramLength) / 600, never negative.
std::int32_t FramesInRecordFor(std::int32_t decodedLength, std::int32_t paramLength);

// 1000 ms, or 1000 / (frames - 1) when the record has more than one frame.
std::int32_t PlayIntervalFor(std::int32_t framesInRecord);

// record: the DecodedLength bytes of the decoded record. Copies the block at
// record.size() - paramLength into copy. Returns false and leaves copy as it
// was when the record has no parameter area (paramLength 0), when paramLength
// is negative or beyond the record, or when the area is shorter than the block.
bool ApplyParameterBlock(std::span<const std::uint8_t> record, std::int32_t paramLength,
                         ParameterBlock& copy);

// The note of a record's parameter area as GBK bytes, up to its first zero
// byte; no value when NoteLength is 0 or the record has no usable parameter
// area. A NoteLength beyond what the area or the 200-byte work area holds is
// cut to the text units that fit.
std::optional<std::string> DecodeNoteText(std::span<const std::uint8_t> record,
                                          std::int32_t paramLength);

}  // namespace sonalyt::recording
