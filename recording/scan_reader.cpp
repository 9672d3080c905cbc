#include "recording/scan_reader.h"

#include <algorithm>
#include <cstring>
#include <thread>

#include "recording/fresh_pages.h"
#include "recording/spin_wait.h"

namespace sonalyt::recording {

ScanReader::ScanReader(ByteSource& source, std::int64_t start)
    : source_(source), start_(start), scanThread_(std::this_thread::get_id()) {
  const std::span<const std::uint8_t> bytes = source.Contiguous();
  if (!bytes.empty()) {
    view_ = bytes;
    viewStays_ = RunStays::ForGood;
    cursor_ = static_cast<std::size_t>(
        std::clamp<std::int64_t>(start, 0, static_cast<std::int64_t>(bytes.size())));
    haveChunk_ = true;
    atEnd_ = true;
    return;
  }
  // Chunks up to the file's size may be read ahead; past it (a file that
  // grows, or one whose size cannot be told) the scan reads on by itself.
  const std::int64_t size = source.Size();
  if (size > start_) {
    chunks_ = (static_cast<std::uint64_t>(size - start_) + kChunkBytes - 1) / kChunkBytes;
  }
  // Left uninitialised: only the bytes that arrive are ever read.
  ring_.reset(new std::array<Buffer, kRingChunks>);
  // Mapped at once: the first chunks are read into it right away.
  MapFreshPages(std::as_bytes(std::span(*ring_)));
}

ScanReader::~ScanReader() = default;

bool ScanReader::ReadAhead() {
  if (!ring_) return false;
  std::uint64_t chunk = claimed_.load();
  for (;;) {
    // A chunk's buffer is free once the scan is done with the chunk that
    // used it before.
    if (chunk >= chunks_ || chunk >= released_.load() + kRingChunks) return false;
    if (claimed_.compare_exchange_weak(chunk, chunk + 1)) break;
  }
  ReadChunk(chunk);
  return true;
}

void ScanReader::ReadChunk(std::uint64_t chunk) {
  Buffer& buffer = (*ring_)[chunk % kRingChunks];
  buffer.Got = source_.ReadAtConcurrently(
      start_ + static_cast<std::int64_t>(chunk * kChunkBytes), buffer.Bytes);
  // Another thread than the scan's finds the chunk's headers while its bytes
  // are in its own cache; the scan thread reads its chunks just before it
  // takes them.
  buffer.HeaderCount = std::this_thread::get_id() == scanThread_
                           ? 0
                           : FindHeaders(std::span(buffer.Bytes).first(buffer.Got),
                                         buffer.Headers);
  buffer.Read.store(chunk + 1, std::memory_order_release);
}

std::size_t ScanReader::FindHeaders(std::span<const std::uint8_t> chunk,
                                    std::span<Header> headers) {
  // Some record starts in the first kLongestRun bytes. A header holds a body
  // length of 0 to PackedBuffer's size and a parameter length of 0 or more,
  // which the compressed bytes between headers seldom do along a chain of
  // records: the first start whose chain of such headers runs to the end of
  // the chunk is taken. The scan uses a header only where it stands at it,
  // so a chain taken wrongly costs nothing but the search. The search is
  // bounded, so that no chunk, however made, takes long.
  constexpr std::size_t kMostSteps = 4096;
  std::size_t steps = 0;
  if (chunk.size() < kRecordHeaderBytes) return 0;
  const std::size_t lastStart = std::min(kLongestRun, chunk.size() - kRecordHeaderBytes);
  for (std::size_t start = 0; start <= lastStart; ++start) {
    // A body length below 65536 first, cheaply.
    if (chunk[start + 2] != 0 || chunk[start + 3] != 0) continue;
    std::size_t count = 0;
    std::size_t at = start;
    bool chain = true;
    while (at + kRecordHeaderBytes <= chunk.size()) {
      if (++steps > kMostSteps) return 0;
      const std::int32_t bodyLength = LoadInt32(chunk.data() + at);
      const std::int32_t paramLength = LoadInt32(chunk.data() + at + 4);
      if (!BodyLengthInBounds(bodyLength) || paramLength < 0) {
        chain = false;
        break;
      }
      if (count < headers.size()) headers[count] = {at, bodyLength, paramLength};
      ++count;
      at += kRecordHeaderBytes + static_cast<std::size_t>(bodyLength);
    }
    if (chain) return std::min(count, headers.size());
  }
  return 0;
}

bool ScanReader::NextChunk() {
  if (atEnd_) return false;
  if (haveChunk_) {
    if (beforeRelease_) beforeRelease_();
    released_.store(current_ + 1);
    if (onBufferFreed_) onBufferFreed_();
    ++current_;
  }
  haveChunk_ = true;
  Buffer& buffer = (*ring_)[current_ % kRingChunks];
  SpinWait wait;
  while (buffer.Read.load(std::memory_order_acquire) != current_ + 1) {
    // Past the chunks that may be read ahead, the scan reads the chunk it
    // needs itself.
    if (current_ >= chunks_) {
      claimed_.store(current_ + 1);
      ReadChunk(current_);
      break;
    }
    if (ReadAhead() || (waitingWork_ && waitingWork_())) {
      wait.Reset();
    } else {
      wait.Turn();
    }
  }
  view_ = std::span<const std::uint8_t>(buffer.Bytes).first(buffer.Got);
  cursor_ = 0;
  found_ = buffer.HeaderCount != 0 ? &buffer : nullptr;
  foundNext_ = 0;
  // A chunk that did not arrive whole is the end of the source.
  if (buffer.Got < kChunkBytes) atEnd_ = true;
  return true;
}

std::span<const std::uint8_t> ScanReader::TakeAcross(std::size_t n) {
  lastRunStays_ = RunStays::UntilNextTake;
  std::size_t have = 0;
  for (;;) {
    const std::size_t part = std::min(n - have, view_.size() - cursor_);
    if (part != 0) std::memcpy(straddle_.data() + have, view_.data() + cursor_, part);
    have += part;
    cursor_ += part;
    if (have == n || !NextChunk()) break;
  }
  consumed_ += static_cast<std::int64_t>(have);
  return std::span<const std::uint8_t>(straddle_).first(have);
}

}  // namespace sonalyt::recording
