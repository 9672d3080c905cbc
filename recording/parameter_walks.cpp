#include "recording/parameter_walks.h"

#include <cstring>

#if defined(__x86_64__) || defined(__i386__) || defined(_M_X64) || defined(_M_IX86)
#include <immintrin.h>
#endif

#include "recording/record_layout.h"

namespace sonalyt::recording {
namespace {

// What a walk spells out of a parameter area: the block and the note work
// area.
constexpr std::int32_t kWalkWindowBytes = kNoteAreaOffset + kNoteWorkAreaBytes;

// Turns of a busy wait before the waiting thread gives up its core; a walk
// takes some microseconds, so the wait is usually over before that.
constexpr int kSpinTurns = 4000;

// One turn of a busy wait: tells the processor, so the other thread on its
// core runs on.
inline void SpinPause() {
#if defined(__x86_64__) || defined(__i386__) || defined(_M_X64) || defined(_M_IX86)
  _mm_pause();
#elif defined(__aarch64__)
  asm volatile("yield");
#endif
}

}  // namespace

ParameterWalks::ParameterWalks(TakeWalk take, std::uint32_t helperAfter)
    : take_(std::move(take)),
      helperAfter_(std::thread::hardware_concurrency() > 1 ? helperAfter : 0),
      slots_(std::make_unique<std::array<Slot, kSlots>>()),
      mine_(std::make_unique<Walker>()) {}

ParameterWalks::~ParameterWalks() {
  if (helper_.joinable()) {
    finishing_.store(true);
    wake_.fetch_add(1);
    wake_.notify_one();
    helper_.join();
  }
}

void ParameterWalks::Walk(std::uint32_t j, Walker& walker) {
  Slot& slot = (*slots_)[j % kSlots];
  ParameterWalk& walk = slot.Walk;
  walk.DecodedLength =
      walker.Codec.DecodeRecordTail(walk.Body, walk.ParamLength, kWalkWindowBytes, walker.Record);
  // The note lies in the window just spelled out; the rest of the record
  // buffer is never read.
  walk.Note.reset();
  if (walk.ParamLength <= walk.DecodedLength) {
    walk.Note = DecodeNoteText(
        std::span<const std::uint8_t>(walker.Record).first(
            static_cast<std::size_t>(walk.DecodedLength)),
        walk.ParamLength);
  }
  slot.Done.store(j + 1, std::memory_order_release);
}

bool ParameterWalks::WalkOne(Walker& walker) {
  std::uint32_t j = claimed_.load(std::memory_order_relaxed);
  while (j < queued_.load(std::memory_order_acquire)) {
    if (claimed_.compare_exchange_weak(j, j + 1, std::memory_order_acq_rel)) {
      Walk(j, walker);
      return true;
    }
  }
  return false;
}

void ParameterWalks::TakeFinished() {
  const std::uint32_t queued = queued_.load(std::memory_order_relaxed);
  while (!stopped_ && taken_ < queued) {
    const Slot& slot = (*slots_)[taken_ % kSlots];
    if (slot.Done.load(std::memory_order_acquire) != taken_ + 1) return;
    ++taken_;
    lastTaken_ = &slot.Walk;
    if (!take_(slot.Walk)) stopped_ = &slot.Walk;
  }
}

void ParameterWalks::TakeUntilBelow(std::uint32_t pending) {
  int turns = 0;
  for (;;) {
    TakeFinished();
    if (stopped_ || queued_.load(std::memory_order_relaxed) - taken_ < pending) return;
    // The front walk is not finished: walk one nobody has started, or wait
    // for the helper to finish the front one.
    if (WalkOne(*mine_)) {
      turns = 0;
    } else if (++turns < kSpinTurns) {
      SpinPause();
    } else {
      std::this_thread::yield();
    }
  }
}

bool ParameterWalks::Add(std::int32_t record, std::int64_t offset, std::int32_t bodyLength,
                         std::int32_t paramLength, std::span<const std::uint8_t> body) {
  TakeFinished();
  TakeUntilBelow(kSlots - 1);
  if (stopped_) return false;

  const std::uint32_t j = queued_.load(std::memory_order_relaxed);
  Slot& slot = (*slots_)[j % kSlots];
  ParameterWalk& walk = slot.Walk;
  walk.Record = record;
  walk.Offset = offset;
  walk.BodyLength = bodyLength;
  walk.ParamLength = paramLength;
  const std::size_t bytes = std::min(body.size(), slot.Body.size());
  std::memcpy(slot.Body.data(), body.data(), bytes);
  walk.Body = std::span<const std::uint8_t>(slot.Body).first(bytes);
  // Sequentially consistent, paired with the helper's announcement that it
  // waits: either the helper sees this walk, or the scan sees it waiting.
  queued_.store(j + 1);
  if (helperWaiting_.load()) {
    wake_.fetch_add(1);
    wake_.notify_one();
  }
  if (j + 1 == helperAfter_) helper_ = std::thread(&ParameterWalks::HelperLoop, this);
  return true;
}

void ParameterWalks::Finish() {
  TakeUntilBelow(1);
  if (helper_.joinable()) {
    finishing_.store(true);
    wake_.fetch_add(1);
    wake_.notify_one();
    helper_.join();
  }
}

void ParameterWalks::HelperLoop() {
  helpers_ = std::make_unique<Walker>();
  int turns = 0;
  for (;;) {
    if (WalkOne(*helpers_)) {
      turns = 0;
      continue;
    }
    if (finishing_.load(std::memory_order_acquire)) return;
    if (++turns < kSpinTurns) {
      SpinPause();
      continue;
    }
    // Nothing queued for a while: sleep until the scan queues a walk or
    // finishes.
    const std::uint32_t wake = wake_.load();
    helperWaiting_.store(true);
    if (claimed_.load() == queued_.load() && !finishing_.load()) wake_.wait(wake);
    helperWaiting_.store(false);
    turns = 0;
  }
}

}  // namespace sonalyt::recording
