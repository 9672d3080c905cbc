#include "recording/record_layout.h"

#include <algorithm>
#include <cstring>
#include <ostream>

namespace sonalyt::recording {
namespace {

// Start of the parameter area, or no value when paramLength does not
// describe an area inside the record that holds at least the block.
std::optional<std::size_t> ParameterAreaStart(std::span<const std::uint8_t> record,
                                              std::int32_t paramLength) {
  if (paramLength < kParameterBlockBytes) return std::nullopt;
  const auto length = static_cast<std::size_t>(paramLength);
  if (length > record.size()) return std::nullopt;
  return record.size() - length;
}

// Appends the one or two GBK bytes of a text unit: below 129 the ASCII byte,
// otherwise the GB 2312 row and cell, each offset by 0xA0.
void AppendTextUnit(std::string& text, std::uint16_t unit) {
  if (unit < 129) {
    text.push_back(static_cast<char>(unit & 0xFF));
    return;
  }
  text.push_back(static_cast<char>(((unit >> 8) + 0xA0) & 0xFF));
  text.push_back(static_cast<char>(((unit & 0xFF) + 0xA0) & 0xFF));
}

constexpr std::int32_t kNoteUnitBytes = 2;
// The area's unit 0 and the terminating unit around the NoteLength units.
constexpr std::int32_t kNoteFrameBytes = 4;

}  // namespace

void PrintTo(const FrameReadings& r, std::ostream* os) {
  *os << "FrameReadings{" << r.Reading0 << ", " << r.Reading1 << ", " << r.Reading2 << ", "
      << r.Reading3 << ", Envelope[0..3]=" << int{r.Envelope[0]} << ' ' << int{r.Envelope[1]} << ' '
      << int{r.Envelope[2]} << ' ' << int{r.Envelope[3]} << "}";
}

FrameReadings ReadFrameReadings(std::span<const std::uint8_t, kFrameBytes> frame) {
  FrameReadings r;
  const std::uint8_t* readings = frame.data() + kReadingsOffset;
  r.Reading0 = LoadInt32(readings);
  r.Reading1 = LoadInt32(readings + 4);
  r.Reading2 = LoadInt32(readings + 8);
  r.Reading3 = LoadInt32(readings + 12);
  std::memcpy(r.Envelope.data(), frame.data() + kEnvelopeOffset, r.Envelope.size());
  return r;
}

std::int32_t FramesInRecordFor(std::int32_t decodedLength, std::int32_t paramLength) {
  const std::int64_t frameBytes = std::int64_t{decodedLength} - paramLength;
  if (frameBytes <= 0) return 0;
  return static_cast<std::int32_t>(frameBytes / kFrameBytes);
}

std::int32_t PlayIntervalFor(std::int32_t framesInRecord) {
  constexpr std::int32_t kRecordMilliseconds = 1000;
  if (framesInRecord > 1) return kRecordMilliseconds / (framesInRecord - 1);
  return kRecordMilliseconds;
}

bool ApplyParameterBlock(std::span<const std::uint8_t> record, std::int32_t paramLength,
                         ParameterBlock& copy) {
  const auto start = ParameterAreaStart(record, paramLength);
  if (!start) return false;
  copy = ParameterBlock::FromBytes(record.subspan(*start).first<kParameterBlockBytes>());
  return true;
}

std::optional<std::string> DecodeNoteText(std::span<const std::uint8_t> record,
                                          std::int32_t paramLength) {
  const auto start = ParameterAreaStart(record, paramLength);
  if (!start) return std::nullopt;
  const std::span<const std::uint8_t> area = record.subspan(*start);
  const std::int32_t noteLength = area[kNoteLengthOffset];
  if (noteLength == 0) return std::nullopt;

  // The note area is copied into the cleared work area; units that the
  // parameter area or the work area cannot hold read as zero and end the
  // text there.
  std::array<std::uint8_t, kNoteWorkAreaBytes> work{};
  const std::size_t wanted =
      static_cast<std::size_t>(kNoteUnitBytes * noteLength + kNoteFrameBytes);
  // Whole units only: a unit cut by the end of the area is not read.
  const std::size_t available = (area.size() - kNoteAreaOffset) & ~std::size_t{1};
  std::memcpy(work.data(), area.data() + kNoteAreaOffset,
              std::min({wanted, available, work.size()}));

  std::string text;
  // Units 1 to NoteLength + 1; unit 0 is not part of the text.
  const std::int32_t lastUnit = std::min(noteLength + 1, kNoteWorkAreaBytes / kNoteUnitBytes - 1);
  for (std::int32_t i = 1; i <= lastUnit; ++i) {
    const auto at = static_cast<std::size_t>(kNoteUnitBytes * i);
    AppendTextUnit(text, static_cast<std::uint16_t>(work[at] | work[at + 1] << 8));
  }
  text.resize(std::min(text.find('\0'), text.size()));
  return text;
}

}  // namespace sonalyt::recording
