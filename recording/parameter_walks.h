// The tail walks of the records with a parameter area that the open scan
// meets. A walk gives the record's decoded length and its note, and depends
// on nothing but the record's body, so the walks run on a helper thread and
// on the scanning thread alike while the scan reads on; their results are
// taken strictly in file order, so the scan sees them exactly as if it had
// walked each record where it found it.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <thread>

#include "recording/record_codec.h"
#include "recording/record_format.h"
#include "recording/scan_reader.h"

namespace sonalyt::recording {

// One record's walk: what the scan queued and what the walk found.
struct ParameterWalk {
  std::int32_t Record = 0;      // index position of the record
  std::int64_t Offset = 0;      // file offset of its header
  std::int32_t BodyLength = 0;  // as its header gives them
  std::int32_t ParamLength = 0;
  std::span<const std::uint8_t> Body;  // the body, once it lies where it stays
  std::int32_t DecodedLength = 0;
  // The note of the parameter area; only looked for when the area lies in
  // the decoded bytes.
  std::optional<std::string> Note;
};

class ParameterWalks {
 public:
  // Receives each finished walk in file order; returning false ends the
  // scan at that record, and no later walk is handed over.
  using TakeWalk = std::function<bool(const ParameterWalk&)>;

  // The helper thread starts once `helperAfter` walks are queued (0: never)
  // or when StartHelper is called, so short recordings are walked on the
  // scanning thread alone. When it has no walk to do, the helper does
  // `otherWork` if that has something to do (it returns whether it did):
  // reading ahead. A scan thread waiting for walks does it before walking.
  ParameterWalks(TakeWalk take, std::uint32_t helperAfter,
                 std::function<bool()> otherWork = {});
  ~ParameterWalks();
  ParameterWalks(const ParameterWalks&) = delete;
  ParameterWalks& operator=(const ParameterWalks&) = delete;

  // Queues the walk of a record's body. Returns false, queueing nothing,
  // once an earlier walk has ended the scan. While every slot is in use it
  // takes finished walks and helps walking. A body that stays for good (a
  // recording in memory) is walked in place; one that stays until its
  // chunk is released is copied by whichever thread gets to it first,
  // usually the helper, and at the latest by CopyBodies; any other is
  // copied at once.
  bool Add(std::int32_t record, std::int64_t offset, std::int32_t bodyLength,
           std::int32_t paramLength, std::span<const std::uint8_t> body,
           RunStays stays = RunStays::UntilNextTake);
  // Copies every queued body that still lies where it was queued from, and
  // waits for those the helper is copying: before that memory is used again.
  void CopyBodies();

  // Walks and takes everything queued (up to a walk that ends the scan) and
  // stops the helper.
  void Finish();

  // Starts the helper now, where the machine has a second core.
  void StartHelper();
  // Work the helper does once when it starts, before any walk: preparing
  // memory the scan thread is about to fill.
  void SetHelperFirstWork(std::function<void()> work) { helperFirstWork_ = std::move(work); }
  // Walks one queued walk nobody has started, on the calling scan thread;
  // false when there is none.
  bool WalkOne() { return WalkOne(Mine()); }
  // Tells a sleeping helper that there may be work again.
  void Wake();

  // The walk that ended the scan, if one did.
  const ParameterWalk* Stopped() const { return stopped_; }
  // The walk taken last (the one that ended the scan, when one did); its
  // body stays valid until the object goes.
  const ParameterWalk* LastTaken() const { return lastTaken_; }

 private:
  // Ring of queued walks: walk j lives in slot j % kSlots. One slot more
  // than the walks in flight is kept back, so the body of the walk taken
  // last is never overwritten.
  static constexpr std::uint32_t kSlots = 32;
  struct Slot {
    ParameterWalk Walk;
    std::span<const std::uint8_t> Source;  // where the body was queued from
    // 2 j while walk j's body still lies where it was queued from, 2 j + 1
    // once Walk.Body is where it stays.
    std::atomic<std::uint32_t> BodyState{0};
    std::atomic<std::uint32_t> Done{0};    // j + 1 once walk j is finished
  };
  // What one thread needs to walk: its own dictionary and record buffer.
  struct Walker {
    RecordCodec Codec;
    std::array<std::uint8_t, kRecordBufferBytes> Record{};
  };

  void Walk(std::uint32_t j, Walker& walker);
  // Claims the next queued walk whose body nobody has claimed to copy, and
  // copies it when it still lies where it was queued from; false when every
  // queued walk is claimed.
  bool CopyOne();
  // Copies a body (at most PackedBuffer's size) to where walk j's body stays.
  void CopyBodyIn(std::uint32_t j, std::span<const std::uint8_t> body);
  // Claims and walks one queued walk nobody has started; false when none.
  bool WalkOne(Walker& walker);
  // Takes the finished walks at the front, in order.
  void TakeFinished();
  // Takes walks until fewer than `pending` are left untaken, walking or
  // waiting for the front one as needed.
  void TakeUntilBelow(std::uint32_t pending);
  void HelperLoop();
  // The scan thread's walker, made when it first walks.
  Walker& Mine();
  // Tells the helper to finish and waits for it.
  void StopHelper();

  TakeWalk take_;
  std::uint32_t helperAfter_;
  std::function<bool()> otherWork_;
  std::function<void()> helperFirstWork_;
  bool mayHelp_;  // the machine has a second core
  std::unique_ptr<std::array<Slot, kSlots>> slots_;
  // The slots' bodies, apart from the slots: only the bytes a body is copied
  // to are ever read, so they are left uninitialised, and the queue touches
  // their memory only as it is used.
  using BodyBytes = std::array<std::uint8_t, kPackedBufferBytes>;
  std::unique_ptr<std::array<BodyBytes, kSlots>> bodies_;
  std::unique_ptr<Walker> mine_;     // see Mine
  std::unique_ptr<Walker> helpers_;  // made and used by the helper
  std::atomic<std::uint32_t> queued_{0};   // walks queued (written by the scan only)
  std::atomic<std::uint32_t> claimed_{0};  // walks started
  std::atomic<std::uint32_t> copyClaimed_{0};  // walks whose body copy is claimed
  std::uint32_t taken_ = 0;                // walks taken (scan thread only)
  // The helper sleeps on wake_ when nothing is queued; the scan bumps it
  // only while the helper says it is waiting.
  std::atomic<std::uint32_t> wake_{0};
  std::atomic<bool> helperWaiting_{false};
  std::atomic<bool> finishing_{false};
  std::thread helper_;
  const ParameterWalk* stopped_ = nullptr;
  const ParameterWalk* lastTaken_ = nullptr;
};

}  // namespace sonalyt::recording
