#include "tools/recording_writer.h"

#include <cstdio>
#include <cstring>

namespace sonalyt::tools {
namespace {

using recording::StoreInt32;

void AppendInt32(std::vector<std::uint8_t>& bytes, std::int32_t value) {
  const auto v = static_cast<std::uint32_t>(value);
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void AppendUnit(std::vector<std::uint8_t>& bytes, std::uint16_t unit) {
  bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
  bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
}

// Row or cell number of a byte of a two-byte character.
std::uint16_t Unoffset(std::uint8_t byte) { return static_cast<std::uint8_t>(byte - 0xA0); }

}  // namespace

std::array<std::uint8_t, recording::kFrameBytes> FrameBytes(const FrameData& frame) {
  std::array<std::uint8_t, recording::kFrameBytes> bytes{};
  std::memcpy(bytes.data(), frame.Samples.data(), frame.Samples.size());
  std::uint8_t* readings = bytes.data() + recording::kReadingsOffset;
  StoreInt32(readings, frame.Reading0);
  StoreInt32(readings + 4, frame.Reading1);
  StoreInt32(readings + 8, frame.Reading2);
  StoreInt32(readings + 12, frame.Reading3);
  std::memcpy(bytes.data() + recording::kEnvelopeOffset, frame.Envelope.data(),
              frame.Envelope.size());
  return bytes;
}

std::vector<std::uint16_t> NoteUnits(std::span<const std::uint8_t> gbk) {
  std::vector<std::uint16_t> units;
  for (std::size_t i = 0; i < gbk.size(); ++i) {
    const std::uint8_t lead = gbk[i];
    if (lead < 0x81) {
      units.push_back(lead);
      continue;
    }
    // A two-byte character: row and cell, each stored less 0xA0 (mod 256).
    // A pair whose unit would fall below 129 cannot be stored, and neither
    // can a lead byte without its second byte; both are left out.
    if (i + 1 == gbk.size()) break;
    const auto unit = static_cast<std::uint16_t>(Unoffset(lead) << 8 | Unoffset(gbk[i + 1]));
    ++i;
    if (unit >= 129) units.push_back(unit);
  }
  return units;
}

std::vector<std::uint8_t> ParameterArea(const recording::ParameterBlock& block,
                                        std::span<const std::uint16_t> units) {
  recording::ParameterBlock stored = block;
  stored.NoteLength = static_cast<std::uint8_t>(units.size());
  const auto blockBytes = stored.ToBytes();
  std::vector<std::uint8_t> area(blockBytes.begin(), blockBytes.end());
  if (units.empty()) return area;
  AppendUnit(area, 0);  // unit 0, not part of the text
  for (const std::uint16_t unit : units) AppendUnit(area, unit);
  AppendUnit(area, 0);  // unit NoteLength + 1 ends the text
  return area;
}

std::vector<std::uint8_t> DecodedRecord(const RecordSpec& record) {
  std::vector<std::uint8_t> bytes;
  bytes.reserve(record.Frames.size() * recording::kFrameBytes + recording::kParameterBlockBytes);
  for (const FrameData& frame : record.Frames) {
    const auto frameBytes = FrameBytes(frame);
    bytes.insert(bytes.end(), frameBytes.begin(), frameBytes.end());
  }
  if (record.Parameters) {
    const auto area = ParameterArea(*record.Parameters, record.NoteUnits);
    bytes.insert(bytes.end(), area.begin(), area.end());
  }
  return bytes;
}

void RecordingWriter::AddRecord(const RecordSpec& content, EncodeMode mode) {
  const auto decoded = DecodedRecord(content);
  const auto body = EncodeRecordBody(decoded, mode);
  std::int32_t paramLength = 0;
  if (content.Parameters) {
    paramLength = static_cast<std::int32_t>(ParameterArea(*content.Parameters, content.NoteUnits).size());
  }
  AddRawRecord(static_cast<std::int32_t>(body.size()), paramLength, body);
}

void RecordingWriter::AddRawRecord(std::int32_t bodyLength, std::int32_t paramLength,
                                   std::span<const std::uint8_t> body) {
  AppendInt32(recordBytes_, bodyLength);
  AppendInt32(recordBytes_, paramLength);
  recordBytes_.insert(recordBytes_.end(), body.begin(), body.end());
  ++records_;
}

std::vector<std::uint8_t> RecordingWriter::Bytes() const {
  std::vector<std::uint8_t> bytes;
  bytes.reserve(recording::kRecordCountBytes + recordBytes_.size());
  AppendInt32(bytes, recordCount_.value_or(records_));
  bytes.insert(bytes.end(), recordBytes_.begin(), recordBytes_.end());
  return bytes;
}

bool RecordingWriter::WriteFile(const std::string& path) const {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  const auto bytes = Bytes();
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

}  // namespace sonalyt::tools
