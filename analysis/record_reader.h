// Reads and decodes single records of a recording with a file handle, a
// decoder working set and buffers of its own, independent of the viewer's
// session. The whole-recording pass runs one per worker thread; the overview
// uses one to decode a record's frames on demand when zoomed in.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "analysis/frame_figures.h"
#include "recording/parameter_block.h"
#include "recording/record_format.h"
#include "recording/recording_file.h"

namespace sonalyt::analysis {

// The parameter block in force for a record after a jump to it from the
// all-zero copy (governing load of the record, then the load of the
// record), and the record it came from.
struct GoverningBlock {
  recording::ParameterBlock Block{};  // all zero when no applicable block governs the record
  std::int32_t BlockRecord = -1;      // the record whose block this is; -1 for the zero block

  bool operator==(const GoverningBlock&) const = default;
};
void PrintTo(const GoverningBlock& governing, std::ostream* os);

// Index of the record whose header lies at file offset `offset` (every
// ParamOffset is one), by binary search over the index; -1 when none does.
std::int32_t RecordAtOffset(std::span<const recording::RecordIndexEntry> index,
                            std::int32_t offset);

class AnalysisResults;

// Not thread-safe: one reader per thread. Allocates its buffers once.
class RecordReader {
 public:
  // index: the recording's record index (RecordingFile::RecordIndex()).
  explicit RecordReader(std::vector<recording::RecordIndexEntry> index);
  // Reads through the index of a pass's results, which it keeps alive.
  explicit RecordReader(std::shared_ptr<const AnalysisResults> results);
  ~RecordReader();
  RecordReader(const RecordReader&) = delete;
  RecordReader& operator=(const RecordReader&) = delete;

  // Opens path read-only (closing the file open before). False with a
  // reason in *error when it cannot be opened.
  bool Open(const std::string& path, std::string* error = nullptr);

  std::int32_t IndexedRecords() const { return static_cast<std::int32_t>(index_.size()); }
  std::span<const recording::RecordIndexEntry> Index() const { return index_; }

  // Reads and decodes indexed record r, as the viewer's load of it does:
  // a body that decodes short yields the frames it has; a ParamLength beyond
  // the decoded bytes counts as none. False (nothing loaded) when r is not
  // indexed or its header or body cannot be read.
  bool LoadRecord(std::int32_t r);
  // Of the record loaded last.
  std::int32_t LoadedRecord() const { return loadedRecord_; }
  std::int32_t ParamLength() const { return paramLength_; }
  std::int32_t DecodedLength() const { return decodedLength_; }
  std::int32_t FramesInRecord() const;
  std::span<const std::uint8_t> DecodedRecord() const;
  // Frame k of the record loaded last, 0 <= k < FramesInRecord().
  std::span<const std::uint8_t, recording::kFrameBytes> Frame(std::int32_t k) const;
  // Whether the record loaded last carries a parameter area (ParamLength
  // in its header is not 0), and whether that area holds an applicable
  // block; the block when it does.
  bool LoadedCarriesParameters() const { return headerParamLength_ != 0; }
  bool LoadedBlock(recording::ParameterBlock& block) const;

  // The governing block of indexed record r (zero block for an r outside the
  // index). Decodes only the parameter areas it needs; leaves the record
  // loaded last as it was.
  GoverningBlock GoverningBlockOf(std::int32_t r);

  // The amplitude columns of every frame of record r under its governing
  // block (RF or not), appended to columns in frame order. False when r is
  // not indexed or cannot be read.
  bool RecordAmplitudes(std::int32_t r, std::vector<AmplitudeColumn>& columns);

 private:
  // Reads header and body of indexed record r into the packed buffer;
  // false when they do not arrive completely.
  bool ReadRecord(std::int32_t r, std::int32_t& bodyLength, std::int32_t& paramLength);
  // Whether record r carries an applicable block, and that block, from a
  // decode of its parameter area only.
  bool BlockOfRecord(std::int32_t r, recording::ParameterBlock& block);

  struct Buffers;
  std::vector<recording::RecordIndexEntry> ownIndex_;
  std::shared_ptr<const AnalysisResults> results_;
  std::span<const recording::RecordIndexEntry> index_;
  std::unique_ptr<Buffers> buffers_;
  std::FILE* file_ = nullptr;
  std::int32_t loadedRecord_ = -1;
  std::int32_t headerParamLength_ = 0;
  std::int32_t paramLength_ = 0;
  std::int32_t decodedLength_ = 0;
};

}  // namespace sonalyt::analysis
