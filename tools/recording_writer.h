// Test-side writer of recording files: frames, parameter blocks, note units
// and record headers, assembled byte for byte as the instrument writes them.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "recording/parameter_block.h"
#include "recording/record_format.h"
#include "tools/record_encoder.h"

namespace sonalyt::tools {

struct FrameData {
  std::array<std::uint8_t, recording::kFrameColumns> Samples{};
  std::int32_t Reading0 = 0, Reading1 = 0, Reading2 = 0, Reading3 = 0;
  std::array<std::uint8_t, recording::kFrameColumns> Envelope{};
};

// The 600 bytes of one frame (reserved bytes zero).
std::array<std::uint8_t, recording::kFrameBytes> FrameBytes(const FrameData& frame);

// Text units of a GBK byte string: a byte below 0x81 is one unit; a
// two-byte character is one unit (row << 8 | cell, each its byte less 0xA0
// modulo 256), so a GB 2312 pair B0 A1 gives 0x1001. Pairs whose unit would
// fall below 129, and a lead byte without its second byte, are left out.
std::vector<std::uint16_t> NoteUnits(std::span<const std::uint8_t> gbk);

// The parameter area: the block with NoteLength = units.size(), then unit 0
// (zero), the text units and one terminating zero unit; 222 + 2n bytes.
// A block without a note gives exactly 218 bytes.
std::vector<std::uint8_t> ParameterArea(const recording::ParameterBlock& block,
                                        std::span<const std::uint16_t> units);

struct RecordSpec {
  std::vector<FrameData> Frames;
  std::optional<recording::ParameterBlock> Parameters;  // no value: no parameter area
  std::vector<std::uint16_t> NoteUnits;                 // with Parameters only
};

// The decoded bytes of a record: frames, then the parameter area.
std::vector<std::uint8_t> DecodedRecord(const RecordSpec& record);

class RecordingWriter {
 public:
  // Appends a record made from content; the body is encoded with mode.
  void AddRecord(const RecordSpec& content, EncodeMode mode = EncodeMode::LongestMatch);
  // Appends a record with a given header and body, whatever their values.
  void AddRawRecord(std::int32_t bodyLength, std::int32_t paramLength,
                    std::span<const std::uint8_t> body);
  // RecordCount written at offset 0; by default the number of records added.
  void SetRecordCount(std::int32_t count) { recordCount_ = count; }

  std::int32_t RecordsAdded() const { return records_; }
  std::vector<std::uint8_t> Bytes() const;
  bool WriteFile(const std::string& path) const;

 private:
  std::vector<std::uint8_t> recordBytes_;
  std::int32_t records_ = 0;
  std::optional<std::int32_t> recordCount_;
};

}  // namespace sonalyt::tools
