// A short busy wait between the open scan's threads. A walk or a chunk read
// takes some microseconds, so the wait is usually over long before a thread
// would be put to sleep and woken again; after a while the waiting thread
// lets others have its core.
#pragma once

#include <thread>

#if defined(__x86_64__) || defined(__i386__) || defined(_M_X64) || defined(_M_IX86)
#include <immintrin.h>
#endif

namespace sonalyt::recording {

class SpinWait {
 public:
  // One more turn of waiting.
  void Turn() {
    if (++turns_ < kSpinTurns) {
      Pause();
    } else {
      std::this_thread::yield();
    }
  }
  // Something arrived: the next wait starts afresh.
  void Reset() { turns_ = 0; }
  // Waited long enough to go to sleep, where the thread can.
  bool Long() const { return turns_ >= kSpinTurns; }

 private:
  static constexpr int kSpinTurns = 4000;

  // Tells the processor this is a wait, so the other thread on its core runs on.
  static void Pause() {
#if defined(__x86_64__) || defined(__i386__) || defined(_M_X64) || defined(_M_IX86)
    _mm_pause();
#elif defined(__aarch64__)
    asm volatile("yield");
#endif
  }

  int turns_ = 0;
};

}  // namespace sonalyt::recording
