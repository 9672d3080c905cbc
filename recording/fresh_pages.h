// Mapping fresh memory before it is first written. In some virtual machines
// the first write to each page of fresh memory costs a fault of several
// microseconds; having the system map a whole range at once costs a small
// part of that.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace sonalyt::recording {

// Has the system map the whole pages of memory not yet written at once,
// where it can. The contents stay as they are, so another thread may be
// writing there meanwhile; memory let go of meanwhile is refused or mapped
// for nothing.
inline void MapFreshPages(std::span<const std::byte> memory) {
#if defined(MADV_POPULATE_WRITE)
  constexpr std::uintptr_t kPage = 4096;
  const auto from = (reinterpret_cast<std::uintptr_t>(memory.data()) + kPage - 1) & ~(kPage - 1);
  const auto to = reinterpret_cast<std::uintptr_t>(memory.data() + memory.size()) & ~(kPage - 1);
  if (to > from) madvise(reinterpret_cast<void*>(from), to - from, MADV_POPULATE_WRITE);
#else
  (void)memory;
#endif
}

}  // namespace sonalyt::recording
