#include "recording/recording_file.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <ostream>

#include "recording/fresh_pages.h"
#include "recording/parameter_walks.h"
#include "recording/record_layout.h"
#include "recording/scan_reader.h"

namespace sonalyt::recording {
namespace {

// A recording with more records that carry a parameter area than this has
// them walked on a second thread as well.
constexpr std::uint32_t kScanHelperAfterWalks = 8;

// The index entry of a record of `length` bytes (header included) that
// follows the record of `last`, or is the first when there is none: a record
// with a parameter area governs itself, others inherit the governing record.
RecordIndexEntry FollowingEntry(const RecordIndexEntry* last, std::int32_t length,
                                bool carriesParameters) {
  RecordIndexEntry entry;
  if (!last) {
    entry.Offset = kFirstRecordOffset;
    entry.ParamOffset = kFirstRecordOffset;
  } else {
    entry.Offset = last->Offset + last->Length;
    entry.ParamOffset = carriesParameters ? entry.Offset : last->ParamOffset;
  }
  entry.Length = length;
  return entry;
}

}  // namespace

// The fixed working storage of the open recording, allocated once with the
// RecordingFile.
struct RecordingFile::Buffers {
  std::array<std::uint8_t, kPackedBufferBytes> PackedBuffer{};
  std::array<std::uint8_t, kRecordBufferBytes> RecordBuffer{};
  RecordCodec Codec;
};

void PrintTo(const RecordIndexEntry& e, std::ostream* os) {
  *os << "{Offset=" << e.Offset << " Length=" << e.Length << " ParamOffset=" << e.ParamOffset
      << "}";
}

std::int32_t SelectNoteLine(std::span<const std::int32_t> noteRecords, std::int32_t record) {
  if (noteRecords.empty()) return -1;
  const auto lines = static_cast<std::int32_t>(noteRecords.size());
  std::int32_t i = 0;
  while (i < lines - 1 && !(noteRecords[i] <= record && record < noteRecords[i + 1])) ++i;
  return i;
}

RecordingFile::RecordingFile() : buffers_(std::make_unique<Buffers>()) {}

RecordingFile::~RecordingFile() = default;

bool RecordingFile::OpenRecording(const std::string& path, std::string* error,
                                  OpenFailure* failure) {
  // The new file is opened before anything of the open recording is let go:
  // a file that cannot be opened is reported and the recording on screen
  // stays as it was.
  auto source = FileByteSource::Open(path, error);
  if (!source) {
    if (failure) *failure = OpenFailure::CannotOpen;
    return false;
  }
  return OpenRecording(std::move(source), error, failure);
}

bool RecordingFile::OpenRecording(std::unique_ptr<ByteSource> source, std::string* error,
                                  OpenFailure* failure) {
  if (failure) *failure = OpenFailure::None;
  if (!source) {
    if (error) *error = "no recording to open";
    if (failure) *failure = OpenFailure::CannotOpen;
    return false;
  }
  // A file that cannot hold its record count is no recording; it is refused
  // before the open recording is let go.
  std::uint8_t count[kRecordCountBytes];
  const std::size_t got = source->ReadAt(0, count);
  if (got != sizeof count) {
    if (error) {
      *error = "too short to hold a record count (" + std::to_string(got) +
               (got == 1 ? " byte)" : " bytes)");
    }
    if (failure) *failure = OpenFailure::TooShort;
    return false;
  }
  index_.clear();
  noteRecords_.clear();
  noteTexts_.clear();
  source_ = std::move(source);
  fileOpened_ = true;
  recordCount_ = LoadInt32(count);
  position_ = kRecordCountBytes;
  ScanRecords();
  if (error) error->clear();
  return true;
}

std::size_t RecordingFile::Read(std::span<std::uint8_t> out) {
  const std::size_t got = source_->ReadAt(position_, out);
  position_ += static_cast<std::int64_t>(got);
  return got;
}

void RecordingFile::ScanRecords() {
  if (!source_) return;
  Buffers& b = *buffers_;
  ScanReader reader(*source_, position_);
  ReserveIndex();
  // The walks of the parameter areas run beside the reading and are taken
  // back in file order: a note is kept, or the scan ends at a parameter area
  // longer than its decoded record, exactly where a walk in place would.
  ParameterWalks walks(
      [this](const ParameterWalk& walk) {
        if (walk.ParamLength > walk.DecodedLength) return false;
        if (walk.Note) {
          noteTexts_.push_back(*walk.Note);
          noteRecords_.push_back(walk.Record);
        }
        return true;
      },
      kScanHelperAfterWalks, [&reader] { return reader.ReadAhead(); });
  // A file is read ahead on both threads, and the scan thread walks while
  // it waits for a chunk the helper is reading.
  reader.SetWaitingWork([&walks] { return walks.WalkOne(); });
  reader.SetOnBufferFreed([&walks] { walks.Wake(); });
  // Bodies queued from a chunk are copied out of it, mostly by the helper,
  // before its buffer is read into again.
  reader.SetBeforeRelease([&walks] { walks.CopyBodies(); });
  // The helper first maps the pages of the reserved index, so that the
  // scan thread does not stop at each fresh page as the index grows.
  const std::span<const RecordIndexEntry> reserved(index_.data() + index_.size(),
                                                   index_.capacity() - index_.size());
  walks.SetHelperFirstWork([reserved] { MapFreshPages(std::as_bytes(reserved)); });
  if (reader.ReadsAhead()) walks.StartHelper();

  // The entry appended last (meaningful while the index is not empty).
  RecordIndexEntry lastEntry = index_.empty() ? RecordIndexEntry{} : index_.back();
  for (std::int32_t record = 0;; ++record) {
    const std::int64_t offset = position_ + reader.Consumed();
    // A header that does not arrive completely means the record is not in
    // the file.
    std::int32_t bodyLength = 0;
    std::int32_t paramLength = 0;
    const bool found = reader.FoundHeader(bodyLength, paramLength);
    const auto header = reader.Take(kRecordHeaderBytes);
    if (header.size() != kRecordHeaderBytes) break;
    if (!found) {
      bodyLength = LoadInt32(header.data());
      paramLength = LoadInt32(header.data() + 4);
    }
    // A header the format cannot hold ends the readable file.
    if (!BodyLengthInBounds(bodyLength) || paramLength < 0) break;
    // Index offsets are 32-bit: a record that ends beyond them cannot be
    // reached again.
    if (!index_.empty() && std::int64_t{lastEntry.Offset} + lastEntry.Length +
                                   kRecordHeaderBytes + bodyLength >
                               std::numeric_limits<std::int32_t>::max()) {
      break;
    }
    bodyLength_ = bodyLength;
    paramLength_ = paramLength;

    const auto bodyBytes = static_cast<std::size_t>(bodyLength);
    const auto body = reader.Take(bodyBytes);
    // The last body read stays in PackedBuffer, as much of it as arrived.
    const auto keepInPackedBuffer = [&] {
      std::memcpy(b.PackedBuffer.data(), body.data(), body.size());
    };
    if (body.size() != bodyBytes) {
      keepInPackedBuffer();
      break;
    }
    // Only the parameter area is spelled out; the full record is decoded
    // once, for the last such record, when the scan ends. Once an earlier
    // area has ended the scan, nothing more is queued.
    if (paramLength != 0 &&
        !walks.Add(record, offset, bodyLength, paramLength, body, reader.LastRunStays())) {
      break;
    }
    // As AppendIndexEntry, from the entry appended last kept at hand.
    lastEntry = FollowingEntry(index_.empty() ? nullptr : &lastEntry,
                               bodyLength + kRecordHeaderBytes, paramLength != 0);
    index_.push_back(lastEntry);
    // Up to RecordCount + 1 records are indexed, and always the first one.
    if (std::int64_t{record} + 1 > recordCount_) {
      keepInPackedBuffer();
      break;
    }
  }
  walks.Finish();

  // The file stands where the scan stopped reading. When a parameter area
  // ended it, the records read on beyond that one are forgotten: the scan
  // stands right behind it, with its header and body as the last read.
  if (const ParameterWalk* stop = walks.Stopped()) {
    index_.resize(static_cast<std::size_t>(stop->Record));
    bodyLength_ = stop->BodyLength;
    paramLength_ = stop->ParamLength;
    std::memcpy(b.PackedBuffer.data(), stop->Body.data(), stop->Body.size());
    position_ = stop->Offset + kRecordHeaderBytes + stop->BodyLength;
  } else {
    position_ += reader.Consumed();
  }
  // RecordBuffer ends up holding the last record with a parameter area the
  // scan took.
  if (const ParameterWalk* last = walks.LastTaken()) {
    decodedLength_ = b.Codec.DecodeRecordBody(last->Body, b.RecordBuffer);
  }
}

void RecordingFile::ReserveIndex() {
  // At most RecordCount + 1 records are indexed, and no more than headers
  // with empty bodies fit into the file; beyond a generous bound the index
  // grows as it goes.
  constexpr std::int64_t kMostReserved = std::int64_t{1} << 20;
  std::int64_t records = std::clamp<std::int64_t>(std::int64_t{recordCount_} + 1, 1, kMostReserved);
  if (const std::int64_t size = source_->Size(); size >= 0) {
    records = std::min(records, std::max<std::int64_t>(0, size - position_) / kRecordHeaderBytes + 1);
  }
  index_.reserve(index_.size() + static_cast<std::size_t>(records));
}

void RecordingFile::AppendIndexEntry(std::int32_t length, bool carriesParameters) {
  index_.push_back(
      FollowingEntry(index_.empty() ? nullptr : &index_.back(), length, carriesParameters));
}

std::optional<RecordIndexEntry> RecordingFile::IndexEntry(std::int32_t i) const {
  if (i < 0 || static_cast<std::size_t>(i) >= index_.size()) return std::nullopt;
  return index_[static_cast<std::size_t>(i)];
}

void RecordingFile::SeekRecordFile(std::int32_t offset) {
  if (source_) position_ = offset;
}

void RecordingFile::ReadRecordCount() {
  if (!source_) return;
  SeekRecordFile(0);
  std::uint8_t count[kRecordCountBytes];
  if (Read(count) == sizeof count) recordCount_ = LoadInt32(count);
}

void RecordingFile::ReadAndDecode() {
  Buffers& b = *buffers_;
  if (source_) {
    // Header bytes that arrive replace those of the record read last; bytes
    // that do not arrive leave them as they were.
    std::uint8_t header[kRecordHeaderBytes];
    StoreInt32(header, bodyLength_);
    StoreInt32(header + 4, paramLength_);
    const std::size_t got = Read(header);
    const std::int32_t bodyLength = LoadInt32(header);
    // A body that would not fit into PackedBuffer counts as not arrived: the
    // previous header and body stay.
    if (got > 0 && BodyLengthInBounds(bodyLength)) {
      bodyLength_ = bodyLength;
      paramLength_ = LoadInt32(header + 4);
      // Body bytes that do not arrive leave the previous body in place.
      Read(std::span(b.PackedBuffer).first(static_cast<std::size_t>(bodyLength_)));
    }
  }
  decodedLength_ = b.Codec.DecodeRecordBody(
      std::span(b.PackedBuffer).first(static_cast<std::size_t>(bodyLength_)), b.RecordBuffer);
  // FramesInRecord and the parameter area must stay inside the decoded bytes.
  if (paramLength_ < 0 || paramLength_ > decodedLength_) paramLength_ = 0;
}

bool RecordingFile::ApplyLoadedParameters(ParameterBlock& copy) const {
  return paramLength_ != 0 && ApplyParameterBlock(DecodedRecord(), paramLength_, copy);
}

bool RecordingFile::LoadRecord(std::int32_t record, ParameterBlock& copy) {
  if (record < 0) record = 0;
  // Beyond the index the reads continue wherever the file stands.
  if (const auto entry = IndexEntry(record)) SeekRecordFile(entry->Offset);
  ReadAndDecode();
  return ApplyLoadedParameters(copy);
}

bool RecordingFile::LoadGoverningParameters(std::int32_t i, ParameterBlock& copy) {
  const auto entry = IndexEntry(i);
  if (!entry) return false;
  SeekRecordFile(entry->ParamOffset);
  ReadAndDecode();
  return ApplyLoadedParameters(copy);
}

std::span<const std::uint8_t> RecordingFile::DecodedRecord() const {
  return std::span<const std::uint8_t>(buffers_->RecordBuffer)
      .first(static_cast<std::size_t>(decodedLength_));
}

std::span<const std::uint8_t, kFrameBytes> RecordingFile::Frame(std::int32_t k) const {
  // Frames past the loaded ones are clamped to the buffer, never beyond it.
  constexpr std::int32_t kLastFrameInBuffer = kRecordBufferBytes / kFrameBytes - 1;
  const std::int32_t frame = std::clamp(k, 0, kLastFrameInBuffer);
  return std::span<const std::uint8_t>(buffers_->RecordBuffer)
      .subspan(static_cast<std::size_t>(frame) * kFrameBytes)
      .first<kFrameBytes>();
}

std::int32_t RecordingFile::FramesInRecord() const {
  return FramesInRecordFor(decodedLength_, paramLength_);
}

}  // namespace sonalyt::recording
