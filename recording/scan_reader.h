// The open scan's sequential reader. Take hands out contiguous byte runs in
// file order. A source whose bytes lie in memory is read in place, so bytes
// that are only passed over are never copied nor touched. A file is read in
// fixed chunks at fixed offsets into a small ring of buffers: any thread may
// read the chunks ahead of the scan (ReadAhead), so copying the file from
// the system runs on both cores while the scan looks at the records.
#pragma once

#include <algorithm>
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <thread>

#include "recording/byte_source.h"
#include "recording/record_format.h"

namespace sonalyt::recording {

// How long a run the reader handed out stays where it is: for good (a
// source in memory), until the scan moves past its chunk (see
// ScanReader::SetBeforeRelease), or until the next Take (a run gathered
// across a chunk's end).
enum class RunStays { ForGood, UntilRelease, UntilNextTake };

class ScanReader {
 public:
  // Chunk size: a chunk that stays in the processor's cache is copied into
  // and read from faster than a larger one.
  static constexpr std::size_t kChunkBytes = std::size_t{256} << 10;
  static constexpr std::size_t kRingChunks = 2;
  // The longest run Take hands out whole.
  static constexpr std::size_t kLongestRun = kRecordHeaderBytes + kPackedBufferBytes;

  ScanReader(ByteSource& source, std::int64_t start);
  ~ScanReader();
  ScanReader(const ScanReader&) = delete;
  ScanReader& operator=(const ScanReader&) = delete;

  // Work the scanning thread does while it waits for a chunk another thread
  // is reading (true when it did some), and what it calls when a buffer of
  // the ring becomes free to read into.
  void SetWaitingWork(std::function<bool()> work) { waitingWork_ = std::move(work); }
  void SetOnBufferFreed(std::function<void()> freed) { onBufferFreed_ = std::move(freed); }
  // What the scanning thread does right before a buffer of the ring may be
  // read into again: the runs taken from it are no longer to be relied on.
  void SetBeforeRelease(std::function<void()> release) { beforeRelease_ = std::move(release); }

  // How long the run Take handed out last stays.
  RunStays LastRunStays() const { return lastRunStays_; }

  // The next n (at most kLongestRun) bytes of the source, or fewer at its
  // end or a read error. The run stays valid until the next Take. Runs that
  // lie in the current chunk, nearly all of them, are handed out here
  // without a call.
  std::span<const std::uint8_t> Take(std::size_t n) {
    n = std::min(n, kLongestRun);
    if (view_.size() - cursor_ >= n) {
      const std::span<const std::uint8_t> run = view_.subspan(cursor_, n);
      cursor_ += n;
      consumed_ += static_cast<std::int64_t>(n);
      lastRunStays_ = viewStays_;
      return run;
    }
    return TakeAcross(n);
  }

  // The record header at the current position as the thread that read the
  // chunk found it (see FindHeaders), so that the scan thread need not load
  // it from a chunk another core copied; false, leaving both as they were,
  // where none was found there.
  bool FoundHeader(std::int32_t& bodyLength, std::int32_t& paramLength) {
    if (!found_) return false;
    // Headers found off the scan's chain are passed over.
    while (foundNext_ < found_->HeaderCount && found_->Headers[foundNext_].At < cursor_) {
      ++foundNext_;
    }
    if (foundNext_ == found_->HeaderCount || found_->Headers[foundNext_].At != cursor_) {
      return false;
    }
    bodyLength = found_->Headers[foundNext_].BodyLength;
    paramLength = found_->Headers[foundNext_].ParamLength;
    ++foundNext_;
    return true;
  }

  // Bytes taken since the reader started.
  std::int64_t Consumed() const { return consumed_; }

  // Whether the source is read in chunks that ReadAhead can read (a file of
  // known size, more than one chunk long).
  bool ReadsAhead() const { return chunks_ > 1; }

  // Reads the next chunk nobody has claimed, if the ring has room for it;
  // false when there is nothing to read now. Safe from any thread.
  bool ReadAhead();

 private:
  // A record header lying whole in a chunk: where it starts, and its body
  // and parameter lengths.
  struct Header {
    std::size_t At;
    std::int32_t BodyLength;
    std::int32_t ParamLength;
  };
  // Enough for chunks of records of 2 kB and more; the scan loads the
  // headers beyond these itself.
  static constexpr std::size_t kFoundHeaders = 128;

  struct Buffer {
    std::array<std::uint8_t, kChunkBytes> Bytes;
    std::size_t Got = 0;                 // bytes that arrived
    std::atomic<std::uint64_t> Read{0};  // chunk + 1 once chunk's bytes are in
    // Headers found by the thread that read the chunk, when that was not
    // the scan thread.
    std::array<Header, kFoundHeaders> Headers;
    std::size_t HeaderCount = 0;
  };

  // The headers of the records in a chunk, found without knowing where its
  // first record starts; how many were written to `headers`.
  static std::size_t FindHeaders(std::span<const std::uint8_t> chunk,
                                 std::span<Header> headers);

  // Take for a run of at most kLongestRun bytes that does not lie in the
  // current chunk: gathered across the chunks' ends.
  std::span<const std::uint8_t> TakeAcross(std::size_t n);
  void ReadChunk(std::uint64_t chunk);
  // Makes the next chunk current; false at the end of the source.
  bool NextChunk();

  ByteSource& source_;
  std::int64_t start_;
  std::uint64_t chunks_ = 0;  // chunks of the file from start_
  std::unique_ptr<std::array<Buffer, kRingChunks>> ring_;
  std::atomic<std::uint64_t> claimed_{0};   // chunks claimed for reading
  std::atomic<std::uint64_t> released_{0};  // chunks the scan is done with
  std::function<bool()> waitingWork_;
  std::function<void()> onBufferFreed_;
  std::function<void()> beforeRelease_;

  std::thread::id scanThread_;           // the thread that takes the runs
  const Buffer* found_ = nullptr;       // the current chunk, when headers were found in it
  std::size_t foundNext_ = 0;           // the first of them not passed yet
  std::span<const std::uint8_t> view_;  // the current chunk, or the source in memory
  RunStays viewStays_ = RunStays::UntilRelease;  // how long runs of view_ stay
  RunStays lastRunStays_ = RunStays::UntilNextTake;
  std::uint64_t current_ = 0;           // chunk number of view_
  bool haveChunk_ = false;
  bool atEnd_ = false;  // no chunk follows the current one
  std::size_t cursor_ = 0;
  std::int64_t consumed_ = 0;
  std::array<std::uint8_t, kLongestRun> straddle_{};  // runs across a chunk's end
};

}  // namespace sonalyt::recording
