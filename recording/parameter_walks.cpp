#include "recording/parameter_walks.h"

#include <cstring>
#include <system_error>

#if defined(__linux__)
#include <pthread.h>
#include <sched.h>
#endif

#include "recording/record_layout.h"
#include "recording/spin_wait.h"

namespace sonalyt::recording {
namespace {

// Keeps a thread just started off the core of the thread that started it.
// A new thread is queued on its parent's core, and the system moves it to an
// idle core only some milliseconds later when the parent keeps its core
// busy, as the scan does: a good share of the scan's whole time.
void KeepOffThisCore(std::thread& thread) {
#if defined(__linux__)
  cpu_set_t cores;
  if (sched_getaffinity(0, sizeof cores, &cores) != 0) return;
  const int mine = sched_getcpu();
  if (mine < 0 || mine >= CPU_SETSIZE || !CPU_ISSET(mine, &cores) || CPU_COUNT(&cores) < 2) {
    return;
  }
  CPU_CLR(mine, &cores);
  pthread_setaffinity_np(thread.native_handle(), sizeof cores, &cores);
#else
  (void)thread;
#endif
}

}  // namespace

ParameterWalks::ParameterWalks(TakeWalk take, std::uint32_t helperAfter,
                               std::function<bool()> otherWork)
    : take_(std::move(take)),
      helperAfter_(helperAfter),
      otherWork_(std::move(otherWork)),
      mayHelp_(std::thread::hardware_concurrency() > 1),
      slots_(std::make_unique<std::array<Slot, kSlots>>()),
      bodies_(new std::array<BodyBytes, kSlots>) {}

ParameterWalks::~ParameterWalks() { StopHelper(); }

void ParameterWalks::StopHelper() {
  if (!helper_.joinable()) return;
  finishing_.store(true);
  wake_.fetch_add(1);
  wake_.notify_one();
  helper_.join();
}

ParameterWalks::Walker& ParameterWalks::Mine() {
  if (!mine_) mine_ = std::make_unique<Walker>();
  return *mine_;
}

void ParameterWalks::StartHelper() {
  if (!mayHelp_ || helper_.joinable() || finishing_.load()) return;
  try {
    helper_ = std::thread(&ParameterWalks::HelperLoop, this);
  } catch (const std::system_error&) {
    // No thread to be had: the scan thread does all the work, as on a
    // single core.
    mayHelp_ = false;
    return;
  }
  KeepOffThisCore(helper_);
}

void ParameterWalks::Wake() {
  // Sequentially consistent, paired with the helper's announcement that it
  // waits: either the helper sees the new work, or this sees it waiting.
  if (helperWaiting_.load()) {
    wake_.fetch_add(1);
    wake_.notify_one();
  }
}

bool ParameterWalks::CopyOne() {
  std::uint32_t j = copyClaimed_.load(std::memory_order_relaxed);
  while (j < queued_.load(std::memory_order_acquire)) {
    if (!copyClaimed_.compare_exchange_weak(j, j + 1, std::memory_order_acq_rel)) continue;
    // A walk's slot is used again only once the walk is taken, long after
    // its body was copied: a slot holding another walk has nothing to copy
    // for this one.
    Slot& slot = (*slots_)[j % kSlots];
    if (slot.BodyState.load(std::memory_order_acquire) == 2 * j) {
      CopyBodyIn(j, slot.Source);
      slot.BodyState.store(2 * j + 1, std::memory_order_release);
      return true;
    }
    // A body with nothing to copy: on to the next.
    ++j;
  }
  return false;
}

void ParameterWalks::CopyBodyIn(std::uint32_t j, std::span<const std::uint8_t> body) {
  BodyBytes& bytes = (*bodies_)[j % kSlots];
  std::memcpy(bytes.data(), body.data(), body.size());
  (*slots_)[j % kSlots].Walk.Body = std::span<const std::uint8_t>(bytes).first(body.size());
}

void ParameterWalks::CopyBodies() {
  while (CopyOne()) {
  }
  // Walks taken were copied before they were walked.
  const std::uint32_t queued = queued_.load(std::memory_order_relaxed);
  SpinWait wait;
  for (std::uint32_t j = taken_; j < queued; ++j) {
    const Slot& slot = (*slots_)[j % kSlots];
    while (slot.BodyState.load(std::memory_order_acquire) != 2 * j + 1) wait.Turn();
  }
}

void ParameterWalks::Walk(std::uint32_t j, Walker& walker) {
  Slot& slot = (*slots_)[j % kSlots];
  // The body is walked where it stays: copied by now, or copied here.
  SpinWait wait;
  while (slot.BodyState.load(std::memory_order_acquire) != 2 * j + 1) {
    if (!CopyOne()) wait.Turn();
  }
  ParameterWalk& walk = slot.Walk;
  walk.DecodedLength = walker.Codec.WalkRecordBody(walk.Body, kRecordBufferBytes);
  walk.Note.reset();
  // An area too short for a parameter block has no note.
  if (walk.ParamLength >= kParameterBlockBytes && walk.ParamLength <= walk.DecodedLength) {
    // Only the bytes the note is read from are spelled out: the note length,
    // and the note work area when there is a note. The rest of the record
    // buffer is never read.
    const std::int32_t area = walk.DecodedLength - walk.ParamLength;
    walker.Codec.SpellWalkedBytes(area + kNoteLengthOffset, area + kNoteLengthOffset + 1,
                                  walker.Record);
    if (walker.Record[static_cast<std::size_t>(area + kNoteLengthOffset)] != 0) {
      walker.Codec.SpellWalkedBytes(area + kNoteAreaOffset,
                                    area + kNoteAreaOffset + kNoteWorkAreaBytes, walker.Record);
    }
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
  SpinWait wait;
  for (;;) {
    TakeFinished();
    if (stopped_ || queued_.load(std::memory_order_relaxed) - taken_ < pending) return;
    // The front walk is not finished: do other work, walk one nobody has
    // started, or wait for the helper to finish the front one.
    if ((otherWork_ && otherWork_()) || WalkOne(Mine())) {
      wait.Reset();
    } else {
      wait.Turn();
    }
  }
}

bool ParameterWalks::Add(std::int32_t record, std::int64_t offset, std::int32_t bodyLength,
                         std::int32_t paramLength, std::span<const std::uint8_t> body,
                         RunStays stays) {
  TakeUntilBelow(kSlots - 1);
  if (stopped_) return false;

  const std::uint32_t j = queued_.load(std::memory_order_relaxed);
  Slot& slot = (*slots_)[j % kSlots];
  ParameterWalk& walk = slot.Walk;
  walk.Record = record;
  walk.Offset = offset;
  walk.BodyLength = bodyLength;
  walk.ParamLength = paramLength;
  body = body.first(std::min(body.size(), std::size_t{kPackedBufferBytes}));
  switch (stays) {
    case RunStays::ForGood:
      walk.Body = body;
      slot.BodyState.store(2 * j + 1, std::memory_order_relaxed);
      break;
    case RunStays::UntilRelease:
      // Copied by CopyOne on either thread; the walk's Body is set then.
      slot.Source = body;
      slot.BodyState.store(2 * j, std::memory_order_relaxed);
      break;
    case RunStays::UntilNextTake:
      CopyBodyIn(j, body);
      slot.BodyState.store(2 * j + 1, std::memory_order_relaxed);
      break;
  }
  queued_.store(j + 1);
  Wake();
  if (j + 1 == helperAfter_) StartHelper();
  return true;
}

void ParameterWalks::Finish() {
  TakeUntilBelow(1);
  StopHelper();
}

void ParameterWalks::HelperLoop() {
  if (helperFirstWork_) helperFirstWork_();
  helpers_ = std::make_unique<Walker>();
  SpinWait wait;
  for (;;) {
    // Copies first, so that the scan thread finds its chunks' bodies copied
    // when it lets a chunk go; then walks: the scan thread reads what it
    // needs itself, and the helper reading ahead while walks wait left the
    // scan thread walking.
    if (CopyOne() || WalkOne(*helpers_) || (otherWork_ && otherWork_())) {
      wait.Reset();
      continue;
    }
    if (finishing_.load(std::memory_order_acquire)) return;
    if (!wait.Long()) {
      wait.Turn();
      continue;
    }
    // Nothing to do for a while: sleep until the scan queues a walk, frees
    // a buffer to read into, or finishes. The checks after the announcement
    // see whatever came before the scan looked at it.
    const std::uint32_t wake = wake_.load();
    helperWaiting_.store(true);
    const bool work = (otherWork_ && otherWork_()) || claimed_.load() != queued_.load();
    if (!work && !finishing_.load()) wake_.wait(wake);
    helperWaiting_.store(false);
    wait.Reset();
  }
}

}  // namespace sonalyt::recording
