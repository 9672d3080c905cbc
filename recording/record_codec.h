// Decoder of record bodies: variable-width (9 to 12 bit) dictionary codes,
// most significant bit first, dictionary restarted every 3838 codes.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "recording/record_format.h"

namespace sonalyt::recording {

inline constexpr std::int32_t kCodesPerGeneration = 3838;
inline constexpr std::int32_t kFirstDictionaryCode = 258;
inline constexpr std::int32_t kCodecChunkBytes = 1024;

// The codec's fixed working set: the dictionary of the current generation.
// One instance serves every record; it allocates nothing per record and is
// not reentrant.
class RecordCodec {
 public:
  // How the tail decode cuts codes from a body: 16 at a time with the
  // processor's byte permutes where it has them (AVX-512 VBMI), or one by
  // one. Both give the same results; the choice exists so that both can be
  // checked on a machine that has the permutes.
  enum class CodeCutting { Fastest, OneByOne };

  explicit RecordCodec(CodeCutting cutting = CodeCutting::Fastest);

  // Whether this codec cuts 16 codes at a time.
  bool CutsWide() const { return cutsWide_; }

  // Decodes body into destination from its first byte, starting from the
  // reset state (first generation, width 9, next free code 258), and returns
  // the number of bytes written. Bytes of destination beyond that are left as
  // they were; an empty body writes nothing and returns 0.
  //
  // Corrupt input stops the decode and the result is the bytes produced
  // before the faulty code: a code above the next free code, code 256 or
  // 257, a first code of a generation that is not a single byte, or a body
  // whose remaining bits end inside a code. Output beyond the destination's
  // capacity fills the destination and stops there. The decoder never reads
  // or writes outside its tables, body and destination.
  std::int32_t DecodeRecordBody(std::span<const std::uint8_t> body,
                                std::span<std::uint8_t> destination);

  // What a scan needs of a record: returns the decoded length exactly as
  // DecodeRecordBody would, and writes the decoded bytes
  // [length - tailBytes, length - tailBytes + windowBytes), clipped to
  // [0, length), into destination at their offsets, with the values
  // DecodeRecordBody gives them. Other bytes of destination may be written
  // too. Much cheaper than a full decode: only the window's strings are
  // spelled out.
  std::int32_t DecodeRecordTail(std::span<const std::uint8_t> body, std::int32_t tailBytes,
                                std::int32_t windowBytes, std::span<std::uint8_t> destination);

  // The tail decode in two steps, for a caller that learns from some decoded
  // bytes which others it needs. WalkRecordBody returns the decoded length
  // exactly as DecodeRecordBody into a destination of `capacity` bytes would
  // give it, and keeps what SpellWalkedBytes needs to write any of those
  // bytes afterwards; SpellWalkedBytes writes the bytes [from, to) of the
  // record walked last, clipped to its decoded length and the destination,
  // at their offsets. Both hold until the next walk.
  std::int32_t WalkRecordBody(std::span<const std::uint8_t> body,
                              std::int32_t capacity = kRecordBufferBytes);
  void SpellWalkedBytes(std::int32_t from, std::int32_t to, std::span<std::uint8_t> destination);

 private:
  static constexpr std::int32_t kDictionarySize = 4096;

  // Full decode. Every dictionary entry's string is already in the
  // destination: entry N is the string of the previous code followed by the
  // first byte of the next one, which is exactly where those two strings were
  // written. So an entry is kept as the place and length of that copy, and a
  // code's string is copied forward from there instead of being expanded
  // through a stack. Entries are checked against the next free code before
  // use, so entries left over from an earlier generation or body are never
  // read.
  std::array<std::uint32_t, kDictionarySize> entryStart_{};   // destination offset
  std::array<std::uint16_t, kDictionarySize> entryLength_{};  // bytes, at most 3839

  // Tail decode: per entry its string's length (low 16 bits) and first byte
  // (bits 16 to 23), and a log of the codes read, from which the strings of
  // the window are spelled out afterwards.
  std::array<std::uint32_t, kDictionarySize> lengthAndFirst_{};
  // A body of PackedBuffer size holds at most this many codes; longer
  // bodies fall back to the full decode.
  static constexpr std::int32_t kLoggedCodes = (kPackedBufferBytes * 8) / 9 + 1;
  std::array<std::uint16_t, kLoggedCodes> codeLog_{};
  // Each logged code's string: its length and first byte, as in the table.
  std::array<std::uint32_t, kLoggedCodes> codeValue_{};
  // The record walked last: codes logged, the end of the last one's string,
  // the decoded length, and the record decoded in full when its codes did
  // not fit into the log.
  std::size_t walkedCodes_ = 0;
  std::int64_t walkedEnd_ = 0;
  std::int32_t walkedLength_ = 0;
  bool walkDecodedFully_ = false;
  std::vector<std::uint8_t> walkedBytes_;
  bool cutsWide_ = false;
};

}  // namespace sonalyt::recording
