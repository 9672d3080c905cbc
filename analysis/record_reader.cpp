#include "analysis/record_reader.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <ostream>

#include "analysis/recording_analysis.h"
#include "recording/record_codec.h"
#include "recording/record_layout.h"

namespace sonalyt::analysis {
namespace {

using recording::kPackedBufferBytes;
using recording::kParameterBlockBytes;
using recording::kRecordBufferBytes;
using recording::kRecordHeaderBytes;
using recording::ParameterBlock;
using recording::RecordIndexEntry;

// Records are read through a window of the file, so that a run of
// neighbouring records costs one read.
constexpr std::size_t kWindowBytes = std::size_t{1} << 20;

using recording::LoadInt32;

}  // namespace

struct RecordReader::Buffers {
  std::array<std::uint8_t, kRecordBufferBytes> RecordBuffer{};
  // Destination of the parameter-area decodes, so the loaded record stays.
  std::array<std::uint8_t, kRecordBufferBytes> ParameterBuffer{};
  recording::RecordCodec Codec;
  std::array<std::uint8_t, kWindowBytes> Window{};
  std::int64_t WindowStart = 0;  // file offset of Window[0]
  std::size_t WindowBytes = 0;   // bytes of Window that hold the file
  // Body of the record read last: a span into Window.
  const std::uint8_t* Body = nullptr;
  // Whether record CachedRecord has an applicable block, and the block: the
  // record asked for last, or the record with a block loaded last.
  std::int32_t CachedRecord = -1;
  bool CachedApplicable = false;
  ParameterBlock CachedBlock{};
};

void PrintTo(const GoverningBlock& g, std::ostream* os) {
  *os << "{BlockRecord=" << g.BlockRecord << " Block=";
  recording::PrintTo(g.Block, os);
  *os << "}";
}

std::int32_t RecordAtOffset(std::span<const RecordIndexEntry> index, std::int32_t offset) {
  const auto it = std::lower_bound(
      index.begin(), index.end(), offset,
      [](const RecordIndexEntry& e, std::int32_t value) { return e.Offset < value; });
  if (it == index.end() || it->Offset != offset) return -1;
  return static_cast<std::int32_t>(it - index.begin());
}

RecordReader::RecordReader(std::vector<RecordIndexEntry> index)
    : ownIndex_(std::move(index)), index_(ownIndex_), buffers_(std::make_unique<Buffers>()) {}

RecordReader::RecordReader(std::shared_ptr<const AnalysisResults> results)
    : results_(std::move(results)),
      index_(results_->Index()),
      buffers_(std::make_unique<Buffers>()) {}

RecordReader::~RecordReader() {
  if (file_) std::fclose(file_);
}

bool RecordReader::Open(const std::string& path, std::string* error) {
  std::FILE* opened = std::fopen(path.c_str(), "rb");
  if (!opened) {
    if (error) *error = "cannot open " + path + ": " + std::strerror(errno);
    return false;
  }
  if (file_) std::fclose(file_);
  file_ = opened;
  // Reads go straight into the window.
  std::setvbuf(file_, nullptr, _IONBF, 0);
  buffers_->WindowBytes = 0;
  buffers_->CachedRecord = -1;
  loadedRecord_ = -1;
  if (error) error->clear();
  return true;
}

bool RecordReader::ReadRecord(std::int32_t r, std::int32_t& bodyLength,
                              std::int32_t& paramLength) {
  if (!file_ || r < 0 || r >= IndexedRecords()) return false;
  Buffers& b = *buffers_;
  const RecordIndexEntry& entry = index_[static_cast<std::size_t>(r)];
  const std::int64_t start = entry.Offset;
  const std::int64_t length = entry.Length;
  if (length < kRecordHeaderBytes || length > kRecordHeaderBytes + kPackedBufferBytes) {
    return false;
  }
  const auto inWindow = [&] {
    return start >= b.WindowStart &&
           start + length <= b.WindowStart + static_cast<std::int64_t>(b.WindowBytes);
  };
  if (!inWindow()) {
    b.WindowBytes = 0;
    if (std::fseek(file_, static_cast<long>(start), SEEK_SET) != 0) return false;
    b.WindowStart = start;
    b.WindowBytes = std::fread(b.Window.data(), 1, b.Window.size(), file_);
    if (!inWindow()) return false;
  }
  const std::uint8_t* header = b.Window.data() + (start - b.WindowStart);
  bodyLength = LoadInt32(header);
  paramLength = LoadInt32(header + 4);
  // The header must be the one the scan indexed.
  if (bodyLength != length - kRecordHeaderBytes) return false;
  b.Body = header + kRecordHeaderBytes;
  return true;
}

bool RecordReader::LoadRecord(std::int32_t r) {
  std::int32_t bodyLength = 0, headerParamLength = 0;
  if (!ReadRecord(r, bodyLength, headerParamLength)) return false;
  Buffers& b = *buffers_;
  decodedLength_ = b.Codec.DecodeRecordBody(
      std::span(b.Body, static_cast<std::size_t>(bodyLength)), b.RecordBuffer);
  headerParamLength_ = headerParamLength;
  // As the viewer's load: a parameter area beyond the decoded bytes counts as none.
  paramLength_ = (headerParamLength < 0 || headerParamLength > decodedLength_) ? 0
                                                                                : headerParamLength;
  loadedRecord_ = r;
  // A record with a block usually governs the records after it: keep it.
  ParameterBlock block;
  if (LoadedBlock(block)) {
    b.CachedRecord = r;
    b.CachedApplicable = true;
    b.CachedBlock = block;
  }
  return true;
}

std::int32_t RecordReader::FramesInRecord() const {
  return loadedRecord_ < 0 ? 0 : recording::FramesInRecordFor(decodedLength_, paramLength_);
}

std::span<const std::uint8_t> RecordReader::DecodedRecord() const {
  return std::span<const std::uint8_t>(buffers_->RecordBuffer)
      .first(static_cast<std::size_t>(loadedRecord_ < 0 ? 0 : decodedLength_));
}

std::span<const std::uint8_t, recording::kFrameBytes> RecordReader::Frame(std::int32_t k) const {
  constexpr std::int32_t kLastFrameInBuffer = kRecordBufferBytes / recording::kFrameBytes - 1;
  const std::int32_t frame = std::clamp(k, 0, kLastFrameInBuffer);
  return std::span<const std::uint8_t>(buffers_->RecordBuffer)
      .subspan(static_cast<std::size_t>(frame) * recording::kFrameBytes)
      .first<recording::kFrameBytes>();
}

bool RecordReader::LoadedBlock(ParameterBlock& block) const {
  return loadedRecord_ >= 0 && paramLength_ != 0 &&
         recording::ApplyParameterBlock(DecodedRecord(), paramLength_, block);
}

bool RecordReader::BlockOfRecord(std::int32_t r, ParameterBlock& block) {
  Buffers& b = *buffers_;
  if (r != b.CachedRecord) {
    std::int32_t bodyLength = 0, paramLength = 0;
    b.CachedRecord = r;
    b.CachedApplicable = false;
    if (ReadRecord(r, bodyLength, paramLength) && paramLength > 0) {
      // Only the parameter block is spelled out.
      const std::int32_t decoded = b.Codec.DecodeRecordTail(
          std::span(b.Body, static_cast<std::size_t>(bodyLength)), paramLength,
          kParameterBlockBytes, b.ParameterBuffer);
      if (paramLength <= decoded) {
        b.CachedApplicable = recording::ApplyParameterBlock(
            std::span<const std::uint8_t>(b.ParameterBuffer).first(static_cast<std::size_t>(decoded)),
            paramLength, b.CachedBlock);
      }
    }
  }
  if (b.CachedApplicable) block = b.CachedBlock;
  return b.CachedApplicable;
}

GoverningBlock RecordReader::GoverningBlockOf(std::int32_t r) {
  GoverningBlock governing;
  if (r < 0 || r >= IndexedRecords()) return governing;
  // The load of r applies r's own block last, so it wins; otherwise the
  // governing load's block stays in force.
  const bool own = r == loadedRecord_ ? LoadedBlock(governing.Block)
                                      : BlockOfRecord(r, governing.Block);
  if (own) {
    governing.BlockRecord = r;
    return governing;
  }
  const std::int32_t g = RecordAtOffset(index_, index_[static_cast<std::size_t>(r)].ParamOffset);
  if (g >= 0 && g != r && BlockOfRecord(g, governing.Block)) {
    governing.BlockRecord = g;
    return governing;
  }
  governing.Block = ParameterBlock{};
  return governing;
}

bool RecordReader::RecordAmplitudes(std::int32_t r, std::vector<AmplitudeColumn>& columns) {
  GateSetup setup;
  setup.Rf = GoverningBlockOf(r).Block.Rectification() == 3;
  if (!LoadRecord(r)) return false;
  const std::int32_t frames = FramesInRecord();
  for (std::int32_t k = 0; k < frames; ++k) columns.push_back(FrameAmplitudes(setup, Frame(k)));
  return true;
}

}  // namespace sonalyt::analysis
