// A short busy wait between the open scan's threads. A walk or a chunk read
// takes some microseconds, so the wait is usually over long before a thread
// would be put to sleep and woken again; after a while the waiting thread
// lets others have its core, and only after some milliseconds of that does
// it count as a long wait, after which a thread may go to sleep: waking a
// sleeping thread can itself take milliseconds, a good share of a whole
// scan of ten hours of recording.
#pragma once

#include <chrono>
#include <thread>

#if defined(__x86_64__) || defined(__i386__) || defined(_M_X64) || defined(_M_IX86)
#include <immintrin.h>
#endif

namespace sonalyt::recording {

class SpinWait {
 public:
  // One more turn of waiting.
  void Turn() {
    if (turns_ < kSpinTurns) {
      ++turns_;
      Pause();
      return;
    }
    const auto now = std::chrono::steady_clock::now();
    if (!yielding_) {
      yielding_ = true;
      yieldingSince_ = now;
    } else if (now - yieldingSince_ >= kYieldingBeforeLong) {
      long_ = true;
    }
    std::this_thread::yield();
  }
  // Something arrived: the next wait starts afresh.
  void Reset() {
    turns_ = 0;
    yielding_ = false;
    long_ = false;
  }
  // Waited long enough to go to sleep, where the thread can.
  bool Long() const { return long_; }

 private:
  static constexpr int kSpinTurns = 4000;
  static constexpr std::chrono::milliseconds kYieldingBeforeLong{2};

  // Tells the processor this is a wait, so the other thread on its core runs on.
  static void Pause() {
#if defined(__x86_64__) || defined(__i386__) || defined(_M_X64) || defined(_M_IX86)
    _mm_pause();
#elif defined(__aarch64__)
    asm volatile("yield");
#endif
  }

  int turns_ = 0;
  bool yielding_ = false;
  bool long_ = false;
  std::chrono::steady_clock::time_point yieldingSince_;
};

}  // namespace sonalyt::recording
