#include "recording/record_codec.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <limits>

#if defined(__GNUC__) && defined(__x86_64__)
#define SONALYT_WIDE_CODE_CUTS 1
// GCC 12's AVX-512 intrinsics start from a deliberately undefined register,
// which its flow analysis reports as maybe used uninitialised.
#if !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <immintrin.h>
#if !defined(__clang__)
#pragma GCC diagnostic pop
#endif
#endif

namespace sonalyt::recording {
namespace {

constexpr std::uint32_t kFirstWidth = 9;
constexpr std::uint32_t kSingleByteCodes = 256;
// The entry that the first code of every later generation defines; no code
// of a generation can name it, because the generation ends at 4094.
constexpr std::uint32_t kGenerationStartCode = 4095;

// MSB-first reader over the whole body. The caller checks with Fits that
// the codes' bits lie in the body, so every byte read lies inside it.
class BitReader {
 public:
  explicit BitReader(std::span<const std::uint8_t> body)
      : data_(body.data()), bytes_(body.size()), bits_(std::uint64_t{body.size()} * 8) {}

  // How many of the next `count` codes of `width` bits lie in the body.
  // Decoding goes on while a whole code remains: fewer than 8 unread bits
  // are the filler of the last byte, and 8 or more that cannot hold a code
  // are a body that ends inside a code; either way the decode ends there.
  std::uint32_t Fits(std::uint32_t width, std::uint32_t count) const {
    const std::uint64_t left = bits_ - position_;
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(count, left / width));
  }

  // How many of the next `count` codes start at least 8 bytes before the
  // end of the body, so that ReadWide may load 8 bytes for each.
  std::uint32_t FitsWide(std::uint32_t width, std::uint32_t count) const {
    if (bytes_ < 8) return 0;
    const std::uint64_t lastStart = (std::uint64_t{bytes_} - 8) * 8 + 7;
    if (position_ > lastStart) return 0;
    return static_cast<std::uint32_t>(
        std::min<std::uint64_t>(count, (lastStart - position_) / width + 1));
  }

  std::uint32_t ReadWide(std::uint32_t width) {
    const std::uint64_t window = PeekWide();
    position_ += width;
    return static_cast<std::uint32_t>(window >> (64 - width));
  }

  // The 57 or more bits from the current position on, in the high bits;
  // only where ReadWide may read.
  std::uint64_t PeekWide() const {
    const auto byte = static_cast<std::size_t>(position_ >> 3);
    const auto shift = static_cast<std::uint32_t>(position_ & 7);
    std::uint8_t raw[8];
    std::memcpy(raw, data_ + byte, 8);
    const std::uint64_t window = std::uint64_t{raw[0]} << 56 | std::uint64_t{raw[1]} << 48 |
                                 std::uint64_t{raw[2]} << 40 | std::uint64_t{raw[3]} << 32 |
                                 std::uint64_t{raw[4]} << 24 | std::uint64_t{raw[5]} << 16 |
                                 std::uint64_t{raw[6]} << 8 | raw[7];
    return window << shift;
  }

  void Skip(std::uint32_t bits) { position_ += bits; }
  std::uint64_t Position() const { return position_; }

  std::uint32_t Read(std::uint32_t width) {
    const auto byte = static_cast<std::size_t>(position_ >> 3);
    if (byte + 8 <= bytes_) return ReadWide(width);
    // Near the end, only the bytes that are there.
    const auto shift = static_cast<std::uint32_t>(position_ & 7);
    position_ += width;
    std::uint64_t window = 0;
    for (std::size_t i = 0; i < 8 && byte + i < bytes_; ++i) {
      window |= std::uint64_t{data_[byte + i]} << (56 - 8 * i);
    }
    return static_cast<std::uint32_t>((window << shift) >> (64 - width));
  }

 private:
  const std::uint8_t* data_;
  std::size_t bytes_;
  std::uint64_t bits_;
  std::uint64_t position_ = 0;
};

// The codes of a generation in runs that share a width. The widths and
// the entries the codes define depend only on a code's position in its
// generation: the first code (9 bits, a single byte; it defines the unused
// 4095), then 253 codes of 9 bits defining 258 on, 512 of 10, 1024 of 11 and
// 2048 of 12 bits. The first code of the body defines nothing and is read
// before the runs, which start there at run 1.
struct CodeRun {
  std::uint32_t Width;
  std::uint32_t Codes;
  std::uint32_t FirstDefined;  // entry defined by the run's first code
  std::uint32_t Highest;       // highest code allowed, whatever is defined
};
constexpr CodeRun kCodeRuns[] = {
    {9, 1, kGenerationStartCode, kSingleByteCodes - 1},
    {9, 253, 258, kGenerationStartCode},
    {10, 512, 511, kGenerationStartCode},
    {11, 1024, 1023, kGenerationStartCode},
    {12, 2048, 2047, kGenerationStartCode},
};
constexpr std::size_t kCodeRunCount = std::size(kCodeRuns);

// Walks up to `wide` codes of Width bits that ReadWide may read, handing
// code i to step(i, code) until it returns false; returns the codes walked.
// Four codes (at most 48 bits, plus up to 7 of the first byte) are cut from
// one 64-bit load at a time, at shifts known when compiling.
template <std::uint32_t Width, typename Step>
inline std::uint32_t WalkWideCodes(BitReader& reader, std::uint32_t wide, Step&& step) {
  constexpr std::uint64_t kMask = (std::uint64_t{1} << Width) - 1;
  std::uint32_t i = 0;
  for (; i + 4 <= wide; i += 4) {
    const std::uint64_t window = reader.PeekWide();
    reader.Skip(4 * Width);
    if (!step(i, static_cast<std::uint32_t>(window >> (64 - Width)))) return i;
    if (!step(i + 1, static_cast<std::uint32_t>((window >> (64 - 2 * Width)) & kMask))) {
      return i + 1;
    }
    if (!step(i + 2, static_cast<std::uint32_t>((window >> (64 - 3 * Width)) & kMask))) {
      return i + 2;
    }
    if (!step(i + 3, static_cast<std::uint32_t>((window >> (64 - 4 * Width)) & kMask))) {
      return i + 3;
    }
  }
  for (; i < wide; ++i) {
    if (!step(i, reader.ReadWide(Width))) return i;
  }
  return i;
}

// The same for a width known only when running (9 to 12 bits).
template <typename Step>
inline std::uint32_t WalkWideCodes(BitReader& reader, std::uint32_t width, std::uint32_t wide,
                                   Step&& step) {
  switch (width) {
    case 9:
      return WalkWideCodes<9>(reader, wide, step);
    case 10:
      return WalkWideCodes<10>(reader, wide, step);
    case 11:
      return WalkWideCodes<11>(reader, wide, step);
    default:
      return WalkWideCodes<12>(reader, wide, step);
  }
}

#if SONALYT_WIDE_CODE_CUTS
// Where 16 codes of one width lie in the 64 bytes from the byte that holds
// the first code's first bit, `phase` bits into that byte. Code j lies in
// the three bytes from byte (phase + j × width) / 8: Permute puts them into
// lane j as a 24-bit value, most significant byte first, and Shift[j] moves
// the code to the lane's lowest bits. Sixteen codes take 2 × width bytes, a
// whole number, so every block of a run starts at the run's own phase.
struct CutLayout {
  alignas(64) std::uint8_t Permute[64];
  alignas(64) std::uint32_t Shift[16];
};
struct CutLayouts {
  CutLayout Of[4][8];  // width 9 to 12, phase 0 to 7
};

constexpr CutLayouts MakeCutLayouts() {
  CutLayouts layouts{};
  for (std::uint32_t width = 9; width <= 12; ++width) {
    for (std::uint32_t phase = 0; phase < 8; ++phase) {
      CutLayout& layout = layouts.Of[width - 9][phase];
      for (std::uint32_t j = 0; j < 16; ++j) {
        const std::uint32_t bit = phase + j * width;
        const auto byte = static_cast<std::uint8_t>(bit / 8);
        layout.Permute[4 * j] = static_cast<std::uint8_t>(byte + 2);
        layout.Permute[4 * j + 1] = static_cast<std::uint8_t>(byte + 1);
        layout.Permute[4 * j + 2] = byte;
        layout.Permute[4 * j + 3] = byte;  // masked off
        layout.Shift[j] = 24 - bit % 8 - width;
      }
    }
  }
  return layouts;
}
constexpr CutLayouts kCutLayouts = MakeCutLayouts();

bool ProcessorCutsWide() {
  return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
         __builtin_cpu_supports("avx512vbmi");
}

// Cuts the `codes` codes of `width` bits from bit `position` of the body
// into log, 16 at a time, and checks each as the walk would: a single byte,
// or a dictionary code from 258 up to min(defined, highest), where code i
// defines firstDefined + i. Returns how many codes come before the first
// that fails. Only the body's bytes are loaded: bytes past its end are
// masked off, and the codes counted lie in the body.
__attribute__((target("avx512f,avx512bw,avx512vbmi"))) std::uint32_t CutCodesWide(
    std::span<const std::uint8_t> body, std::uint64_t position, std::uint32_t width,
    std::uint32_t codes, std::uint32_t firstDefined, std::uint32_t highest,
    std::uint16_t* log) {
  const CutLayout& layout = kCutLayouts.Of[width - 9][position % 8];
  const __m512i permute = _mm512_load_si512(layout.Permute);
  const __m512i shift = _mm512_load_si512(layout.Shift);
  const __m512i low24 = _mm512_set1_epi32(0xFFFFFF);
  const __m512i mask = _mm512_set1_epi32(static_cast<int>((1u << width) - 1));
  const __m512i singleBytes = _mm512_set1_epi32(static_cast<int>(kSingleByteCodes));
  const __m512i firstEntry = _mm512_set1_epi32(static_cast<int>(kFirstDictionaryCode));
  const __m512i highestCode = _mm512_set1_epi32(static_cast<int>(highest));
  const __m512i sixteen = _mm512_set1_epi32(16);
  __m512i defined = _mm512_add_epi32(_mm512_set1_epi32(static_cast<int>(firstDefined)),
                                     _mm512_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11,
                                                       12, 13, 14, 15));
  std::size_t byte = static_cast<std::size_t>(position / 8);
  for (std::uint32_t k = 0; k < codes; k += 16, byte += 2 * width) {
    const std::size_t left = body.size() - std::min(byte, body.size());
    const __mmask64 inBody = left >= 64 ? ~__mmask64{0} : (__mmask64{1} << left) - 1;
    const __m512i bytes = _mm512_maskz_loadu_epi8(inBody, body.data() + std::min(byte, body.size()));
    const __m512i code = _mm512_and_si512(
        _mm512_srlv_epi32(_mm512_and_si512(_mm512_permutexvar_epi8(permute, bytes), low24), shift),
        mask);
    const __mmask16 lanes =
        codes - k >= 16 ? __mmask16{0xFFFF} : static_cast<__mmask16>((1u << (codes - k)) - 1);
    const __mmask16 good =
        _mm512_cmplt_epu32_mask(code, singleBytes) |
        (_mm512_cmpge_epu32_mask(code, firstEntry) &
         _mm512_cmple_epu32_mask(code, _mm512_min_epu32(defined, highestCode)));
    _mm512_mask_cvtepi32_storeu_epi16(log + k, lanes, code);
    if (const auto bad = static_cast<std::uint32_t>(lanes & ~good); bad != 0) {
      return k + static_cast<std::uint32_t>(__builtin_ctz(bad));
    }
    defined = _mm512_add_epi32(defined, sixteen);
  }
  return codes;
}
#endif

// Copies n bytes between regions that do not overlap, touching no byte
// outside them (unlike a wide copy that overshoots).
inline void CopyString(std::uint8_t* to, const std::uint8_t* from, std::size_t n) {
  if (n >= 8 && n <= 16) {
    std::uint64_t head, tail;
    std::memcpy(&head, from, 8);
    std::memcpy(&tail, from + n - 8, 8);
    std::memcpy(to, &head, 8);
    std::memcpy(to + n - 8, &tail, 8);
  } else if (n >= 4 && n < 8) {
    std::uint32_t head, tail;
    std::memcpy(&head, from, 4);
    std::memcpy(&tail, from + n - 4, 4);
    std::memcpy(to, &head, 4);
    std::memcpy(to + n - 4, &tail, 4);
  } else if (n < 4) {
    for (std::size_t i = 0; i < n; ++i) to[i] = from[i];
  } else {
    std::memcpy(to, from, n);
  }
}

std::size_t CapacityOf(std::span<std::uint8_t> destination) {
  return std::min<std::size_t>(destination.size(), std::numeric_limits<std::int32_t>::max());
}

}  // namespace

RecordCodec::RecordCodec(CodeCutting cutting) {
#if SONALYT_WIDE_CODE_CUTS
  cutsWide_ = cutting == CodeCutting::Fastest && ProcessorCutsWide();
#else
  (void)cutting;
#endif
  // Single bytes are strings of length 1, and the never-defined codes 256
  // and 257 have length 0, so that every code is looked up the same way.
  // Codes below 258 are never redefined.
  for (std::uint32_t c = 0; c < kSingleByteCodes; ++c) {
    entryLength_[c] = 1;
    lengthAndFirst_[c] = 1 | c << 16;
  }
  entryLength_[256] = entryLength_[257] = 0;
  lengthAndFirst_[256] = lengthAndFirst_[257] = 0;
}

std::int32_t RecordCodec::DecodeRecordBody(std::span<const std::uint8_t> body,
                                           std::span<std::uint8_t> destination) {
  BitReader reader(body);
  std::uint8_t* const out = destination.data();
  const std::size_t capacity = CapacityOf(destination);
  if (reader.Fits(kFirstWidth, 1) == 0 || capacity == 0) return 0;

  const std::uint32_t firstCode = reader.Read(kFirstWidth);
  if (firstCode >= kSingleByteCodes) return 0;
  out[0] = static_cast<std::uint8_t>(firstCode);
  std::size_t produced = 1;
  if (produced == capacity) return 1;
  // The string of the previous code: where it was written and its length.
  std::size_t previousStart = 0;
  std::uint32_t previousLength = 1;
  std::uint32_t* const starts = entryStart_.data();
  std::uint16_t* const lengths = entryLength_.data();

  for (std::size_t r = 1;; r = (r + 1) % kCodeRunCount) {
    const CodeRun& run = kCodeRuns[r];
    const std::uint32_t codes = reader.Fits(run.Width, run.Codes);
    const std::uint32_t wide = reader.FitsWide(run.Width, codes);
    for (std::uint32_t i = 0; i < codes; ++i) {
      const std::uint32_t code = i < wide ? reader.ReadWide(run.Width) : reader.Read(run.Width);
      const std::uint32_t defined = run.FirstDefined + i;
      // Entry `defined` is the previous string followed by the first byte
      // of this one, which is written right behind it. It is complete before
      // the code is looked up, so a code naming the entry it defines finds it.
      starts[defined] = static_cast<std::uint32_t>(previousStart);
      lengths[defined] = static_cast<std::uint16_t>(previousLength + 1);
      const std::uint32_t length = lengths[code];
      // Beyond the next free code, 256 and 257 (length 0), or not a single
      // byte where the generation starts.
      if (code > std::min(defined, run.Highest) || length == 0) {
        return static_cast<std::int32_t>(produced);
      }

      std::uint8_t* const to = out + produced;
      const std::size_t room = capacity - produced;
      if (code < kSingleByteCodes) {
        *to = static_cast<std::uint8_t>(code);
      } else if (length > room) {
        // The first `room` bytes of the source lie before `produced`, also
        // for the entry being defined, whose last byte alone lies there.
        std::memcpy(to, out + starts[code], room);
        return static_cast<std::int32_t>(capacity);
      } else if (code == defined) {
        // Its last byte is its own first byte, written just now.
        CopyString(to, out + previousStart, length - 1);
        to[length - 1] = out[previousStart];
      } else {
        // An earlier entry's copy ends at or before `produced`.
        CopyString(to, out + starts[code], length);
      }
      previousStart = produced;
      previousLength = length;
      produced += length;
      if (produced == capacity) return static_cast<std::int32_t>(produced);
    }
    if (codes < run.Codes) return static_cast<std::int32_t>(produced);
  }
}

std::int32_t RecordCodec::DecodeRecordTail(std::span<const std::uint8_t> body,
                                           std::int32_t tailBytes, std::int32_t windowBytes,
                                           std::span<std::uint8_t> destination) {
  const std::int32_t decoded =
      WalkRecordBody(body, static_cast<std::int32_t>(CapacityOf(destination)));
  // The window, clipped to the decoded bytes.
  const std::int64_t tail = std::max(0, tailBytes);
  const std::int64_t windowStart = std::int64_t{decoded} - tail;
  const std::int64_t windowEnd = windowStart + std::max(0, windowBytes);
  SpellWalkedBytes(static_cast<std::int32_t>(std::max<std::int64_t>(0, windowStart)),
                   static_cast<std::int32_t>(std::clamp<std::int64_t>(windowEnd, 0, decoded)),
                   destination);
  return decoded;
}

std::int32_t RecordCodec::WalkRecordBody(std::span<const std::uint8_t> body,
                                         std::int32_t capacityBytes) {
  BitReader reader(body);
  const auto capacity = static_cast<std::size_t>(std::max(0, capacityBytes));
  walkedCodes_ = 0;
  walkedEnd_ = 0;
  walkedLength_ = 0;
  walkDecodedFully_ = false;
  if (reader.Fits(kFirstWidth, 1) == 0 || capacity == 0) return 0;

  // The same walk as DecodeRecordBody, stopping at the same faults, but it
  // only logs the codes and keeps each entry's length and first byte. The
  // entry a code defines is the previous code's string plus one byte, with
  // the same first byte: its packed value is the previous code's plus 1.
  // Each logged code's value is kept too, so that any decoded byte can be
  // spelled out afterwards.
  const std::uint32_t firstCode = reader.Read(kFirstWidth);
  if (firstCode >= kSingleByteCodes) return 0;
  std::uint32_t* const table = lengthAndFirst_.data();
  std::uint16_t* const log = codeLog_.data();
  std::uint32_t* const values = codeValue_.data();
  log[0] = static_cast<std::uint16_t>(firstCode);
  values[0] = table[firstCode];
  std::size_t logged = 1;
  // Not cut at capacity: once it reaches capacity the decoded length is the
  // capacity whatever follows, so the walk need not stop there.
  std::size_t produced = 1;
  std::uint32_t previous = table[firstCode];

  for (std::size_t r = 1;; r = (r + 1) % kCodeRunCount) {
    const CodeRun& run = kCodeRuns[r];
    const std::uint32_t codes = reader.Fits(run.Width, run.Codes);
    if (logged + codes > codeLog_.size()) {
      // More codes than the log holds: the record is decoded in full, and
      // spelled from there.
      walkedBytes_.resize(capacity);
      walkDecodedFully_ = true;
      walkedLength_ = DecodeRecordBody(body, walkedBytes_);
      return walkedLength_;
    }
    const std::uint32_t wide = reader.FitsWide(run.Width, codes);
    std::uint16_t* const runLog = log + logged;
    std::uint32_t* const runValues = values + logged;
    // Locals, so that the stores into the table need not be assumed to
    // change the run.
    const std::uint32_t width = run.Width;
    const std::uint32_t firstDefined = run.FirstDefined;
    const std::uint32_t highest = run.Highest;
    // Code i of the run; false at a fault, which is not logged.
    const auto walk = [&](std::uint32_t i, std::uint32_t code) {
      const std::uint32_t defined = firstDefined + i;
      table[defined] = previous + 1;
      const std::uint32_t named = table[code];
      if (code > std::min(defined, highest) || (named & 0xFFFF) == 0) return false;
      runLog[i] = static_cast<std::uint16_t>(code);
      runValues[i] = named;
      produced += named & 0xFFFF;
      previous = named;
      return true;
    };
    std::uint32_t i = 0;
#if SONALYT_WIDE_CODE_CUTS
    if (cutsWide_) {
      // The codes are cut and checked first; the dictionary walk over the
      // good ones then has no fault to look for.
      const std::uint32_t good =
          CutCodesWide(body, reader.Position(), width, codes, firstDefined, highest, runLog);
      reader.Skip(codes * width);
      // In locals, which the stores into the table cannot change.
      std::uint32_t last = previous;
      std::size_t length = produced;
      std::uint32_t* const defining = table + firstDefined;
      for (; i < good; ++i) {
        defining[i] = last + 1;
        last = table[runLog[i]];
        runValues[i] = last;
        length += last & 0xFFFF;
      }
      previous = last;
      produced = length;
    } else
#endif
    {
      i = WalkWideCodes(reader, width, wide, walk);
      if (i == wide) {
        while (i < codes && walk(i, reader.Read(width))) ++i;
      }
    }
    logged += i;
    if (i < run.Codes || produced >= capacity) break;
  }
  walkedCodes_ = logged;
  walkedEnd_ = static_cast<std::int64_t>(produced);
  walkedLength_ = static_cast<std::int32_t>(std::min(produced, capacity));
  return walkedLength_;
}

void RecordCodec::SpellWalkedBytes(std::int32_t from, std::int32_t to,
                                   std::span<std::uint8_t> destination) {
  const std::int64_t first = std::max(0, from);
  const std::int64_t end = std::min<std::int64_t>(
      {to, walkedLength_, static_cast<std::int64_t>(CapacityOf(destination))});
  if (first >= end) return;
  std::uint8_t* const out = destination.data();
  if (walkDecodedFully_) {
    std::memcpy(out + first, walkedBytes_.data() + first, static_cast<std::size_t>(end - first));
    return;
  }
  const std::uint16_t* const log = codeLog_.data();
  const std::uint32_t* const values = codeValue_.data();
  // Back from the end to the code whose string holds the first byte.
  std::size_t k = walkedCodes_;
  std::int64_t start = walkedEnd_;
  while (k > 0 && start > first) {
    --k;
    start -= values[k] & 0xFFFF;
  }
  // Entry e of a generation was defined by its code e - 257 (from 1): its
  // string is the string of the code before that one, followed by the first
  // byte of that code's string. Each string is spelled from its last byte
  // back to its first.
  for (; k < walkedCodes_ && start < end; ++k) {
    const std::size_t generationBase = k / kCodesPerGeneration * kCodesPerGeneration;
    std::uint32_t c = log[k];
    const std::int64_t length = values[k] & 0xFFFF;
    for (std::int64_t at = start + length - 1; at >= start; --at) {
      std::uint8_t byte;
      if (c < kSingleByteCodes) {
        byte = static_cast<std::uint8_t>(c);
      } else {
        const std::size_t d = generationBase + c - 257;
        byte = static_cast<std::uint8_t>(values[d] >> 16);
        c = log[d - 1];
      }
      if (at >= first && at < end) out[at] = byte;
    }
    start += length;
  }
}

}  // namespace sonalyt::recording
