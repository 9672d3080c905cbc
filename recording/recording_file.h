// The open recording file: record count, the record index built by one walk
// over the file, the note list, and loading of single records into the one
// RecordBuffer.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "recording/byte_source.h"
#include "recording/parameter_block.h"
#include "recording/record_codec.h"
#include "recording/record_format.h"

namespace sonalyt::recording {

struct RecordIndexEntry {
  std::int32_t Offset = 0;       // file offset of the record's 8-byte header
  std::int32_t Length = 0;       // BodyLength + 8
  std::int32_t ParamOffset = 0;  // file offset of the governing record

  bool operator==(const RecordIndexEntry&) const = default;
};
void PrintTo(const RecordIndexEntry& entry, std::ostream* os);

// Index of the note line a record selects: the line i with
// NoteRecords[i] <= record < NoteRecords[i + 1], or the last line when no
// range holds it; -1 when there are no notes.
std::int32_t SelectNoteLine(std::span<const std::int32_t> noteRecords, std::int32_t record);

// Why a recording could not be opened.
enum class OpenFailure {
  None,
  CannotOpen,  // the file could not be opened for reading
  TooShort,    // fewer bytes than the record count at its start: not a recording
};

class RecordingFile {
 public:
  RecordingFile();
  ~RecordingFile();
  RecordingFile(const RecordingFile&) = delete;
  RecordingFile& operator=(const RecordingFile&) = delete;

  // Opens path read-only and reads its RecordCount, then discards the
  // previous index and notes, closes the previous file and scans. Returns
  // false with a reason in *error (and its kind in *failure) when the file
  // cannot be opened or is too short to hold a record count; the recording
  // open before (file, index, notes, RecordCount) is then left as it was.
  bool OpenRecording(const std::string& path, std::string* error = nullptr,
                     OpenFailure* failure = nullptr);
  // The same for a recording read from source (a file, or bytes in memory).
  bool OpenRecording(std::unique_ptr<ByteSource> source, std::string* error = nullptr,
                     OpenFailure* failure = nullptr);

  // Walks the records from the current read position, building the index and
  // the notes. Stops at a short read, at a header that is out of bounds
  // (BodyLength outside 0..6168, ParamLength negative or beyond the decoded
  // length), or after RecordCount + 1 records.
  void ScanRecords();

  void AppendIndexEntry(std::int32_t length, bool carriesParameters);
  std::optional<RecordIndexEntry> IndexEntry(std::int32_t i) const;
  void SeekRecordFile(std::int32_t offset);
  // Re-reads RecordCount from offset 0 (keeps it when the read fails).
  void ReadRecordCount();

  // Reads record `record` (at its index offset; beyond the index from the
  // current file position) and decodes it into RecordBuffer. Bytes that do
  // not arrive leave the previous header values and body in place, so a load
  // past the end decodes the previously read record again. Applies the
  // record's parameter block to copy when it has one; returns whether it did.
  bool LoadRecord(std::int32_t record, ParameterBlock& copy);

  // Reads and decodes the governing record of record i and applies its block
  // to copy. Returns whether a block was applied (false without entry i).
  bool LoadGoverningParameters(std::int32_t i, ParameterBlock& copy);

  bool FileOpened() const { return fileOpened_; }
  std::int32_t RecordCount() const { return recordCount_; }
  const std::vector<RecordIndexEntry>& RecordIndex() const { return index_; }
  const std::vector<std::int32_t>& NoteRecords() const { return noteRecords_; }
  // GBK bytes, one per note line, parallel to NoteRecords.
  const std::vector<std::string>& NoteTexts() const { return noteTexts_; }

  std::int32_t BodyLength() const { return bodyLength_; }
  // Of the record loaded last; an out-of-bounds value read past the index is
  // held as 0 (no parameter area).
  std::int32_t ParamLength() const { return paramLength_; }
  std::int32_t DecodedLength() const { return decodedLength_; }
  // The DecodedLength bytes of the record decoded last.
  std::span<const std::uint8_t> DecodedRecord() const;
  // Frame k of the record decoded last; k must be below FramesInRecord.
  std::span<const std::uint8_t, kFrameBytes> Frame(std::int32_t k) const;
  std::int32_t FramesInRecord() const;

 private:
  // Reads a header and body from the current file position into the
  // working buffers (keeping the previous ones for bytes that do not arrive
  // or a body that would not fit) and decodes it into RecordBuffer.
  void ReadAndDecode();
  // Reserves the index for the records the scan may find, so that growing
  // it does not move it and touch fresh memory again and again.
  void ReserveIndex();
  // Reads from the read position and advances it by the bytes that arrived.
  std::size_t Read(std::span<std::uint8_t> out);
  // Applies the block of the record decoded last, if it has a usable one.
  bool ApplyLoadedParameters(ParameterBlock& copy) const;

  struct Buffers;
  std::unique_ptr<Buffers> buffers_;  // PackedBuffer, RecordBuffer, codec; allocated once
  std::unique_ptr<ByteSource> source_;
  // Where the next read starts, like a file position: loads past the index
  // and the record count read on from here.
  std::int64_t position_ = 0;
  bool fileOpened_ = false;
  std::int32_t recordCount_ = 0;
  std::vector<RecordIndexEntry> index_;
  std::vector<std::int32_t> noteRecords_;
  std::vector<std::string> noteTexts_;
  std::int32_t bodyLength_ = 0;
  std::int32_t paramLength_ = 0;
  std::int32_t decodedLength_ = 0;
};

}  // namespace sonalyt::recording
